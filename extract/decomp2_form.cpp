#include "extract/decomp2_form.h"

#include "core/app.h"
#include "core/forms/steps.h"
#include "extract/extract_commands.h"
#include "extract/member_viewing.h"
#include "extract/process_state.h"
#include "platform/winpath.h"
#include "ui/common/picture_file.h"
#include "ui/common/window_common.h"

namespace zv::extract {

namespace {
std::string upperAscii(std::string text) {
  for (char& ch : text)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  return text;
}
}  // namespace

DeComp2Form::DeComp2Form(App& app) : Form(app, windows::kArchiveContents) {
  setCaption("Zorvex 32");
  resize(7095, 4095);
  fixedDialog = true;
  icon = "ext_window";
  addControls();
}

void DeComp2Form::addControls() {
  Control& list = add("List1", Kind::ListBox);
  list.move(240, 840, 6735, 2100);
  list.setFont({"ＭＳ ゴシック", 11.25});
  list.setMultiSelect(MultiSelect::Extended);
  list.onClick = [this] { memberClicked(); };

  Control& label = add("Label1", Kind::Label);
  label.move(720, 270, 4320, 240);
  label.setCaption("解凍したいファイルをクリックで指定後");

  struct Pic {
    const char* name;
    double l, t, w, h;
    const char* tip;
    const char* art;
  };
  for (const Pic& p :
       {Pic{"Image2", 5880, 120, 1080, 615, "次のｽﾃｯﾌﾟ進みます", "ext_next"},
        Pic{"Image3", 480, 3360, 960, 390, "ﾌｧｲﾙﾘｽﾄのすべてのﾌｧｲﾙを選択状態にします",
            "ext_select_all"},
        Pic{"Image5", 1920, 3120, 645, 780, "関連づけされたｱﾌﾟﾘｹｰｼｮﾝﾃで開きます", "ext_open"},
        Pic{"Image8", 2880, 3120, 705, 840, "ﾌｧｲﾙﾘｽﾄのﾃｷｽﾄﾌｧｲﾙを閲覧できます", "ext_notepad"},
        Pic{"Image6", 3960, 3060, 690, 915, "書庫内に圧縮されているﾌｧｲﾙをﾘｽﾄ表示します",
            "ext_list"},
        Pic{"Image1", 120, 120, 525, 525, "右ﾎﾞﾀﾝｸﾘｯｸで即時終了できます", "ext_help"}}) {
    Control& pic = add(p.name, Kind::Picture);
    pic.move(p.l, p.t, p.w, p.h);
    pic.setTooltip(p.tip);
    pic.setPicture(p.art);
  }
  Control& zip = add("ImgUnzip", Kind::Picture);
  zip.move(1920, 3000, 3300, 1080);
  zip.setPicture("ext_zip_marker");
  zip.setVisible(false);
  Control& deco = add("Image4", Kind::Picture);
  deco.move(5160, 120, 480, 480);
  deco.setPicture("ext_archive");

  Control& close = add("Command1", Kind::CommandButton);
  close.move(5880, 3360, 735, 315);
  close.setFont({"Arial", 8.25, true});
  close.setCaption("Close");
  close.setTooltip("このｳｨﾝﾄﾞｳを閉じます");
  close.onClick = [this] {
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
}

void DeComp2Form::load() {
  Steps steps;
  steps([&] { form(windows::kArchiveSelection).c("Command1").setEnabled(false); });
  steps([&] { placeOnTop(*this, form(windows::kArchiveSelection)); });
  anySelected_ = false;
  allSelected_ = false;
}

void DeComp2Form::unloading(bool&) {
  Steps steps;
  steps([&] { forms().unload(windows::kPicture); });
  steps([&] { forms().unload(windows::kViewer); });
  steps([&] {
    if (Form* sel = forms().find(windows::kArchiveSelection)) sel->c("Command1").setEnabled(true);
  });
  steps([&] { c("ImgUnzip").setVisible(false); });
}

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
  Form& extract = form(windows::kExtraction);
  extract.c("Image3").setVisible(true);
  extract.c("Label1").setCaption("解凍先のフォルダを指定後，[解凍]ボタンを押します");
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
    steps([&] {
      Form& viewer = form(windows::kPicture);
      Control& image = viewer.c("Image1");
      image.setPicture("");
      loadPictureFile(image, path, services());
      viewer.resize(image.width(), image.height() + 600);
      viewer.show();
    });
  } else if (type == "TXT" || type == "DOC") {
    steps([&] { forms().show(windows::kViewer); });
    steps([&] { loadTextIntoViewer(*this, path, form(windows::kViewer).c("Text1")); });
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
