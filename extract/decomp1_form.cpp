#include "extract/decomp1_form.h"

#include "core/app.h"
#include "core/forms/steps.h"
#include "core/libraries/library_check.h"
#include "core/messages/failure_cause.h"
#include "extract/extract_commands.h"
#include "extract/library_messages.h"
#include "extract/member_listing.h"
#include "extract/member_paths.h"
#include "extract/option_reading.h"
#include "extract/run_support.h"
#include "platform/fileops.h"
#include "platform/winpath.h"
#include "ui/common/window_common.h"

namespace zv::extract {

namespace {
const FontSpec kListFont{"ＭＳ ゴシック", 11.25};
const FontSpec kOptionFont{"Arial", 12, true};
const FontSpec kCloseFont{"Arial", 8.25, true};
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kLightYellow = 0xFFFFC0;
constexpr uint32_t kQuickBuffer = 1024;

bool endsWithNoCase(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && lowerAscii(text.substr(text.size() - tail.size())) == tail;
}
}  // namespace

DeComp1Form::DeComp1Form(App& app) : Form(app, windows::kArchiveSelection) {
  resize(7095, 4185);
  fixedDialog = true;
  icon = "ext_window";
  addControls();
  wireEvents();
}

void DeComp1Form::addControls() {
  Control& drive = add("Drive1", Kind::DriveList);
  drive.move(120, 720, 2535, 345);
  drive.setFont(kListFont);
  Control& dir = add("Dir1", Kind::FolderList);
  dir.move(120, 1200, 3015, 2385);
  dir.setFont(kListFont);
  Control& files = add("File1", Kind::FileList);
  files.move(3240, 1080, 3735, 3015);
  files.setFont(kListFont);
  files.setPattern("*.lzh");

  struct Opt {
    const char* name;
    double left;
    const char* caption;
    const char* tip;
  };
  for (const Opt& o :
       {Opt{"Option1", 240, "lzh", "右のﾘｽﾄにLZHﾌｧｲﾙのみ表示します"},
        Opt{"Option2", 1200, "zip", "右のﾘｽﾄにZIPﾌｧｲﾙのみ表示します"},
        Opt{"Option3", 2160, "ish", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞからの取り込みは，ここをﾀﾞﾌﾞﾙｸﾘｯｸします"}}) {
    Control& opt = add(o.name, Kind::OptionButton);
    opt.move(o.left, 3720, 855, 360);
    opt.setFont(kOptionFont);
    opt.setCaption(o.caption);
    opt.setTooltip(o.tip);
  }
  c("Option1").setValue(1);  // before the events are wired: no filter change at design

  Control& quick = add("Image2", Kind::Picture);
  quick.move(4725, 165, 1425, 480);
  quick.setTooltip("下のﾌｧｲﾙﾘｽﾄでﾌｧｲﾙを選んでからｸﾘｯｸします");
  quick.setPicture("ext_quick");
  Control& desk = add("Image7", Kind::Picture);
  desk.move(2760, 720, 405, 405);
  desk.setPicture("ext_desktop");
  Control& help = add("Image1", Kind::Picture);
  help.move(120, 90, 525, 525);
  help.setTooltip("右ｸﾘｯｸで即時終了できます");
  help.setPicture("ext_help");

  Control& close = add("Command1", Kind::CommandButton);
  close.move(6180, 240, 735, 315);
  close.setFont(kCloseFont);
  close.setCaption("Close");
  close.setTooltip("このｳｨﾝﾄﾞｳを閉じて「vuv」へ移動します");
  close.setCancel(true);

  Control& heading = add("Label1", Kind::Label);
  heading.move(720, 270, 3840, 240);
  heading.setCaption("解凍する圧縮ファイルを指定します");
  heading.setForeColor(kBlue);
  Control& hint = add("Label4", Kind::Label);
  hint.move(3240, 730, 3615, 240);
  hint.setCaption("選択はダブルクリックで行います");
  hint.setForeColor(kRed);
  Control& info = add("Label2", Kind::Label);
  info.move(3240, 3720, 3735, 240);
  info.setFont({"ＭＳ ゴシック", 9.75});
  info.setForeColor(kBlue);
  info.setBackColor(kLightYellow);
  info.autoSize = true;

  Control& dbl = add("cmdDbl", Kind::Hidden);
  dbl.move(0, 4400, 1215, 375);
  dbl.setCaption("cmdDbl");
  Control& quickList = add("File2", Kind::FileList);
  quickList.setVisible(false);
  Control& members = add("List1", Kind::ListBox);
  members.setVisible(false);
  members.setMultiSelect(MultiSelect::Extended);
  add("lblBuf", Kind::Hidden);
}

void DeComp1Form::wireEvents() {
  wireFolderPanel(*this);
  wireDesktopButton(*this);
  wireHelpButton(*this, "Image1", kHelpExtraction);
  for (const char* name : {"Option1", "Option2", "Option3"})
    c(name).onClick = [this] { filterChanged(); };
  c("Option3").onDblClick = [this] {
    Steps steps;
    steps([&] { forms().show(windows::kIshRestore); });
  };
  c("File1").onMouseDown = [this](const MouseEvent&) { showFileInformation(); };
  c("File1").onDblClick = [this] { openSelected(); };
  c("cmdDbl").onClick = [this] { commandLineOpen(); };
  makePressedPicture(c("Image2"), kMainPictureOffset,
                     [this](const MouseEvent&) { quickExtract(); });
  c("Command1").onClick = [this] { unload(); };

  defineProcedure("ReadOption", [this] { readOption(*this); });
  defineProcedure("ReadOption2", [this] { readOption2(*this); });
  defineProcedure("CleanQuick", [this] { cleanQuick(); });
  defineProcedure("AddList", [this] { addList(); });
  defineProcedure("AddList2", [this] { addList2(); });
  defineProcedure("ZipAddList", [this] { zipAddList(); });
}

void DeComp1Form::load() {
  Steps steps;
  // The folder panel starts in the program folder, as a folder list starts in the current one.
  steps([&] { c("Dir1").setPath(app().programFolder); });
  steps([&] { setCaption(folderCaption(c("Dir1").path())); });
  steps([&] { loadPosition(*this, "DeCompPosition", "300", 13); });
  if (shared().StartMode != "Command") {
    steps([&] { loadLastFolder(*this, "DeComp1Dir", 512); });
  } else {
    steps([&] { readOption2(*this); });
    steps([&] { loadCommandLineFolder(); });
  }
}

void DeComp1Form::loadCommandLineFolder() {
  // The folder of the archive: the text up to the last '\' before its last character. Quotes
  // around an argument with blanks are not part of the folder.
  std::string text = winpath::unquote(app().commandLine);
  if (text.size() < 2) return;
  size_t slash = text.rfind('\\', text.size() - 2);
  if (slash == std::string::npos) return;
  std::string folder = text.substr(0, slash + 1);
  Steps steps;
  steps([&] { c("Dir1").setPath(folder); });
  steps([&] { c("Drive1").setDrive(winpath::driveOf(folder)); });
}

void DeComp1Form::unloading(bool&) {
  Steps steps;
  if (!shared().RunInProgress) {
    steps([&] { forms().show(windows::kMenu); });
    steps([&] { savePosition(*this, "DeCompPosition"); });
  }
  steps([&] { saveLastFolder(*this, "DeComp1Dir"); });
}

std::string DeComp1Form::selectedPath() const {
  std::string name = c("File1").fileName();
  if (name.empty()) return "";
  return winpath::join(c("Dir1").path(), name);
}

void DeComp1Form::filterChanged() {
  Control& files = c("File1");
  if (c("Option1").value()) {
    files.setPattern("*.lzh");
    return;
  }
  bool zip = c("Option2").value() != 0;
  if (!zip && !c("Option3").value()) return;
  if (!systemLibraryPresent(shared(), zip ? "unzip32.dll" : "ish32.dll")) {
    std::string page = libraryHelpPage(app().programFolder);
    services().messageBox(zip ? zipLibraryMissingText(page) : ishLibraryMissingText(page),
                          MsgButtons::OK, MsgIcon::Exclamation,
                          zip ? "ZIP ファイルの解凍" : "ISH ファイルの復元");
    c("Option1").setValue(1);  // runs this again with LZH
    return;
  }
  files.setPattern(zip ? "*.zip" : "*.ish");
}

void DeComp1Form::showFileInformation() {
  std::string path = selectedPath();
  if (path.empty()) return;
  Steps steps;
  steps([&] {
    std::string text = fs::modifiedText(path) + " " + std::to_string(fs::fileSize(path)) + " ﾊﾞｲﾄ";
    c("Label2").setCaption(text);
  });
}

void DeComp1Form::openSelected() {
  Steps steps;
  Shared& s = shared();
  if (c("Option1").value() || c("Option2").value()) {
    bool zip = c("Option2").value() != 0;
    steps([&] { forms().show(windows::kArchiveContents); });
    steps([&] { form(windows::kArchiveContents).c("List1").clear(); });
    steps([&] {
      s.ArchiveFile = s.StartMode == "Command"
                          ? app().commandLine
                          : quotedArchivePath(c("Dir1").path(), c("File1").fileName());
    });
    steps([&] { zip ? zipAddList() : addList(); });
    return;
  }
  if (!c("Option3").value()) return;
  steps([&] { s.IshFile = winpath::join(c("Dir1").path(), c("File1").fileName()); });
  int valid = 0;
  steps([&] { valid = ishCheck(*this, s.IshFile, 1); });
  if (valid != 0) {
    steps([&] { forms().show(windows::kIshRestore); });
  } else {
    services().messageBox("このファイルには有効なISHデータがありません", MsgButtons::OK,
                          MsgIcon::Exclamation, "エラーです");
  }
}

void DeComp1Form::commandLineOpen() {
  Steps steps;
  Control& files = c("File1");
  std::string name = winpath::fileName(winpath::unquote(app().commandLine));
  auto indexOf = [&](const std::string& n) {
    for (int i = 0; i < files.listCount(); ++i)
      if (lowerAscii(files.list(i)) == lowerAscii(n)) return i;
    return -1;
  };
  // A ZIP or ISH file opened from the desktop goes to its own library; the filter only
  // changes when the library is there and the file is listed under that filter.
  const char* option = endsWithNoCase(name, ".zip")   ? "Option2"
                       : endsWithNoCase(name, ".ish") ? "Option3"
                                                      : nullptr;
  if (option) {
    steps([&] { c(option).setValue(1); });
    if (c(option).value() && indexOf(name) < 0) steps([&] { c("Option1").setValue(1); });
  }
  int index = indexOf(name);
  steps([&] { files.setListIndex(index >= 0 ? index : 0); });
  showFileInformation();
  openSelected();
}

void DeComp1Form::addList() {
  Steps steps;
  Shared& s = shared();
  std::string path = s.StartMode == "Command"
                         ? app().commandLine
                         : quotedArchivePath(c("Dir1").path(), c("File1").fileName());
  steps([&] {
    Control& target = form(windows::kArchiveContents).c("List1");
    target.clear();
    appendMemberNames(*this, ArchiveKind::Lzh, path, target);
  });
}

void DeComp1Form::addList2() {
  Steps steps;
  std::string path = quotedArchivePath(c("Dir1").path(), c("File1").fileName());
  steps([&] { appendMemberNames(*this, ArchiveKind::Lzh, path, c("List1")); });
}

void DeComp1Form::zipAddList() {
  // Without error skipping: the first failure ends the listing.
  std::string path = quotedArchivePath(c("Dir1").path(), c("File1").fileName());
  Form& contents = form(windows::kArchiveContents);
  contents.c("ImgUnzip").setVisible(true);
  Control& target = contents.c("List1");
  target.clear();
  appendMemberNames(*this, ArchiveKind::Zip, path, target);
}

void DeComp1Form::cleanQuick() {
  Steps steps;
  std::string quick = winpath::join(app().programFolder, "QUICK\\");
  Control& list = c("File2");
  // Only a listing of the quick folder itself may lead to deletions.
  if (steps([&] { list.setPath(quick); })) {
    std::vector<std::string> names = list.items();
    for (const auto& n : names) steps([&] { fs::deleteFile(winpath::join(quick, n)); });
  }
  steps([&] { list.refresh(); });
}

void DeComp1Form::quickExtract() {
  Steps steps;
  Shared& s = shared();
  if (c("File1").fileName().empty()) {
    services().messageBox("ファイルを選択してください", MsgButtons::OK, MsgIcon::Exclamation,
                          "Quick 解凍");
    return;
  }
  steps([&] { cleanQuick(); });
  steps([&] { s.ArchiveFile = quotedArchivePath(c("Dir1").path(), c("File1").fileName()); });
  steps([&] { addList2(); });
  steps([&] {
    Control& members = c("List1");
    for (int i = 0; i < members.listCount(); ++i) members.setSelected(i, true);
  });
  s.RunInProgress = true;
  s.ExtractFolder = winpath::join(app().programFolder, "QUICK\\");
  steps([&] { hide(); });
  steps([&] { forms().show(windows::kWait); });
  steps([&] { runQuickExtract(); });
  steps([&] { forms().unload(windows::kWait); });
  steps([&] { forms().show(windows::kFileUtility); });
  steps([&] {
    form(windows::kFileUtility).setCaption("Zorvex 32  -Quick 解凍されたﾌｧｲﾙのﾘｽﾄです-");
  });
  pointFileUtilityAt(*this, s.ExtractFolder.substr(0, 1), s.ExtractFolder);
  steps([&] { unload(); });
  services().setBusy(false);
  s.RunInProgress = false;
}

void DeComp1Form::runQuickExtract() {
  Shared& s = shared();
  Control& members = c("List1");
  std::vector<std::string> refused;
  for (int i = 0; i < members.listCount(); ++i) {
    if (!members.selected(i)) continue;
    std::string name = members.list(i);
    if (!memberPathUnder(s.ExtractFolder, lowerAscii(name))) {
      refused.push_back(name);
      continue;
    }
    std::string command = quickExtractCommand(s.ArchiveFile, s.ExtractFolder, name);
    int code = runCommand(*this, ArchiveKind::Lzh, command, kQuickBuffer).code;
    if (code != 0) {
      endFailedRun(*this, refused, libraryFailureCause(code));
      return;
    }
  }
  endRun(*this, refused);
}

}  // namespace zv::extract
