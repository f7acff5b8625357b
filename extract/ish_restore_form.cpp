#include "extract/ish_restore_form.h"

#include "core/app.h"
#include "core/forms/steps.h"
#include "core/messages/failure_cause.h"
#include "extract/archive_access.h"
#include "extract/extract_commands.h"
#include "extract/process_state.h"
#include "extract/run_support.h"
#include "platform/encoding.h"
#include "platform/fileops.h"
#include "platform/winpath.h"
#include "ui/common/window_common.h"

namespace zv::extract {

namespace {
constexpr uint32_t kBlue = 0x0000FF;
const FontSpec kOptionFont{"Arial", 9.75, true};
}  // namespace

IshRestoreForm::IshRestoreForm(App& app) : Form(app, windows::kIshRestore) {
  setCaption("ish ﾌｧｲﾙの復元");
  setBackColor(kWindowBack);
  resize(7155, 4395);
  fixedDialog = true;
  icon = "ext_ish";
  addControls();
}

void IshRestoreForm::addControls() {
  Control& label = add("Label1", Kind::Label);
  label.move(720, 240, 7215, 240);
  label.setCaption("復元先のフォルダを指定後，[復元]ボタンを押します");
  label.setForeColor(kBlue);
  label.setBackColor(kWindowBack);
  label.setFont({"ＭＳ ゴシック", 12});
  Control& dir = add("Dir1", Kind::FolderList);
  dir.move(120, 720, 3735, 1875);
  dir.setFont({"ＭＳ ゴシック", 11.25});
  Control& drive = add("Drive1", Kind::DriveList);
  drive.move(4080, 720, 2790, 345);
  drive.setFont({"ＭＳ ゴシック", 11.25});

  Control& restoreButton = add("Image4", Kind::Picture);
  restoreButton.move(4680, 1320, 690, 900);
  restoreButton.setPicture("ext_ish_restore");
  restoreButton.setDescription("ISHの復元");  // said by screen readers
  Control& close = add("Command2", Kind::CommandButton);
  close.move(6000, 1680, 735, 315);
  close.setFont({"Arial", 8.25, true});
  close.setCaption("Close");
  close.setCancel(true);

  Control& frame = add("Frame1", Kind::Frame);
  frame.move(4080, 2400, 2895, 855);
  frame.setCaption("ｸﾘｯﾌﾟﾎﾞｰﾄﾞからﾃﾞｰﾀを入力");
  frame.setBackColor(kWindowBack);
  Control& lampOff = add("ImgNO", Kind::Picture);
  lampOff.move(240, 360, 1305, 345);
  lampOff.setPicture("ext_lamp_off");
  lampOff.setContainer("Frame1");
  Control& lampOn = add("ImgOK", Kind::Picture);
  lampOn.move(240, 360, 1305, 345);
  lampOn.setPicture("ext_lamp_on");
  lampOn.setContainer("Frame1");
  lampOn.setVisible(false);
  Control& get = add("Command4", Kind::CommandButton);
  get.move(1800, 360, 615, 345);
  get.setFont({"Arial", 8.25, true});
  get.setCaption("Get");
  get.setContainer("Frame1");

  struct Opt {
    const char* name;
    double left, width;
    const char* caption;
  };
  for (const Opt& o : {Opt{"Option1", 3480, 855, "new"}, Opt{"Option2", 4440, 735, "all"},
                       Opt{"Option3", 5220, 1935, "with question"}}) {
    Control& opt = add(o.name, Kind::OptionButton);
    opt.move(o.left, 3360, o.width, 270);
    opt.setFont(kOptionFont);
    opt.setCaption(o.caption);
    opt.setBackColor(kWindowBack);
  }
  c("Option1").setValue(1);

  Control& ish = add("Image2", Kind::Picture);
  ish.move(120, 2880, 3180, 1410);
  ish.setPicture("ext_ish_banner");
  Control& converter = add("Image3", Kind::Picture);
  converter.move(3480, 3720, 3435, 570);
  converter.setPicture("ext_file_converter");
  Control& small = add("Image5", Kind::Picture);
  small.move(120, 120, 525, 525);
  small.setPicture("ext_ish");

  FolderPanelOptions panel;
  panel.captionFollowsFolder = false;
  panel.files = "";
  panel.afterFolderChange = [this] { setCaption("ISH / 復元先：" + c("Dir1").path()); };
  panel.afterDriveChange = [this] { setCaption("ISH / 復元先：" + c("Dir1").path()); };
  wireFolderPanel(*this, panel);
  get.onClick = [this] { takeClipboard(); };
  makePressedPicture(restoreButton, kSmallPictureOffset, [this](const MouseEvent&) { restore(); });
  close.onClick = [this] {
    shared().StartMode.clear();
    unload();
  };
}

std::string IshRestoreForm::workFile() const { return app().programFolder + "\\temp\\tmp$$$.ish"; }

void IshRestoreForm::load() {
  Steps steps;
  steps([&] {
    if (Form* selection = forms().find(windows::kArchiveSelection)) placeOnTop(*this, *selection);
  });
  c("ImgOK").setVisible(false);
  c("ImgNO").setVisible(true);
  steps([&] { loadLastFolder(*this, "ish", 512); });
  steps([&] {
    if (Form* selection = forms().find(windows::kArchiveSelection))
      selection->c("Command1").setEnabled(false);
  });
}

void IshRestoreForm::unloading(bool&) {
  Steps steps;
  steps([&] {
    if (fs::isFile(workFile())) fs::deleteFile(workFile());
  });
  steps([&] { saveLastFolder(*this, "ish"); });
  steps([&] {
    if (Form* selection = forms().find(windows::kArchiveSelection))
      selection->c("Command1").setEnabled(true);
  });
}

void IshRestoreForm::takeClipboard() {
  Steps steps;
  auto tooLarge = [&] {
    if (steps.err() != kErrOutOfMemory) return false;
    services().messageBox("データが大きすぎます．メモリが足りません．", MsgButtons::OK,
                          MsgIcon::Question, "Caution!");
    return true;
  };
  std::string text;
  steps([&] { text = services().clipboardText(); });
  if (tooLarge()) return;
  // The text goes to the file in the system code page, as the ISH data was first written.
  steps.clear();
  steps([&] { fs::writeAllAtomically(workFile(), encoding::utf8ToCp932(text)); });
  if (tooLarge()) return;
  // A work file that could not be written is why the check below finds no data.
  int writeError = steps.err();
  shared().IshFile = workFile();
  int valid = 0;
  steps([&] { valid = ishCheck(*this, shared().IshFile, 1); });
  if (tooLarge()) return;
  if (valid != 0) {
    c("ImgOK").setVisible(true);
    c("ImgNO").setVisible(false);
  } else {
    services().messageBox(withCause("有効なISHデータではありません", failureCause(writeError)),
                          MsgButtons::OK, MsgIcon::Exclamation, "エラーです");
  }
}

void IshRestoreForm::restore() {
  Steps steps;
  Shared& s = shared();
  std::string& folder = processState(app()).restoreFolder;
  folder = c("Dir1").path();
  IshMode mode = c("Option2").value()   ? IshMode::All
                 : c("Option3").value() ? IshMode::WithQuestion
                                        : IshMode::New;
  steps([&] { ishRun(*this, ishRestoreCommand(s.IshFile, mode, folder)); });
  std::string drive = c("Drive1").drive();
  std::string restored = folder;
  s.RunInProgress = true;
  steps([&] { forms().unload(windows::kArchiveSelection); });
  services().setBusy(false);
  s.RunInProgress = false;
  steps([&] { unload(); });
  steps([&] { forms().show(windows::kFileUtility); });
  steps([&] { form(windows::kFileUtility).setCaption("Zorvex 32+  -復元されたﾌｧｲﾙのﾘｽﾄです-"); });
  pointFileUtilityAt(*this, drive, restored);
}

}  // namespace zv::extract
