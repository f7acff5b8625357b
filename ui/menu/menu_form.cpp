#include "ui/menu/menu_form.h"

#include "core/app.h"
#include "core/forms/control_table.h"
#include "core/forms/steps.h"
#include "core/settings/options.h"
#include "platform/fileops.h"
#include "platform/winpath.h"
#include "ui/common/window_common.h"
#include "ui/common/window_ports.h"

namespace zv {

namespace {

constexpr const char* kPositionSection = "WindowPosition";
constexpr int kPositionBuffer = 13;

constexpr uint32_t kLinkColour = 0x1F4E9A;
constexpr uint32_t kMenuBack = 0xE8EEF6;
const FontSpec kLinkFont{"ＭＳ Ｐゴシック", 11, true, false, true};

// Rows in tab order.
const ControlRow kControls[] = {
    // the decorative background; double-clicking it is double-clicking the window
    {.name = "imgBack",
     .kind = Kind::Picture,
     .at = {0, 0, 4800, 2550},
     .picture = "menu_background"},
    // opens the compression windows
    {.name = "Image1",
     .kind = Kind::Picture,
     .at = {360, 360, 960, 960},
     .picture = "menu_compress",
     .tooltip = "ファイルを圧縮します"},
    // opens the extraction windows
    {.name = "Image2",
     .kind = Kind::Picture,
     .at = {1860, 360, 960, 960},
     .picture = "menu_extract",
     .tooltip = "書庫を解凍します"},
    // ends the program
    {.name = "Image3",
     .kind = Kind::Picture,
     .at = {3360, 360, 960, 960},
     .picture = "menu_exit",
     .tooltip = "終了します"},
    // the options link
    {.name = "Label1",
     .kind = Kind::Label,
     .at = {300, 1560, 1080, 330},
     .caption = " Option",
     .tooltip = "動作設定を変更します",
     .font = kLinkFont,
     .foreColor = kLinkColour,
     .backColor = kMenuBack},
    // the file-utility link
    {.name = "Label2",
     .kind = Kind::Label,
     .at = {1800, 1560, 1080, 330},
     .caption = "File",
     .tooltip = "ファイル操作ユーティリティーを開きます",
     .font = kLinkFont,
     .foreColor = kLinkColour,
     .backColor = kMenuBack},
    // the help link
    {.name = "Label3",
     .kind = Kind::Label,
     .at = {3300, 1560, 1080, 330},
     .caption = "   Help",
     .tooltip = "ヘルプの目次を表示します",
     .font = kLinkFont,
     .foreColor = kLinkColour,
     .backColor = kMenuBack},
    // the "+" of the program's name
    {.name = "Label5",
     .kind = Kind::Label,
     .at = {4440, 1560, 180, 330},
     .caption = "+",
     .font = FontSpec{"ＭＳ Ｐゴシック", 11, true},
     .foreColor = kLinkColour,
     .backColor = kMenuBack},
    // the leftovers in the Temp folder, deleted at exit
    {.name = "File1",
     .kind = Kind::FileList,
     .description = "一時フォルダのファイル",
     .hidden = true},
};

}  // namespace

MenuForm::MenuForm(App& app) : Form(app, windows::kMenu) {
  setCaption("Zorvex 32    -Menu-");
  resize(4800, 2760);
  fixedDialog = true;
  mainWindow = true;
  icon = "menu_icon";
  setBackColor(kMenuBack);
  addControlRows(*this, kControls);

  c("imgBack").onDblClick = [this] {
    if (onDblClick) onDblClick();
  };
  // Like every picture button, these act on the release of any mouse button.
  makePressedPicture(c("Image1"), kMainPictureOffset,
                     [this](const MouseEvent&) { openCompression(); });
  makePressedPicture(c("Image2"), kMainPictureOffset,
                     [this](const MouseEvent&) { openExtraction(); });
  makePressedPicture(c("Image3"), kMainPictureOffset, [this](const MouseEvent&) { unload(); });
  // Files from another program dropped on the compression picture start compression with
  // them chosen; an archive dropped on the extraction picture is opened for extraction.
  // Each window that opens takes the files as if they had been dropped on it.
  c("Image1").onFilesDropped = [this](const std::vector<std::string>& paths) {
    openCompression();
    Steps steps;
    steps([&] { port<FileSelectionPort>(forms(), windows::kFileSelection).chooseFiles(paths); });
  };
  c("Image2").onFilesDropped = [this](const std::vector<std::string>& paths) {
    openExtraction();
    Steps steps;
    steps([&] {
      Form& selection = form(windows::kArchiveSelection);
      if (selection.onFilesDropped) selection.onFilesDropped(paths);
    });
  };
  c("Label1").onClick = [this] {
    Steps steps;
    steps([&] { forms().show(windows::kOptions); });
  };
  c("Label2").onClick = [this] { openFileUtility(); };
  c("Label3").onClick = [this] { services().help(this->app().helpFile, kHelpContents, 0); };

  onDblClick = [this] {
    Steps steps;
    steps([&] { forms().show(windows::kAbout); });
  };
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
