#include "fileutil/file_utility_form.h"

#include <utility>

#include "core/app.h"
#include "core/forms/steps.h"
#include "fileutil/preview_text.h"
#include "platform/fileops.h"
#include "platform/winpath.h"
#include "ui/common/window_common.h"

namespace zv {

namespace {
constexpr uint32_t kLightYellow = 0xFFFFC0;
const char* kGothic = "ＭＳ ゴシック";

void setGothic(Control& c, double size) { c.setFont(FontSpec{kGothic, size}); }
}  // namespace

FileUtilityForm::FileUtilityForm(App& app) : Form(app, windows::kFileUtility) {
  resize(8115, 5595);
  setBackColor(kWindowBack);
  icon = "fu_house";
  addControls();
  addMenus();
  wirePanes();
  wireOperations();
  wireKeys();
}

void FileUtilityForm::addControls() {
  auto label = [this](const std::string& name, double top) {
    Control& l = add(name, Kind::Label);
    l.move(60, top, 6795, 255);
    l.setBackColor(kLightYellow);
    setGothic(l, 10.5);
  };
  auto pane = [this](const std::string& drive, const std::string& dir, const std::string& files,
                     double driveTop, double dirTop, double dirWidth, double filesHeight) {
    Control& d = add(drive, Kind::DriveList);
    d.move(60, driveTop, 2985, 330);
    setGothic(d, 10.5);
    Control& f = add(dir, Kind::FolderList);
    f.move(60, dirTop, dirWidth, 1890);
    setGothic(f, 9.75);
    Control& l = add(files, Kind::FileList);
    l.move(3120, driveTop, 3735, filesHeight);
    setGothic(l, 9.75);
  };
  label("Label2", 50);
  pane("Drive1", "Dir1", "File1", 360, 720, 3000, 2235);
  c("File1").setMultiSelect(MultiSelect::Simple);
  label("Label3", 2760);
  pane("Drive2", "Dir2", "File2", 3070, 3480, 3015, 2430);

  Control& text = add("Text1", Kind::TextBox);
  text.move(60, 2640, 6795, 2775);
  text.multiLine = true;
  text.scrollBars = true;
  text.setBackColor(kWindowBack);
  setGothic(text, 9.75);
  text.setVisible(false);

  auto picture = [this](const std::string& name, const std::string& art, double left, double top,
                        double width, double height) -> Control& {
    Control& p = add(name, Kind::Picture);
    p.move(left, top, width, height);
    p.setPicture(art);
    return p;
  };
  picture("Image5", "fu_copy_all", 6960, 120, 1110, 465);
  picture("Image4", "fu_move_all", 6960, 600, 1125, 480);
  picture("Image1", "fu_delete_all", 6960, 1080, 1125, 465);
  picture("Image6", "fu_execute", 6960, 1560, 1125, 480);
  picture("Image12", "fu_sfx", 6960, 2040, 1125, 480);
  picture("Image8", "fu_trash_empty", 7230, 2520, 480, 480);
  picture("Image9", "fu_trash_full", 7230, 2520, 480, 480).setVisible(false);
  picture("Image10", "fu_tag_blank", 7230, 3120, 540, 540);
  picture("Image11", "fu_tag_ren", 7230, 3120, 510, 510).setVisible(false);
  picture("Image3", "fu_new_folder", 7200, 3720, 690, 720);
  picture("Image7", "fu_house", 7035, 4440, 990, 1065);
  // What each picture does, for screen readers.
  for (auto [name, said] : {std::pair{"Image5", "全コピー"},
                            {"Image4", "全移動"},
                            {"Image1", "全削除"},
                            {"Image6", "実行"},
                            {"Image12", "自己解凍書庫の作成"},
                            {"Image8", "ゴミ箱"},
                            {"Image9", "ゴミ箱（使用済み）"},
                            {"Image10", "名前の変更"},
                            {"Image11", "名前の変更"},
                            {"Image3", "新しいフォルダ"},
                            {"Image7", "メニューに戻る"}})
    c(name).setDescription(said);
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
  Form& info = form(windows::kFileInfo);
  Steps steps;
  steps([&] { info.c("Label3").setCaption(path); });
  steps([&] { info.c("lblTime").setCaption(fs::modifiedText(path)); });
  steps([&] { info.c("lblSize").setCaption(std::to_string(fs::fileSize(path)) + " bytes"); });
}

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
  Form* dialog = forms().find(windows::kNewFolder);
  if (!dialog || !dialog->visible()) return;
  std::string base;
  NewFolderRequest::Purpose purpose = shared().NewFolder.purpose;
  if (purpose == NewFolderRequest::Purpose::UtilityFolder)
    base = c("Dir2").path();
  else if (purpose == NewFolderRequest::Purpose::Rename)
    base = folderCaption(c("Dir1").path());
  else
    return;
  Steps steps;
  steps([&] { dialog->c("Label2").setCaption(winpath::join(base, dialog->c("Text1").text())); });
}

void FileUtilityForm::resetDropTargets() {
  c("Image9").setVisible(false);
  c("Image8").setVisible(true);
  c("Image11").setVisible(false);
  c("Image10").setVisible(true);
}

}  // namespace zv
