#include "fileutil/file_utility_form.h"

#include <utility>

#include "core/app.h"
#include "core/forms/control_table.h"
#include "core/forms/steps.h"
#include "fileutil/preview_text.h"
#include "platform/fileops.h"
#include "platform/winpath.h"
#include "ui/common/window_common.h"

namespace zv {

namespace {
constexpr uint32_t kLightYellow = 0xFFFFC0;
const FontSpec kPathFont{"ＭＳ ゴシック", 10.5};
const FontSpec kListFont{"ＭＳ ゴシック", 9.75};

// Rows in tab order; the menu bar last.
const ControlRow kControls[] = {
    // the upper pane's folder, in full
    {.name = "Label2",
     .kind = Kind::Label,
     .at = {60, 50, 6795, 255},
     .font = kPathFont,
     .backColor = kLightYellow},
    // the upper pane's drive
    {.name = "Drive1",
     .kind = Kind::DriveList,
     .at = {60, 360, 2985, 330},
     .description = "上段のドライブ",
     .font = kPathFont},
    // the upper pane's folder
    {.name = "Dir1",
     .kind = Kind::FolderList,
     .at = {60, 720, 3000, 1890},
     .description = "上段のフォルダ",
     .font = kListFont},
    // the upper pane's files, marked by clicks
    {.name = "File1",
     .kind = Kind::FileList,
     .at = {3120, 360, 3735, 2235},
     .description = "上段のファイル一覧",
     .font = kListFont,
     .multiSelect = MultiSelect::Simple},
    // the lower pane's folder, in full
    {.name = "Label3",
     .kind = Kind::Label,
     .at = {60, 2760, 6795, 255},
     .font = kPathFont,
     .backColor = kLightYellow},
    // the lower pane's drive
    {.name = "Drive2",
     .kind = Kind::DriveList,
     .at = {60, 3070, 2985, 330},
     .description = "下段のドライブ",
     .font = kPathFont},
    // the lower pane's folder
    {.name = "Dir2",
     .kind = Kind::FolderList,
     .at = {60, 3480, 3015, 1890},
     .description = "下段のフォルダ",
     .font = kListFont},
    // the lower pane's files
    {.name = "File2",
     .kind = Kind::FileList,
     .at = {3120, 3070, 3735, 2430},
     .description = "下段のファイル一覧",
     .font = kListFont},
    // the text preview, shown in place of the lower pane
    {.name = "Text1",
     .kind = Kind::TextBox,
     .at = {60, 2640, 6795, 2775},
     .description = "テキストの表示",
     .font = kListFont,
     .backColor = kWindowBack,
     .hidden = true,
     .multiLine = true,
     .scrollBars = true},
    // copies the marked files to the other pane
    {.name = "Image5",
     .kind = Kind::Picture,
     .at = {6960, 120, 1110, 465},
     .picture = "fu_copy_all",
     .description = "全コピー"},
    // moves the marked files to the other pane
    {.name = "Image4",
     .kind = Kind::Picture,
     .at = {6960, 600, 1125, 480},
     .picture = "fu_move_all",
     .description = "全移動"},
    // deletes the marked files
    {.name = "Image1",
     .kind = Kind::Picture,
     .at = {6960, 1080, 1125, 465},
     .picture = "fu_delete_all",
     .description = "全削除"},
    // opens the file with its application
    {.name = "Image6",
     .kind = Kind::Picture,
     .at = {6960, 1560, 1125, 480},
     .picture = "fu_execute",
     .description = "実行"},
    // makes a self-extracting archive of the LZH file
    {.name = "Image12",
     .kind = Kind::Picture,
     .at = {6960, 2040, 1125, 480},
     .picture = "fu_sfx",
     .description = "自己解凍書庫の作成"},
    // the trash, empty
    {.name = "Image8",
     .kind = Kind::Picture,
     .at = {7230, 2520, 480, 480},
     .picture = "fu_trash_empty",
     .description = "ゴミ箱"},
    // the trash, used
    {.name = "Image9",
     .kind = Kind::Picture,
     .at = {7230, 2520, 480, 480},
     .picture = "fu_trash_full",
     .description = "ゴミ箱（使用済み）",
     .hidden = true},
    // the rename tag
    {.name = "Image10",
     .kind = Kind::Picture,
     .at = {7230, 3120, 540, 540},
     .picture = "fu_tag_blank",
     .description = "名前の変更"},
    // the rename tag while a file is dropped on it
    {.name = "Image11",
     .kind = Kind::Picture,
     .at = {7230, 3120, 510, 510},
     .picture = "fu_tag_ren",
     .description = "名前の変更（受け付け中）",
     .hidden = true},
    // the new-folder picture
    {.name = "Image3",
     .kind = Kind::Picture,
     .at = {7200, 3720, 690, 720},
     .picture = "fu_new_folder",
     .description = "新しいフォルダ"},
    // back to the main menu
    {.name = "Image7",
     .kind = Kind::Picture,
     .at = {7035, 4440, 990, 1065},
     .picture = "fu_house",
     .description = "メニューに戻る",
     .isCancel = true},
    // shows the selected file's information
    {.name = "menuInfo", .kind = Kind::MenuItem, .caption = "ﾌｧｲﾙ情報(I)"},
    // the text preview menu
    {.name = "menuTextView", .kind = Kind::MenuItem, .caption = "ﾃｷｽﾄ(&V)"},
    // shows the preview in place of the lower pane; ticked while shown
    {.name = "menuOpenView",
     .kind = Kind::MenuItem,
     .caption = "ﾋﾞｭｰﾜｰ",
     .container = "menuTextView"},
    // a separator line
    {.name = "SepV", .kind = Kind::MenuItem, .caption = "-", .container = "menuTextView"},
    // the preview's font sizes
    {.name = "menuFSize",
     .kind = Kind::MenuItem,
     .caption = "ﾌｫﾝﾄｻｲｽﾞ",
     .container = "menuTextView"},
    // small preview font
    {.name = "menuSmall",
     .kind = Kind::MenuItem,
     .caption = "小さくする",
     .container = "menuFSize"},
    // a separator line
    {.name = "SepSM", .kind = Kind::MenuItem, .caption = "-", .container = "menuFSize"},
    // normal preview font, ticked at start
    {.name = "menuNormal",
     .kind = Kind::MenuItem,
     .caption = "通常",
     .container = "menuFSize",
     .value = 1},
    // a separator line
    {.name = "SepNo", .kind = Kind::MenuItem, .caption = "-", .container = "menuFSize"},
    // large preview font
    {.name = "menuLarge",
     .kind = Kind::MenuItem,
     .caption = "大きくする",
     .container = "menuFSize"},
    // the lists' font sizes
    {.name = "menuFont", .kind = Kind::MenuItem, .caption = "ﾌｫﾝﾄｻｲｽﾞ(&F)"},
    // 10-point lists, ticked at start
    {.name = "menu10",
     .kind = Kind::MenuItem,
     .caption = "10",
     .container = "menuFont",
     .value = 1},
    // a separator line
    {.name = "Sep10", .kind = Kind::MenuItem, .caption = "-", .container = "menuFont"},
    // 12-point lists
    {.name = "menu12", .kind = Kind::MenuItem, .caption = "12", .container = "menuFont"},
    // a separator line
    {.name = "Sep12", .kind = Kind::MenuItem, .caption = "-", .container = "menuFont"},
    // 14-point lists
    {.name = "menu14", .kind = Kind::MenuItem, .caption = "14", .container = "menuFont"},
    // exchanges the folders of the two panes
    {.name = "menuChDir", .kind = Kind::MenuItem, .caption = "上下の交換(&D)"},
    // the file manager menu
    {.name = "menuExp", .kind = Kind::MenuItem, .caption = "ｴｸｽﾌﾟﾛｰﾗ(&E)"},
    // opens the upper folder in the file manager
    {.name = "menuUe",
     .kind = Kind::MenuItem,
     .caption = "上段のフォルダを開く",
     .container = "menuExp"},
    // a separator line
    {.name = "SepUe", .kind = Kind::MenuItem, .caption = "-", .container = "menuExp"},
    // opens the lower folder in the file manager
    {.name = "menuSita",
     .kind = Kind::MenuItem,
     .caption = "下段のフォルダを開く",
     .container = "menuExp"},
    // a separator line
    {.name = "SepSita", .kind = Kind::MenuItem, .caption = "-", .container = "menuExp"},
    // opens both folders in the file manager
    {.name = "menuUeSita",
     .kind = Kind::MenuItem,
     .caption = "上・下段で開く",
     .container = "menuExp"},
    // the archive menu
    {.name = "menuArc", .kind = Kind::MenuItem, .caption = "書庫(&A)"},
    // tests the archives marked in the upper list (Ctrl+T)
    {.name = "menuArcTest",
     .kind = Kind::MenuItem,
     .caption = "書庫のテスト(&T)\tCtrl+T",
     .container = "menuArc"},
    // takes what is intact out of the marked archives into the lower folder (Ctrl+R)
    {.name = "menuArcRescue",
     .kind = Kind::MenuItem,
     .caption = "壊れた書庫から取り出す(&R)...\tCtrl+R",
     .container = "menuArc"},
    // the help menu
    {.name = "menuHelp", .kind = Kind::MenuItem, .caption = "ﾍﾙﾌﾟ(&H)"},
    // the help contents
    {.name = "menuIndex", .kind = Kind::MenuItem, .caption = "目次(&C)", .container = "menuHelp"},
    // a separator line
    {.name = "SepInd", .kind = Kind::MenuItem, .caption = "-", .container = "menuHelp"},
    // the help's keyword search
    {.name = "menuSearch",
     .kind = Kind::MenuItem,
     .caption = "ｷｰﾜｰﾄﾞで検索(&S)",
     .container = "menuHelp"},
    // a separator line
    {.name = "SepSea", .kind = Kind::MenuItem, .caption = "-", .container = "menuHelp"},
    // the about window
    {.name = "menuZorvexVer",
     .kind = Kind::MenuItem,
     .caption = "Zorvex 32+ のﾊﾞｰｼﾞｮﾝ",
     .container = "menuHelp"},
    // a separator line
    {.name = "SepEL", .kind = Kind::MenuItem, .caption = "-", .container = "menuHelp"},
    // the LZH library's version
    {.name = "menuVer",
     .kind = Kind::MenuItem,
     .caption = "Unlha32.dll のﾊﾞｰｼﾞｮﾝ",
     .container = "menuHelp"},
};
}  // namespace

FileUtilityForm::FileUtilityForm(App& app) : Form(app, windows::kFileUtility) {
  resize(8115, 5595);
  setBackColor(kWindowBack);
  icon = "fu_house";
  addControlRows(*this, kControls);
  wireMenus();
  wirePanes();
  wireOperations();
  wireKeys();
  wireExchange();
  wireArchiveMenu();
}

void FileUtilityForm::wirePaneFolder(const std::string& drive, const std::string& folder,
                                     const std::string& files, const std::string& label) {
  FolderPanelOptions options;
  options.captionFollowsFolder = false;
  options.drive = drive;
  options.folder = folder;
  options.files = files;
  // The path label follows the file list's folder; a bare drive gets its '\'.
  options.afterFolderChange = [this, files, label] {
    c(label).setCaption(folderCaption(c(files).path()));
    refreshDialogPath();
  };
  if (drive == "Drive2") {
    options.afterDriveChange = [this] { c("Label3").setCaption(c("Dir2").path()); };
  }
  wireFolderPanel(*this, options);
}

void FileUtilityForm::wirePanes() {
  wirePaneFolder("Drive1", "Dir1", "File1", "Label2");
  wirePaneFolder("Drive2", "Dir2", "File2", "Label3");

  c("File1").onMouseDown = [this](const MouseEvent& e) { pressOnFileList("File1", e); };
  c("File2").onMouseDown = [this](const MouseEvent& e) { pressOnFileList("File2", e); };
  c("File1").onClick = [this] { showPreview(); };

  // A left press shows a long path from its start, a right press from its end.
  for (const char* name : {"Label2", "Label3"}) {
    Control& label = c(name);
    label.onMouseDown = [&label](const MouseEvent& e) {
      if (e.button == kLeftButton) label.setAlignment(Control::AlignLeft);
      if (e.button == kRightButton) label.setAlignment(Control::AlignRight);
    };
  }

  onDblClick = [this] { services().help(app().helpFile, kHelpContext, kHelpFileUtility); };
  makePressedPicture(c("Image7"), kMainPictureOffset, [this](const MouseEvent&) { backToMenu(); });
}

void FileUtilityForm::load() {
  Steps steps;
  steps([&] { centreOnScreen(); });
  // A remembered folder that is gone (or an empty path) opens the pane on the program folder.
  auto showSaved = [this](const std::string& list, const std::string& section) {
    std::string saved = readSetting(*this, section, "Path", app().programFolder, 512);
    Steps tries;
    tries([&] { c(list).setPath(saved); });
    if (tries.err() != 0 || c(list).path().empty()) c(list).setPath(app().programFolder);
  };
  steps([&] { showSaved("Dir1", "DeComp4Dir1"); });
  steps([&] { c("Drive1").setDrive(winpath::driveOf(c("Dir1").path())); });
  steps([&] { showSaved("Dir2", "DeComp4Dir2"); });
  steps([&] { c("Drive2").setDrive(winpath::driveOf(c("Dir2").path())); });
  steps([&] { c("Label2").setCaption(c("Dir1").path()); });
  steps([&] { c("Label3").setCaption(c("Dir2").path()); });
  steps([&] { forms().unload(windows::kWait); });
  shared().InfoCaller = FileInfoCaller::FileUtility;
}

void FileUtilityForm::unloading(bool& cancel) {
  Steps steps;
  steps([&] { forms().show(windows::kMenu); });
  steps([&] { forms().unload(windows::kWait); });
  // An empty path would make every later start open a dead pane.
  for (const char* pane : {"1", "2"}) {
    std::string path = c(std::string("Dir") + pane).path();
    if (!path.empty())
      steps([&] { writeSetting(*this, std::string("DeComp4Dir") + pane, "Path", path); });
  }
}

void FileUtilityForm::backToMenu() {
  Steps steps;
  steps([&] { unload(); });
  steps([&] { forms().show(windows::kMenu); });
}

void FileUtilityForm::pressOnFileList(const std::string& list, const MouseEvent& e) {
  Steps steps;
  takeFromList(list, e.button == kLeftButton);
  steps([&] { c(list).drag(); });
}

void FileUtilityForm::takeFromList(const std::string& list, bool leftButton) {
  bool upper = list == "File1";
  Steps steps;
  DragButton = leftButton ? "Left" : "";
  if (upper) steps([&] { fillFileInformation(); });
  DragSource = list;
  steps([&] {
    c(upper ? "Label2" : "Label3")
        .setCaption(winpath::join(c(upper ? "Dir1" : "Dir2").path(), c(list).fileName()));
  });
  resetDropTargets();
}

void FileUtilityForm::fillFileInformation() {
  Control& files = c("File1");
  std::string path = winpath::join(c("Dir1").path(), files.list(files.listIndex()));
  Steps steps;
  steps([&] { port<FileInfoPort>(forms(), windows::kFileInfo).showFile(path); });
}

void FileUtilityForm::refreshFiles() { c("File1").refresh(); }

void FileUtilityForm::pointAt(const std::string& drive, const std::string& folder) {
  Steps steps;
  steps([&] { c("Drive1").setDrive(drive); });
  steps([&] { c("Dir1").setPath(folder); });
}

void FileUtilityForm::filterFiles(const std::string& pattern) { c("File1").setPattern(pattern); }

std::string FileUtilityForm::filePattern() const { return c("File1").pattern(); }

void FileUtilityForm::showPreview() {
  Control& text = c("Text1");
  if (!text.visible()) return;
  std::string path = winpath::join(c("Dir1").path(), c("File1").fileName());
  Steps steps;
  std::string content;
  steps([&] { content = previewText(path); });
  text.setText(content);
}

// The name dialog shows the full target path; while it is open for this window it follows the
// pane it works in (the lower pane for a new folder, the upper one for a rename).
void FileUtilityForm::refreshDialogPath() {
  auto* dialog = openPort<NewFolderPort>(forms(), windows::kNewFolder);
  if (!dialog || !forms().find(windows::kNewFolder)->visible()) return;
  std::string base;
  NewFolderRequest::Purpose purpose = shared().NewFolder.purpose;
  if (purpose == NewFolderRequest::Purpose::UtilityFolder)
    base = c("Dir2").path();
  else if (purpose == NewFolderRequest::Purpose::Rename)
    base = folderCaption(c("Dir1").path());
  else
    return;
  Steps steps;
  steps([&] { dialog->showPath(winpath::join(base, dialog->typedName())); });
}

void FileUtilityForm::resetDropTargets() {
  c("Image9").setVisible(false);
  c("Image8").setVisible(true);
  c("Image11").setVisible(false);
  c("Image10").setVisible(true);
}

}  // namespace zv
