#include "compress/comp2_form.h"

#include "compress/creation_run.h"
#include "core/app.h"
#include "core/forms/steps.h"
#include "platform/fileops.h"
#include "platform/winpath.h"
#include "ui/common/new_folder_request.h"
#include "ui/common/path_list_combo.h"
#include "ui/common/window_common.h"

namespace zv::compress {
namespace {

constexpr const char* kDialogCaption = "新規フォルダの作成 -圧縮-";

}  // namespace

Comp2Form::Comp2Form(App& app) : Form(app, windows::kArchiveCreation) {
  setCaption("Zorvex 32");
  resize(7545, 5550);
  fixedDialog = true;
  icon = "comp_create_lzh";
  buildControls();
}

void Comp2Form::buildControls() {
  add("Drive1", Kind::DriveList).move(120, 120, 3000, 315);
  add("Dir1", Kind::FolderList).move(120, 480, 3000, 2400);
  Control& files = add("File1", Kind::FileList);
  files.move(3240, 120, 4080, 2760);
  files.setBackColor(kWindowBack);
  files.onClick = [this] { pickArchive(); };

  add("Label5", Kind::Label).move(120, 3045, 2760, 255);
  c("Label5").setCaption("圧縮/復元先パスの登録/削除：");
  Control& combo = add("Combo1", Kind::ComboBox);
  combo.move(120, 3330, 6240, 315);
  combo.setBackColor(kWindowBack);
  combo.setTooltip("圧縮ファイルを作成するフォルダのフルパスパス");
  combo.onClick = [this] { pickRegisteredPath(); };
  Control& reg = add("Image5", Kind::Picture);
  reg.move(6480, 3300, 375, 375);
  reg.setPicture("comp_register_path");
  reg.setTooltip("現在の圧縮先を登録します");
  Control& del = add("Image4", Kind::Picture);
  del.move(6945, 3300, 375, 375);
  del.setPicture("comp_delete_path");
  del.setTooltip("現在示されている登録内容を削除します");

  add("Label2", Kind::Label).move(120, 3825, 735, 255);
  c("Label2").setCaption("ﾌｧｲﾙ名");
  Control& name = add("Text1", Kind::TextBox);
  name.move(900, 3780, 2700, 315);
  name.setBackColor(kWindowBack);
  name.setTooltip("作成する圧縮ファイル名を入力します");
  name.onChange = [this] { nameChanged(); };
  add("Label4", Kind::Label).move(120, 4245, 735, 255);
  c("Label4").setCaption("ﾌﾙﾊﾟｽ");
  Control& full = add("Label3", Kind::Label);
  full.move(900, 4215, 6420, 285);
  full.setBackColor(kWindowBack);
  full.onMouseDown = [&full](const MouseEvent& e) {
    if (e.button == kLeftButton) full.setAlignment(Control::AlignLeft);
    if (e.button == kRightButton) full.setAlignment(Control::AlignRight);
  };

  Control& hint = add("Label1", Kind::Label);
  hint.move(120, 4665, 3600, 255);
  hint.setCaption("作成する圧縮ファイルの名前を指定します");
  Control& createPic = add("Image2", Kind::Picture);
  createPic.setDescription("圧縮ファイルの作成");  // said by screen readers
  // The pictures of this row end above the full path (Label3), also while held down.
  createPic.move(3780, 3690, 480, 480);
  createPic.setPicture("comp_create_lzh");
  for (const auto& [n, art] :
       {std::pair{"Imglha", "comp_create_lzh"}, std::pair{"Imgish", "comp_create_ish"}}) {
    Control& pic = add(n, Kind::Picture);
    pic.move(0, 0, 480, 480);
    pic.setPicture(art);
    pic.setVisible(false);
  }
  Control& folder = add("Image1", Kind::Picture);
  folder.move(4440, 3690, 480, 480);
  folder.setPicture("comp_new_folder");
  folder.setTooltip("圧縮先のﾌｫﾙﾀﾞを新しく作ります");
  Control& desk = add("Image7", Kind::Picture);
  desk.move(5400, 3780, 360, 360);
  desk.setPicture("comp_desktop");
  Control& help = add("Image3", Kind::Picture);
  help.move(5880, 3690, 480, 480);
  help.setPicture("comp_help");
  help.setTooltip("右ﾎﾞﾀﾝｸﾘｯｸで即時終了できます");
  Control& deco = add("Image6", Kind::Picture);
  deco.move(6480, 3690, 660, 480);
  deco.setPicture("comp_decoration");

  Control& close = add("Command1", Kind::CommandButton);
  close.move(6105, 4560, 1215, 375);
  close.setCaption("Close");
  close.setTooltip("このｳｨﾝﾄﾞｳを閉じます");
  close.onClick = [this] {
    hide();
    unload();
  };
  add("lblBuf", Kind::Hidden);
  add("lblTmp", Kind::Hidden);

  FolderPanelOptions panel;
  panel.captionFollowsFolder = false;  // only a drive change shows the folder in the caption
  panel.afterFolderChange = [this] { folderChanged(); };
  panel.afterDriveChange = [this] { driveChanged(); };
  wireFolderPanel(*this, panel);
  wireDesktopButton(*this, "Image7");
  wireHelpButton(*this, "Image3", kHelpCompression);
  makePressedPicture(reg, kSmallPictureOffset, [this](const MouseEvent&) {
    if (pathlist::registerCurrent(*this, c("Combo1"), listFiles_))
      services().messageBox("パスを登録しました", MsgButtons::OK, MsgIcon::Information,
                            "圧縮先パスの登録");
  });
  makePressedPicture(del, kSmallPictureOffset, [this](const MouseEvent&) {
    pathlist::deleteSelected(*this, c("Combo1"), listFiles_);
    c("Combo1").setText(c("Dir1").path());
  });
  makePressedPicture(folder, kMainPictureOffset, [this](const MouseEvent&) { newFolder(); });
  makePressedPicture(createPic, kMainPictureOffset, [this](const MouseEvent&) { create(); });
}

void Comp2Form::load() {
  Steps steps;
  steps([&] { placeOnTop(*this, form(windows::kFileSelection)); });
  steps([&] {
    c("Label3").setCaption(c("Dir1").path());
    c("lblTmp").setCaption(c("Dir1").path());
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
    steps([&] { source = form(windows::kFileSelection).c("Dir1").path(); });
    steps([&] { c("Combo1").setText(source); });
    steps([&] { c("Dir1").setPath(source); });
    steps([&] { c("Drive1").setDrive(winpath::driveOf(source)); });
  }
  steps([&] { ish_ = form(windows::kFileSelection).c("Picture1").visible(); });
  c("Label1").setCaption(ish_ ? "作成するISHファイルの名前を指定します"
                              : "作成する圧縮ファイルの名前を指定します");
  c("Image2").setPicture(c(ish_ ? "Imgish" : "Imglha").picture());
  steps([&] { c("File1").setPattern(ish_ ? "*.ish" : "*.lzh"); });
}

void Comp2Form::unloading(bool& cancel) {
  Steps steps;
  // The file utility shows the folder where the archive was made.
  if (Form* util = forms().find(windows::kFileUtility); util && util->visible()) {
    steps([&] { util->c("Drive1").setDrive(c("Drive1").drive()); });
    steps([&] { util->c("Dir1").setPath(c("Dir1").path()); });
  }
  steps([&] { saveLastFolder(*this, "Comp2Dir"); });
  if (Form* comp1 = forms().find(windows::kFileSelection))
    steps([&] { comp1->c("Command2").setEnabled(true); });
}

void Comp2Form::folderChanged() {
  Steps steps;
  std::string destination;
  steps([&] { destination = folderCaption(c("File1").path()); });
  c("lblTmp").setCaption(destination);
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
  Form* dialog = forms().find(windows::kNewFolder);
  if (!dialog || shared().NewFolder.purpose != NewFolderRequest::Purpose::CompressFolder) return;
  dialog->c("Label2").setCaption(winpath::join(c("lblTmp").caption(), dialog->c("Text1").text()));
}

void Comp2Form::nameChanged() {
  c("Label3").setCaption(winpath::join(c("lblTmp").caption(), c("Text1").text() + extension()));
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
  std::string path = c("Combo1").text();
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
  shared().NewFolder = newFolderRequest(
      forms(), windows::kArchiveCreation, NewFolderRequest::Purpose::CompressFolder,
      [](Form& self) { return self.c("lblTmp").caption(); }, "Dir1");
  Steps steps;
  steps([&] { form(windows::kNewFolder).c("Label2").setCaption(label); });
  steps([&] { forms().show(windows::kNewFolder); });
  steps([&] { form(windows::kNewFolder).setCaption(kDialogCaption); });
  steps([&] { form(windows::kNewFolder).c("Label1").setCaption("新しく作成するフォルダ名："); });
}

void Comp2Form::create() {
  if (ish_)
    runIshCreation(*this);
  else
    runLzhCreation(*this);
}

}  // namespace zv::compress
