#include "extract/decomp1_form.h"

#include "core/app.h"
#include "core/forms/control_table.h"
#include "core/forms/run_guard.h"
#include "core/forms/steps.h"
#include "core/libraries/library_check.h"
#include "core/messages/failure_cause.h"
#include "extract/decomp2_form.h"
#include "extract/extract_commands.h"
#include "extract/library_messages.h"
#include "extract/member_listing.h"
#include "extract/member_paths.h"
#include "extract/name_choice.h"
#include "extract/option_reading.h"
#include "extract/run_support.h"
#include "platform/fileops.h"
#include "platform/winpath.h"
#include "ui/common/window_common.h"
#include "zorvex/archiver_api.h"

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

// Rows in tab order.
const ControlRow kControls[] = {
    // the drive of the archive folder
    {.name = "Drive1", .kind = Kind::DriveList, .at = {120, 720, 2535, 345}, .font = kListFont},
    // the archive folder
    {.name = "Dir1",
     .kind = Kind::FolderList,
     .at = {120, 1200, 3015, 2385},
     .description = "フォルダ",
     .font = kListFont},
    // the archives of the folder, of the kind the filter chooses
    {.name = "File1",
     .kind = Kind::FileList,
     .at = {3240, 1080, 3735, 3015},
     .font = kListFont,
     .pattern = "*.lzh"},
    // filter: LZH archives; chosen at start, before its click is wired
    {.name = "Option1",
     .kind = Kind::OptionButton,
     .at = {240, 3720, 855, 360},
     .caption = "lzh",
     .tooltip = "右のﾘｽﾄにLZHﾌｧｲﾙのみ表示します",
     .font = kOptionFont,
     .value = 1},
    // filter: ZIP archives
    {.name = "Option2",
     .kind = Kind::OptionButton,
     .at = {1200, 3720, 855, 360},
     .caption = "zip",
     .tooltip = "右のﾘｽﾄにZIPﾌｧｲﾙのみ表示します",
     .font = kOptionFont},
    // filter: ISH files; a double click restores from the clipboard
    {.name = "Option3",
     .kind = Kind::OptionButton,
     .at = {2160, 3720, 855, 360},
     .caption = "ish",
     .tooltip = "ｸﾘｯﾌﾟﾎﾞｰﾄﾞからの取り込みは，ここをﾀﾞﾌﾞﾙｸﾘｯｸします",
     .font = kOptionFont},
    // the quick-extraction picture
    {.name = "Image2",
     .kind = Kind::Picture,
     .at = {4725, 165, 1425, 480},
     .picture = "ext_quick",
     .tooltip = "下のﾌｧｲﾙﾘｽﾄでﾌｧｲﾙを選んでからｸﾘｯｸします"},
    // the desktop picture: jumps to the desktop folder
    {.name = "Image7",
     .kind = Kind::Picture,
     .at = {2760, 720, 405, 405},
     .picture = "ext_desktop"},
    // the help picture
    {.name = "Image1",
     .kind = Kind::Picture,
     .at = {120, 90, 525, 525},
     .picture = "ext_help",
     .tooltip = "右ｸﾘｯｸで即時終了できます"},
    // the close button
    {.name = "Command1",
     .kind = Kind::CommandButton,
     .at = {6180, 240, 735, 315},
     .caption = "Close",
     .tooltip = "このｳｨﾝﾄﾞｳを閉じて「vuv」へ移動します",
     .font = kCloseFont,
     .isCancel = true},
    // the heading
    {.name = "Label1",
     .kind = Kind::Label,
     .at = {720, 270, 3840, 240},
     .caption = "解凍する圧縮ファイルを指定します",
     .foreColor = kBlue},
    // the hint above the archive list
    {.name = "Label4",
     .kind = Kind::Label,
     .at = {3240, 730, 3615, 240},
     .caption = "選択はダブルクリックで行います",
     .foreColor = kRed},
    // the pressed archive's size and date, sized to its text
    {.name = "Label2",
     .kind = Kind::Label,
     .at = {3240, 3720, 3735, 240},
     .font = FontSpec{"ＭＳ ゴシック", 9.75},
     .foreColor = kBlue,
     .backColor = kLightYellow,
     .autoSize = true},
    // the work-folder listing of a quick extraction
    {.name = "File2",
     .kind = Kind::FileList,
     .description = "クイック解凍のファイル",
     .hidden = true},
    // the members of the archive being read
    {.name = "List1",
     .kind = Kind::ListBox,
     .description = "書庫のファイル",
     .hidden = true,
     .multiSelect = MultiSelect::Extended},
};

}  // namespace

DeComp1Form::DeComp1Form(App& app) : Form(app, windows::kArchiveSelection) {
  resize(7095, 4185);
  fixedDialog = true;
  icon = "ext_window";
  addControlRows(*this, kControls);
  wireEvents();
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
  // Moving through the list by keys selects as a click does: the date and size follow.
  c("File1").onClick = [this] { showFileInformation(); };
  c("File1").onDblClick = [this] { openSelected(); };
  onFilesDropped = [this](const std::vector<std::string>& paths) { openDroppedArchive(paths); };
  makePressedPicture(c("Image2"), kMainPictureOffset,
                     [this](const MouseEvent&) { quickExtract(); });
  c("Command1").onClick = [this] { unload(); };
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

void DeComp1Form::queryUnload(bool& cancel, UnloadMode mode) {
  // While a later window of the flow works on this window's archive, Close is disabled; the
  // close box is refused the same way, so that window never loses its archive or its filter.
  if (mode == UnloadMode::CloseBox &&
      (forms().loaded(windows::kArchiveContents) || forms().loaded(windows::kIshRestore)))
    cancel = true;
}

void DeComp1Form::unloading(bool&) {
  Steps steps;
  if (!shared().RunInProgress) {
    steps([&] { forms().show(windows::kMenu); });
    steps([&] { savePosition(*this, "DeCompPosition"); });
  }
  steps([&] { saveLastFolder(*this, "DeComp1Dir"); });
}

std::string DeComp1Form::folder() const { return c("Dir1").path(); }

std::optional<ArchiveKind> DeComp1Form::chosenKind() const {
  if (c("Option1").value()) return ArchiveKind::Lzh;
  if (c("Option2").value()) return ArchiveKind::Zip;
  return std::nullopt;
}

void DeComp1Form::allowOpening(bool allowed) { c("Command1").setEnabled(allowed); }

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
    steps([&] { forms().get<DeComp2Form>(windows::kArchiveContents).clearMembers(); });
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
    forms().get<DeComp2Form>(windows::kArchiveContents).listMembers(*this, ArchiveKind::Lzh, path);
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
  forms().get<DeComp2Form>(windows::kArchiveContents).listMembers(*this, ArchiveKind::Zip, path);
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
  // The archive is read before anything is touched: one the library cannot read stops here,
  // as opening it does, and QUICK keeps the previous quick extraction.
  ArchiveKind kind = c("Option2").value() ? ArchiveKind::Zip : ArchiveKind::Lzh;
  std::string archive = quotedArchivePath(c("Dir1").path(), c("File1").fileName());
  Listing listing = listMembers(*this, kind, archive);
  if (!listing.readable) {
    showUnreadableArchive(*this, archive);
    return;
  }
  steps([&] { cleanQuick(); });
  s.ArchiveFile = archive;
  steps([&] {
    Control& members = c("List1");
    members.clear();
    for (const auto& m : listing.members) members.addItem(m.name);
    for (int i = 0; i < members.listCount(); ++i) members.setSelected(i, true);
  });
  RunGuard run(*this);
  s.ExtractFolder = winpath::join(app().programFolder, "QUICK\\");
  steps([&] { hide(); });
  steps([&] { forms().show(windows::kWait); });
  steps([&] { runQuickExtract(kind); });
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

void DeComp1Form::runQuickExtract(ArchiveKind kind) {
  Shared& s = shared();
  Control& members = c("List1");
  const bool zip = kind == ArchiveKind::Zip;
  std::vector<std::string> refused;
  for (int i = 0; i < members.listCount(); ++i) {
    if (!members.selected(i)) continue;
    std::string name = members.list(i);
    if (zip && isFolderEntry(name)) continue;
    // One run per member: a name the library refuses (one that would leave the destination)
    // is only listed for the user, any other failure ends the extraction.
    std::string command =
        zip ? zipQuickExtractCommand(withNameSwitch(app(), s.ArchiveFile), s.ExtractFolder, name)
            : quickExtractCommand(withNameSwitch(app(), s.ArchiveFile), s.ExtractFolder, name);
    int code = runCommand(*this, kind, command, kQuickBuffer).code;
    if (code == ZV_ERROR_UNSAFE_NAME) {
      refused.push_back(name);
      continue;
    }
    if (code != 0) {
      endFailedRun(*this, refused, memberCause(name, libraryFailureCause(code)));
      return;
    }
  }
  endRun(*this, refused);
}

}  // namespace zv::extract
