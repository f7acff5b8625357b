#include "extract/decomp2_form.h"

#include "core/app.h"
#include "core/forms/control_table.h"
#include "core/forms/steps.h"
#include "extract/decomp1_form.h"
#include "extract/decomp3_form.h"
#include "extract/extract_commands.h"
#include "extract/member_export.h"
#include "extract/member_listing.h"
#include "extract/member_viewing.h"
#include "extract/name_choice.h"
#include "extract/process_state.h"
#include "platform/winpath.h"
#include "ui/common/window_common.h"
#include "ui/common/window_ports.h"

namespace zv::extract {

namespace {
std::string upperAscii(std::string text) {
  for (char& ch : text)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  return text;
}

// Rows in tab order.
const ControlRow kControls[] = {
    // the members of the archive
    {.name = "List1",
     .kind = Kind::ListBox,
     .at = {240, 840, 6735, 2100},
     .font = FontSpec{"ＭＳ ゴシック", 11.25},
     .multiSelect = MultiSelect::Extended},
    // the hint: pick the members, then go on
    {.name = "Label1",
     .kind = Kind::Label,
     .at = {720, 270, 4320, 240},
     .caption = "解凍したいファイルをクリックで指定後"},
    // the next-step picture
    {.name = "Image2",
     .kind = Kind::Picture,
     .at = {5880, 120, 1080, 615},
     .picture = "ext_next",
     .tooltip = "次のｽﾃｯﾌﾟ進みます"},
    // selects every member, or none
    {.name = "Image3",
     .kind = Kind::Picture,
     .at = {480, 3360, 960, 390},
     .picture = "ext_select_all",
     .tooltip = "ﾌｧｲﾙﾘｽﾄのすべてのﾌｧｲﾙを選択状態にします",
     .selectsAll = true},
    // opens the clicked member with its application
    {.name = "Image5",
     .kind = Kind::Picture,
     .at = {1920, 3120, 645, 780},
     .picture = "ext_open",
     .tooltip = "関連づけされたｱﾌﾟﾘｹｰｼｮﾝﾃで開きます"},
    // shows the clicked text member in the text viewer
    {.name = "Image8",
     .kind = Kind::Picture,
     .at = {2880, 3120, 705, 840},
     .picture = "ext_notepad",
     .tooltip = "ﾌｧｲﾙﾘｽﾄのﾃｷｽﾄﾌｧｲﾙを閲覧できます"},
    // shows the archive's listing in the viewer
    {.name = "Image6",
     .kind = Kind::Picture,
     .at = {3960, 3060, 690, 915},
     .picture = "ext_list",
     .tooltip = "書庫内に圧縮されているﾌｧｲﾙをﾘｽﾄ表示します"},
    // the help picture
    {.name = "Image1",
     .kind = Kind::Picture,
     .at = {120, 120, 525, 525},
     .picture = "ext_help",
     .tooltip = "右ﾎﾞﾀﾝｸﾘｯｸで即時終了できます"},
    // covers the member pictures while a ZIP archive is open
    {.name = "ImgUnzip",
     .kind = Kind::Picture,
     .at = {1920, 3000, 3300, 1080},
     .picture = "ext_zip_marker",
     .description = "ZIP書庫",
     .hidden = true},
    // a decoration
    {.name = "Image4",
     .kind = Kind::Picture,
     .at = {5160, 120, 480, 480},
     .picture = "ext_archive"},
    // the close button
    {.name = "Command1",
     .kind = Kind::CommandButton,
     .at = {5880, 3360, 735, 315},
     .caption = "Close",
     .tooltip = "このｳｨﾝﾄﾞｳを閉じます",
     .font = FontSpec{"Arial", 8.25, true},
     .isCancel = true},
    // the member list's context menu (right click, Shift+F10, the menu key): how the names
    // are read, and the archive test; never on a menu bar
    {.name = "menuNames",
     .kind = Kind::MenuItem,
     .caption = "名前の文字コード(&N)",
     .hidden = true},
    {.name = "menuNames0", .kind = Kind::MenuItem, .caption = "自動(&A)", .container = "menuNames"},
    {.name = "menuNames1",
     .kind = Kind::MenuItem,
     .caption = "Shift_JIS(&S)",
     .container = "menuNames"},
    {.name = "menuNames2",
     .kind = Kind::MenuItem,
     .caption = "UTF-8(&U)",
     .container = "menuNames"},
    {.name = "menuNames3",
     .kind = Kind::MenuItem,
     .caption = "EUC-JP(&E)",
     .container = "menuNames"},
    {.name = "menuNames4",
     .kind = Kind::MenuItem,
     .caption = "CP437(&C)",
     .container = "menuNames"},
    {.name = "menuNames5",
     .kind = Kind::MenuItem,
     .caption = "Latin-1(&L)",
     .container = "menuNames"},
    // tests the open archive (Ctrl+T on the list), last in the same context menu
    {.name = "menuPopTest",
     .kind = Kind::MenuItem,
     .caption = "書庫のテスト(&T)",
     .container = "menuNames"},
};

std::string nameMenuItem(encoding::NameEncoding e) {
  return "menuNames" + std::to_string(static_cast<unsigned>(e));
}

}  // namespace

DeComp2Form::DeComp2Form(App& app) : Form(app, windows::kArchiveContents) {
  setCaption("Zorvex 32");
  resize(7095, 4095);
  fixedDialog = true;
  icon = "ext_window";
  addControlRows(*this, kControls);
  wireEvents();
}

void DeComp2Form::wireEvents() {
  c("List1").onClick = [this] { memberClicked(); };
  c("Command1").onClick = [this] {
    shared().StartMode.clear();
    unload();
  };
  makePressedPicture(c("Image2"), kMainPictureOffset, [this](const MouseEvent&) { nextStep(); });
  makePressedPicture(c("Image3"), kMainPictureOffset,
                     [this](const MouseEvent&) { toggleSelectAll(); });
  makePressedPicture(c("Image5"), kMainPictureOffset,
                     [this](const MouseEvent&) { openClickedMember(); });
  makePressedPicture(c("Image8"), kMainPictureOffset,
                     [this](const MouseEvent&) { openInNotepad(); });
  makePressedPicture(c("Image6"), kMainPictureOffset, [this](const MouseEvent&) {
    Steps steps;
    steps([&] { forms().show(windows::kViewer); });
    showArchiveList(*this);
  });
  wireHelpButton(*this, "Image1", kHelpExtraction);
  c("List1").onMouseDown = [this](const MouseEvent& e) {
    if (e.button == kRightButton) popupMenu("menuNames");
  };
  c("menuNames").onClick = [this] { markNameChoice(); };
  for (encoding::NameEncoding e : encoding::kNameEncodings)
    c(nameMenuItem(e)).onClick = [this, e] { readNamesAs(e); };
  // The chosen members go to other programs by a drag out of the list or Ctrl+C.
  c("List1").onDragOut = [this] { return exportMembers(*this, chosenMembers()); };
  c("List1").onKeyDown = [this](int& key, int shift) {
    if (shift != kCtrlKey || key != 'C') return;
    key = 0;
    copyMembers(*this, chosenMembers());
  };
  wireArchiveTest();
}

void DeComp2Form::markNameChoice() {
  const std::string& archive = shared().ArchiveFile;
  encoding::NameEncoding chosen = chosenNames(app(), archive);
  for (encoding::NameEncoding e : encoding::kNameEncodings)
    c(nameMenuItem(e)).setValue(e == chosen ? 1 : 0);
  // 自動 says what it found, so the user sees how the names were read.
  std::string automatic = "自動(&A)";
  encoding::NameEncoding found = detectedNames(app(), archive);
  if (chosen == encoding::NameEncoding::Auto && found != encoding::NameEncoding::Auto)
    automatic += " - " + std::string(encoding::encodingLabel(found));
  c(nameMenuItem(encoding::NameEncoding::Auto)).setCaption(automatic);
}

void DeComp2Form::readNamesAs(encoding::NameEncoding e) {
  Steps steps;
  const std::string archive = shared().ArchiveFile;
  chooseNames(app(), archive, e);
  Control& list = c("List1");
  steps([&] { list.clear(); });
  allSelected_ = false;
  steps([&] {
    appendMemberNames(*this, selectionIsZip(*this) ? ArchiveKind::Zip : ArchiveKind::Lzh, archive,
                      list);
  });
}

void DeComp2Form::load() {
  Steps steps;
  steps([&] { forms().get<DeComp1Form>(windows::kArchiveSelection).allowOpening(false); });
  steps([&] { placeOnTop(*this, form(windows::kArchiveSelection)); });
  anySelected_ = false;
  allSelected_ = false;
}

void DeComp2Form::queryUnload(bool& cancel, UnloadMode mode) {
  // The extraction window takes its members from this window's list: the close box waits for
  // it as Close does.
  if (mode == UnloadMode::CloseBox && forms().loaded(windows::kExtraction)) cancel = true;
}

void DeComp2Form::unloading(bool&) {
  Steps steps;
  steps([&] { forms().unload(windows::kPicture); });
  steps([&] { forms().unload(windows::kViewer); });
  steps([&] {
    if (auto* sel = openPort<DeComp1Form>(forms(), windows::kArchiveSelection))
      sel->allowOpening(true);
  });
  steps([&] { c("ImgUnzip").setVisible(false); });
}

void DeComp2Form::clearMembers() { c("List1").clear(); }

void DeComp2Form::listMembers(Form& lister, ArchiveKind kind, const std::string& path) {
  if (kind == ArchiveKind::Zip) c("ImgUnzip").setVisible(true);
  Control& target = c("List1");
  target.clear();
  appendMemberNames(lister, kind, path, target);
}

std::vector<std::string> DeComp2Form::chosenMembers() const {
  std::vector<std::string> names;
  Control& list = c("List1");
  for (int i = 0; i < list.listCount(); ++i)
    if (list.selected(i)) names.push_back(list.list(i));
  return names;
}

void DeComp2Form::allowNextStep() { c("Command1").setEnabled(true); }

void DeComp2Form::memberClicked() {
  Steps steps;
  steps([&] {
    Control& list = c("List1");
    if (list.listIndex() < 0) return;
    std::string text = trimBlanks(list.list(list.listIndex()));
    ExtractProcessState& state = processState(app());
    state.clickedName = text;
    state.clickedMember = winpath::quote(text);
    state.clickedWorkPath = shared().TempFolder + "\\" + text;
  });
}

void DeComp2Form::nextStep() {
  Control& list = c("List1");
  anySelected_ = false;
  for (int i = 0; i < list.listCount() && !anySelected_; ++i) anySelected_ = list.selected(i);
  if (!anySelected_) {
    services().messageBox("解凍したいファイルを選択してください", MsgButtons::OK,
                          MsgIcon::Exclamation, "エラーです");
    return;
  }
  forms().get<DeComp3Form>(windows::kExtraction).showDestinationPrompt();
  forms().show(windows::kExtraction);
  c("Command1").setEnabled(false);
}

void DeComp2Form::toggleSelectAll() {
  Steps steps;
  Control& list = c("List1");
  if (list.listCount() < 1) return;
  allSelected_ = !allSelected_;
  for (int i = 0; i < list.listCount(); ++i) steps([&] { list.setSelected(i, allSelected_); });
}

void DeComp2Form::openClickedMember() {
  Steps steps;
  if (!extractClickedMember(*this)) return;
  const std::string path = processState(app()).clickedWorkPath;
  if (path.empty()) return;  // no member was clicked: nothing to look at
  std::string type = upperAscii(path.size() >= 3 ? path.substr(path.size() - 3) : path);
  if (type == "BMP" || type == "ICO" || type == "WMF") {
    steps([&] { port<PictureViewerPort>(forms(), windows::kPicture).showPicture(path); });
  } else if (type == "TXT" || type == "DOC") {
    steps([&] { forms().show(windows::kViewer); });
    steps(
        [&] { loadTextIntoViewer(*this, path, port<TextViewerPort>(forms(), windows::kViewer)); });
  } else {
    steps([&] { services().shellOpen(path); });
  }
}

void DeComp2Form::openInNotepad() {
  Steps steps;
  if (!extractClickedMember(*this)) return;
  const std::string path = processState(app()).clickedWorkPath;
  if (path.empty()) return;
  steps([&] { services().startTextEditor(path); });
}

}  // namespace zv::extract
