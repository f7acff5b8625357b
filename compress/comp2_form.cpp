#include "compress/comp2_form.h"

#include "compress/comp1_form.h"
#include "compress/creation_run.h"
#include "core/app.h"
#include "core/forms/control_table.h"
#include "core/forms/steps.h"
#include "platform/drives.h"
#include "platform/fileops.h"
#include "platform/winpath.h"
#include "ui/common/new_folder_request.h"
#include "ui/common/path_list_combo.h"
#include "ui/common/window_common.h"
#include "ui/common/window_ports.h"

namespace zv::compress {
namespace {

constexpr const char* kDialogCaption = "新規フォルダの作成 -圧縮-";

// Rows in tab order.
const ControlRow kControls[] = {
    // the drive of the destination folder
    {.name = "Drive1",
     .kind = Kind::DriveList,
     .at = {120, 120, 3000, 315},
     .description = "圧縮先のドライブ"},
    // the destination folder
    {.name = "Dir1",
     .kind = Kind::FolderList,
     .at = {120, 480, 3000, 2400},
     .description = "圧縮先のフォルダ"},
    // the archives already in the destination; a click takes over the name
    {.name = "File1",
     .kind = Kind::FileList,
     .at = {3240, 120, 4080, 2760},
     .description = "圧縮先のファイル",
     .backColor = kWindowBack},
    // the title of the registered destinations
    {.name = "Label5",
     .kind = Kind::Label,
     .at = {120, 3045, 2760, 255},
     .caption = "圧縮/復元先パスの登録/削除："},
    // the registered destinations and the full path of the current one
    {.name = "Combo1",
     .kind = Kind::ComboBox,
     .at = {120, 3330, 6240, 315},
     .tooltip = "圧縮ファイルを作成するフォルダのフルパスパス",
     .backColor = kWindowBack},
    // registers the current destination
    {.name = "Image5",
     .kind = Kind::Picture,
     .at = {6480, 3300, 375, 375},
     .picture = "comp_register_path",
     .tooltip = "現在の圧縮先を登録します"},
    // deletes the registered destination shown
    {.name = "Image4",
     .kind = Kind::Picture,
     .at = {6945, 3300, 375, 375},
     .picture = "comp_delete_path",
     .tooltip = "現在示されている登録内容を削除します"},
    // the title of the name box
    {.name = "Label2", .kind = Kind::Label, .at = {120, 3825, 735, 255}, .caption = "ﾌｧｲﾙ名"},
    // the archive name
    {.name = "Text1",
     .kind = Kind::TextBox,
     .at = {900, 3780, 2700, 315},
     .tooltip = "作成する圧縮ファイル名を入力します",
     .backColor = kWindowBack},
    // the title of the full path
    {.name = "Label4", .kind = Kind::Label, .at = {120, 4245, 735, 255}, .caption = "ﾌﾙﾊﾟｽ"},
    // the full path of the archive to be made
    {.name = "Label3", .kind = Kind::Label, .at = {900, 4215, 6420, 285}, .backColor = kWindowBack},
    // the hint: which kind of file is named here
    {.name = "Label1",
     .kind = Kind::Label,
     .at = {120, 4665, 3600, 255},
     .caption = "作成する圧縮ファイルの名前を指定します"},
    // the create picture; this row ends above the full path, also while held down
    {.name = "Image2",
     .kind = Kind::Picture,
     .at = {3780, 3690, 480, 480},
     .picture = "comp_create_lzh",
     .description = "圧縮ファイルの作成"},
    // the create picture's artwork for LZH archives
    {.name = "Imglha",
     .kind = Kind::Picture,
     .at = {0, 0, 480, 480},
     .picture = "comp_create_lzh",
     .hidden = true},
    // the create picture's artwork for ISH files
    {.name = "Imgish",
     .kind = Kind::Picture,
     .at = {0, 0, 480, 480},
     .picture = "comp_create_ish",
     .hidden = true},
    // the new-folder picture
    {.name = "Image1",
     .kind = Kind::Picture,
     .at = {4440, 3690, 480, 480},
     .picture = "comp_new_folder",
     .tooltip = "圧縮先のﾌｫﾙﾀﾞを新しく作ります"},
    // the desktop picture: jumps to the desktop folder
    {.name = "Image7",
     .kind = Kind::Picture,
     .at = {5400, 3780, 360, 360},
     .picture = "comp_desktop"},
    // the help picture
    {.name = "Image3",
     .kind = Kind::Picture,
     .at = {5880, 3690, 480, 480},
     .picture = "comp_help",
     .tooltip = "右ﾎﾞﾀﾝｸﾘｯｸで即時終了できます"},
    // a decoration
    {.name = "Image6",
     .kind = Kind::Picture,
     .at = {6480, 3690, 660, 480},
     .picture = "comp_decoration"},
    // the close button
    {.name = "Command1",
     .kind = Kind::CommandButton,
     .at = {6105, 4560, 1215, 375},
     .caption = "Close",
     .tooltip = "このｳｨﾝﾄﾞｳを閉じます",
     .isCancel = true},
};

}  // namespace

Comp2Form::Comp2Form(App& app) : Form(app, windows::kArchiveCreation) {
  setCaption("Zorvex 32");
  resize(7545, 5550);
  fixedDialog = true;
  icon = "comp_create_lzh";
  addControlRows(*this, kControls);
  wireEvents();
}

void Comp2Form::wireEvents() {
  c("File1").onClick = [this] { pickArchive(); };
  c("Combo1").onClick = [this] { pickRegisteredPath(); };
  c("Text1").onChange = [this] { nameChanged(); };
  Control& full = c("Label3");
  full.onMouseDown = [&full](const MouseEvent& e) {
    if (e.button == kLeftButton) full.setAlignment(Control::AlignLeft);
    if (e.button == kRightButton) full.setAlignment(Control::AlignRight);
  };
  c("Command1").onClick = [this] {
    hide();
    unload();
  };

  FolderPanelOptions panel;
  panel.captionFollowsFolder = false;  // only a drive change shows the folder in the caption
  panel.afterFolderChange = [this] { folderChanged(); };
  panel.afterDriveChange = [this] { driveChanged(); };
  wireFolderPanel(*this, panel);
  wireDesktopButton(*this, "Image7");
  wireHelpButton(*this, "Image3", kHelpCompression);
  makePressedPicture(c("Image5"), kSmallPictureOffset, [this](const MouseEvent&) {
    if (pathlist::registerCurrent(*this, c("Combo1"), listFiles_))
      services().messageBox("パスを登録しました", MsgButtons::OK, MsgIcon::Information,
                            "圧縮先パスの登録");
  });
  makePressedPicture(c("Image4"), kSmallPictureOffset, [this](const MouseEvent&) {
    pathlist::deleteSelected(*this, c("Combo1"), listFiles_);
    c("Combo1").setText(c("Dir1").path());
  });
  makePressedPicture(c("Image1"), kMainPictureOffset, [this](const MouseEvent&) { newFolder(); });
  makePressedPicture(c("Image2"), kMainPictureOffset, [this](const MouseEvent&) { create(); });
}

void Comp2Form::load() {
  Steps steps;
  steps([&] { placeOnTop(*this, form(windows::kFileSelection)); });
  steps([&] {
    c("Label3").setCaption(c("Dir1").path());
    destination_ = c("Dir1").path();
  });
  steps([&] { c("File1").setPattern("*.lzh;*.exe"); });
  steps([&] { loadLastFolder(*this, "Comp2Dir", 512); });
  if (c("Dir1").path().empty()) {  // the remembered folder is gone
    steps([&] { c("Dir1").setPath(app().programFolder); });
    steps([&] { c("Drive1").setDrive(winpath::driveOf(c("Dir1").path())); });
  }
  listFiles_ = pathlist::compressionFiles(app().programFolder);
  steps([&] { pathlist::loadInto(c("Combo1"), listFiles_.list); });
  steps([&] { c("Combo1").setText(c("Label3").caption()); });
  if (shared().SameFolder.no()) {
    steps([&] { c("Combo1").setText(c("Dir1").path()); });
  } else if (shared().SameFolder.yes()) {
    // By default the archive is made in the folder whose files are compressed.
    std::string source;
    steps([&] { source = forms().get<Comp1Form>(windows::kFileSelection).folder(); });
    steps([&] { c("Combo1").setText(source); });
    steps([&] { c("Dir1").setPath(source); });
    steps([&] { c("Drive1").setDrive(winpath::driveOf(source)); });
  }
  steps([&] { ish_ = forms().get<Comp1Form>(windows::kFileSelection).ishMode(); });
  c("Label1").setCaption(ish_ ? "作成するISHファイルの名前を指定します"
                              : "作成する圧縮ファイルの名前を指定します");
  c("Image2").setPicture(c(ish_ ? "Imgish" : "Imglha").picture());
  steps([&] { c("File1").setPattern(ish_ ? "*.ish" : "*.lzh"); });
}

void Comp2Form::unloading(bool& cancel) {
  Steps steps;
  // The file utility shows the folder where the archive was made.
  if (Form* util = forms().find(windows::kFileUtility); util && util->visible())
    dynamic_cast<FileUtilityPort&>(*util).pointAt(c("Drive1").drive(), c("Dir1").path());
  steps([&] { saveLastFolder(*this, "Comp2Dir"); });
  if (auto* comp1 = openPort<Comp1Form>(forms(), windows::kFileSelection))
    steps([&] { comp1->allowClosing(); });
}

void Comp2Form::folderChanged() {
  Steps steps;
  std::string destination;
  steps([&] { destination = folderCaption(c("File1").path()); });
  destination_ = destination;
  c("Label3").setCaption(destination);
  steps([&] { updateDialogPath(); });
  c("Combo1").setText(c("Label3").caption());
  c("Text1").setFocus();
}

void Comp2Form::driveChanged() {
  Steps steps;
  steps([&] { setCaption(folderCaption(c("Dir1").path())); });
  steps([&] { updateDialogPath(); });
}

void Comp2Form::updateDialogPath() {
  auto* dialog = openPort<NewFolderPort>(forms(), windows::kNewFolder);
  if (!dialog || shared().NewFolder.purpose != NewFolderRequest::Purpose::CompressFolder) return;
  dialog->showPath(winpath::join(destination_, dialog->typedName()));
}

void Comp2Form::moveTo(const std::string& folder) { c("Dir1").setPath(folder); }

void Comp2Form::nameChanged() {
  c("Label3").setCaption(winpath::join(destination_, c("Text1").text() + extension()));
  c("Combo1").setText(c("Label3").caption());
}

void Comp2Form::pickArchive() {
  std::string name = c("File1").fileName();
  size_t dot = name.find('.');
  if (dot == std::string::npos) return;
  Control& text = c("Text1");
  text.setText(name.substr(0, dot));  // runs the name entry
  text.setSelection(static_cast<int>(text.text().size()), 0);
  text.setFocus();
}

void Comp2Form::pickRegisteredPath() {
  Steps steps;
  std::string path = typedPath(c("Combo1").text());
  bool exists = false;
  steps([&] { exists = fs::exists(path); });
  if (!exists) {
    services().messageBox("登録されたパスが見つかりません.リストから削除してください．",
                          MsgButtons::OK, MsgIcon::Exclamation, "エラーです");
    return;
  }
  steps([&] { c("File1").setPattern(ish_ ? "*.ish" : "*.lzh"); });
  steps([&] { c("Dir1").setPath(path); });  // a registered archive (a file) leaves the folder
  steps([&] { c("Drive1").setDrive(winpath::driveOf(c("Dir1").path())); });
  c("Text1").setFocus();
}

void Comp2Form::newFolder() {
  std::string path = c("Label3").caption();
  std::string label;
  if (!path.empty() && path.back() == '\\') {
    label = path;
  } else if (path.empty()) {
    services().messageBox("親フォルダを指定してください", MsgButtons::OK, MsgIcon::Exclamation,
                          "新規フォルダの作成");
    return;
  } else {
    label = path + "\\";
  }
  // The new folder goes below the destination and becomes the folder of this window.
  NewFolderRequest request = newFolderRequest(
      forms(), windows::kArchiveCreation, NewFolderRequest::Purpose::CompressFolder,
      [](Form& self) { return static_cast<Comp2Form&>(self).destination_; },
      [](Form& self, const std::string& made) { static_cast<Comp2Form&>(self).moveTo(made); });
  request.caption = kDialogCaption;
  request.path = label;
  openNewFolderDialog(*this, std::move(request));
}

void Comp2Form::create() {
  if (ish_)
    runIshCreation(*this);
  else
    runLzhCreation(*this);
}

}  // namespace zv::compress
