#include "ui/menu/menu_form.h"

#include "core/app.h"
#include "core/forms/steps.h"
#include "core/settings/options.h"
#include "platform/fileops.h"
#include "platform/winpath.h"
#include "ui/common/window_common.h"

namespace zv {

namespace {

constexpr const char* kPositionSection = "WindowPosition";
constexpr int kPositionBuffer = 13;

Control& addLink(Form& form, const std::string& name, const std::string& caption, double left,
                 const std::string& tooltip) {
  Control& link = form.add(name, Kind::Label);
  link.setCaption(caption);
  link.setTooltip(tooltip);
  link.setFont(FontSpec{"ＭＳ Ｐゴシック", 11, true, false, true});
  link.setForeColor(0x1F4E9A);
  link.setBackColor(0xE8EEF6);
  link.move(left, 1560, 1080, 330);
  return link;
}

}  // namespace

MenuForm::MenuForm(App& app) : Form(app, windows::kMenu) {
  setCaption("Zorvex 32    -Menu-");
  resize(4800, 2760);
  fixedDialog = true;
  icon = "menu_icon";
  setBackColor(0xE8EEF6);

  // The decorative background; double-clicking it is double-clicking the window.
  Control& back = add("imgBack", Kind::Picture);
  back.setPicture("menu_background");
  back.move(0, 0, 4800, 2550);
  back.onDblClick = [this] {
    if (onDblClick) onDblClick();
  };

  struct Button {
    const char* name;
    const char* art;
    const char* tip;
    double left;
  };
  for (const Button& b : {Button{"Image1", "menu_compress", "ファイルを圧縮します", 360},
                          Button{"Image2", "menu_extract", "書庫を解凍します", 1860},
                          Button{"Image3", "menu_exit", "終了します", 3360}}) {
    Control& pic = add(b.name, Kind::Picture);
    pic.setPicture(b.art);
    pic.setTooltip(b.tip);
    pic.move(b.left, 360, 960, 960);
  }
  // Like every picture button, these act on the release of any mouse button.
  makePressedPicture(c("Image1"), kMainPictureOffset,
                     [this](const MouseEvent&) { openCompression(); });
  makePressedPicture(c("Image2"), kMainPictureOffset,
                     [this](const MouseEvent&) { openExtraction(); });
  makePressedPicture(c("Image3"), kMainPictureOffset, [this](const MouseEvent&) { unload(); });

  addLink(*this, "Label1", " Option", 300, "動作設定を変更します").onClick = [this] {
    Steps steps;
    steps([&] { forms().show(windows::kOptions); });
  };
  addLink(*this, "Label2", "File", 1800, "ファイル操作ユーティリティーを開きます").onClick =
      [this] { openFileUtility(); };
  addLink(*this, "Label3", "   Help", 3300, "ヘルプの目次を表示します").onClick = [this] {
    services().help(this->app().helpFile, kHelpContents, 0);
  };
  Control& plus = add("Label5", Kind::Label);
  plus.setCaption("+");
  plus.setFont(FontSpec{"ＭＳ Ｐゴシック", 11, true});
  plus.setForeColor(0x1F4E9A);
  plus.setBackColor(0xE8EEF6);
  plus.move(4440, 1560, 180, 330);

  add("lblBuf", Kind::Hidden);
  Control& files = add("File1", Kind::FileList);
  files.setVisible(false);

  onDblClick = [this] {
    Steps steps;
    steps([&] { forms().show(windows::kAbout); });
  };
  defineProcedure("ReadOption", [this] { readOption(); });
}

void MenuForm::load() {
  scaleLayout();
  shared().RunInProgress = false;
  prepareWorkFolders();
  readOption();
  // The list of leftovers to delete at exit is taken now: files put into Temp later in this
  // run stay until a later run ends.
  Steps steps;
  steps([&] { c("File1").setPath(shared().TempFolder); });
  app().helpFile = winpath::join(app().programFolder, "ZORVEX.HLP");
  loadWindowPosition();
}

void MenuForm::scaleLayout() {
  layoutScaleX_ = static_cast<float>(services().twipsPerPixelX() / 15);
  layoutScaleY_ = static_cast<float>(services().twipsPerPixelY() / 15);
  for (const char* name : {"Label1", "Label2", "Label3", "Image1", "Image2", "Image3"}) {
    Control& ctl = c(name);
    ctl.move(ctl.left() * layoutScaleX_, ctl.top() * layoutScaleY_, ctl.width(), ctl.height());
  }
  resize(width() * layoutScaleX_, height() * layoutScaleY_);
  // The background belongs to the window and keeps covering it.
  Control& back = c("imgBack");
  back.move(0, 0, back.width() * layoutScaleX_, back.height() * layoutScaleY_);
}

void MenuForm::prepareWorkFolders() {
  // join() leaves out the '\' after a drive root, so "C:\" gives "C:\Temp".
  const std::string& folder = app().programFolder;
  shared().TempFolder = winpath::join(folder, "Temp");
  shared().SfxFolder = winpath::join(folder, "自己解凍書庫");
  shared().QuickFolder = winpath::join(folder, "QUICK");
  for (const std::string* work :
       {&shared().TempFolder, &shared().SfxFolder, &shared().QuickFolder}) {
    Steps steps;  // a folder that cannot be made fails later, where it is used
    steps([&] {
      if (!fs::isFolder(*work)) fs::makeFolder(*work);
    });
  }
}

void MenuForm::readOption() { options::readMenuOptions(options::profileOf(shared()), shared()); }

void MenuForm::loadWindowPosition() {
  loadPosition(*this, kPositionSection, "100", kPositionBuffer);
}

void MenuForm::saveWindowPosition() { savePosition(*this, kPositionSection); }

void MenuForm::clearTempFolder() {
  Control& files = c("File1");
  for (int i = 0; i < files.listCount(); ++i) {
    Steps steps;  // a file in use or already gone is skipped
    steps([&] { fs::deleteFile(winpath::join(shared().TempFolder, files.list(i))); });
  }
}

void MenuForm::queryUnload(bool& cancel, UnloadMode mode) {
  MsgAnswer answer = services().messageBox("終了してもいいですか", MsgButtons::YesNo,
                                           MsgIcon::Question, "お疲れ様でした");
  if (answer != MsgAnswer::Yes) {
    cancel = true;
    return;
  }
  services().help(app().helpFile, kHelpQuit, 0);
  Steps steps;
  steps([&] { saveWindowPosition(); });
  steps([&] { clearTempFolder(); });
  forms().endProgram();
}

void MenuForm::openCompression() {
  // The menu hides only once the next window is up, so a failure never leaves no window.
  Steps steps;
  if (steps([&] { forms().show(windows::kFileSelection); })) steps([&] { hide(); });
}

void MenuForm::openExtraction() {
  shared().StartMode = "";
  Steps steps;
  if (steps([&] { forms().show(windows::kArchiveSelection); })) steps([&] { hide(); });
}

void MenuForm::openFileUtility() {
  // Each step is tried even when one before it failed.
  Steps steps;
  steps([&] { services().setBusy(true); });
  steps([&] { hide(); });
  steps([&] { forms().show(windows::kWait); });
  bool opened = steps([&] { forms().show(windows::kFileUtility); });
  steps([&] { form(windows::kFileUtility).setCaption("ファイル操作ユーティリティー"); });
  steps([&] { services().setBusy(false); });
  if (!opened) {
    // Without the file utility the wait notice would be the only window left.
    steps([&] { forms().unload(windows::kWait); });
    steps([&] { show(); });
  }
}

}  // namespace zv
