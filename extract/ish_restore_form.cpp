#include "extract/ish_restore_form.h"

#include "core/app.h"
#include "core/forms/control_table.h"
#include "core/forms/steps.h"
#include "core/messages/failure_cause.h"
#include "extract/archive_access.h"
#include "extract/decomp1_form.h"
#include "extract/extract_commands.h"
#include "extract/process_state.h"
#include "extract/run_support.h"
#include "platform/encoding.h"
#include "platform/fileops.h"
#include "platform/winpath.h"
#include "ui/common/window_common.h"
#include "ui/common/window_ports.h"
#include "zorvex/archiver_api.h"

namespace zv::extract {

namespace {
constexpr uint32_t kBlue = 0x0000FF;
const FontSpec kOptionFont{"Arial", 9.75, true};
const FontSpec kListFont{"ＭＳ ゴシック", 11.25};
const FontSpec kButtonFont{"Arial", 8.25, true};

// Rows in tab order.
const ControlRow kControls[] = {
    // the hint: pick the folder, then restore
    {.name = "Label1",
     .kind = Kind::Label,
     .at = {720, 240, 7215, 240},
     .caption = "復元先のフォルダを指定後，[復元]ボタンを押します",
     .font = FontSpec{"ＭＳ ゴシック", 12},
     .foreColor = kBlue,
     .backColor = kWindowBack},
    // the destination folder
    {.name = "Dir1", .kind = Kind::FolderList, .at = {120, 720, 3735, 1875}, .font = kListFont},
    // the destination drive
    {.name = "Drive1",
     .kind = Kind::DriveList,
     .at = {4080, 720, 2790, 345},
     .description = "復元先のドライブ",
     .font = kListFont},
    // the restore picture
    {.name = "Image4",
     .kind = Kind::Picture,
     .at = {4680, 1320, 690, 900},
     .picture = "ext_ish_restore",
     .description = "ISHの復元"},
    // the close button
    {.name = "Command2",
     .kind = Kind::CommandButton,
     .at = {6000, 1680, 735, 315},
     .caption = "Close",
     .font = kButtonFont,
     .isCancel = true},
    // the clipboard panel
    {.name = "Frame1",
     .kind = Kind::Frame,
     .at = {4080, 2400, 2895, 855},
     .caption = "ｸﾘｯﾌﾟﾎﾞｰﾄﾞからﾃﾞｰﾀを入力",
     .backColor = kWindowBack},
    // the clipboard lamp, unlit: nothing taken yet
    {.name = "ImgNO",
     .kind = Kind::Picture,
     .at = {240, 360, 1305, 345},
     .picture = "ext_lamp_off",
     .container = "Frame1"},
    // the clipboard lamp, lit: ISH text taken from the clipboard
    {.name = "ImgOK",
     .kind = Kind::Picture,
     .at = {240, 360, 1305, 345},
     .picture = "ext_lamp_on",
     .container = "Frame1",
     .hidden = true},
    // takes the ISH text from the clipboard
    {.name = "Command4",
     .kind = Kind::CommandButton,
     .at = {1800, 360, 615, 345},
     .caption = "Get",
     .font = kButtonFont,
     .container = "Frame1"},
    // restore mode: only files newer than those present; chosen at start
    {.name = "Option1",
     .kind = Kind::OptionButton,
     .at = {3480, 3360, 855, 270},
     .caption = "new",
     .font = kOptionFont,
     .backColor = kWindowBack,
     .value = 1},
    // restore mode: every file, overwriting
    {.name = "Option2",
     .kind = Kind::OptionButton,
     .at = {4440, 3360, 735, 270},
     .caption = "all",
     .font = kOptionFont,
     .backColor = kWindowBack},
    // restore mode: ask before overwriting
    {.name = "Option3",
     .kind = Kind::OptionButton,
     .at = {5220, 3360, 1935, 270},
     .caption = "with question",
     .font = kOptionFont,
     .backColor = kWindowBack},
    // the ISH banner
    {.name = "Image2",
     .kind = Kind::Picture,
     .at = {120, 2880, 3180, 1410},
     .picture = "ext_ish_banner"},
    // the file-converter banner
    {.name = "Image3",
     .kind = Kind::Picture,
     .at = {3480, 3720, 3435, 570},
     .picture = "ext_file_converter"},
    // the window's emblem
    {.name = "Image5", .kind = Kind::Picture, .at = {120, 120, 525, 525}, .picture = "ext_ish"},
};

}  // namespace

IshRestoreForm::IshRestoreForm(App& app) : Form(app, windows::kIshRestore) {
  setCaption("ish ﾌｧｲﾙの復元");
  setBackColor(kWindowBack);
  resize(7155, 4395);
  fixedDialog = true;
  icon = "ext_ish";
  addControlRows(*this, kControls);
  wireEvents();
}

void IshRestoreForm::wireEvents() {
  FolderPanelOptions panel;
  panel.captionFollowsFolder = false;
  panel.files = "";
  panel.afterFolderChange = [this] { setCaption("ISH / 復元先：" + c("Dir1").path()); };
  panel.afterDriveChange = [this] { setCaption("ISH / 復元先：" + c("Dir1").path()); };
  wireFolderPanel(*this, panel);
  c("Command4").onClick = [this] { takeClipboard(); };
  makePressedPicture(c("Image4"), kSmallPictureOffset, [this](const MouseEvent&) { restore(); });
  c("Command2").onClick = [this] {
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
    if (auto* selection = openPort<DeComp1Form>(forms(), windows::kArchiveSelection))
      selection->allowOpening(false);
  });
}

void IshRestoreForm::unloading(bool&) {
  Steps steps;
  steps([&] {
    if (fs::isFile(workFile())) fs::deleteFile(workFile());
  });
  steps([&] { saveLastFolder(*this, "ish"); });
  steps([&] {
    if (auto* selection = openPort<DeComp1Form>(forms(), windows::kArchiveSelection))
      selection->allowOpening(true);
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
  int code = 0;
  steps([&] { code = ishRun(*this, ishRestoreCommand(s.IshFile, mode, folder)); });
  // A failed restore is named before the flow goes on to the file utility, which would
  // otherwise show the folder as if the files had been restored. A cancel is the user's own.
  if (code != 0 && code != ZV_ERROR_USER_CANCEL) {
    std::string text =
        withCause("ISH ファイルの復元中にエラーが生じました", libraryFailureCause(code));
    services().messageBox(withLibraryReport(text, ishLastOutput(*this)), MsgButtons::OK,
                          MsgIcon::Exclamation, "ISH 復元");
  }
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
