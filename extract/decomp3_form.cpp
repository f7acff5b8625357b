#include "extract/decomp3_form.h"

#include "core/app.h"
#include "core/forms/control_table.h"
#include "core/forms/run_guard.h"
#include "core/forms/steps.h"
#include "extract/decomp1_form.h"
#include "extract/decomp2_form.h"
#include "extract/destination_list.h"
#include "extract/extract_run.h"
#include "extract/run_support.h"
#include "platform/drives.h"
#include "platform/fileops.h"
#include "platform/winpath.h"
#include "ui/common/new_folder_request.h"
#include "ui/common/window_common.h"
#include "ui/common/window_ports.h"

namespace zv::extract {

namespace {
const FontSpec kPanelFont{"ＭＳ ゴシック", 11.25};

bool endsWithBackslash(const std::string& text) { return !text.empty() && text.back() == '\\'; }

// Rows in tab order.
const ControlRow kControls[] = {
    // the registered destinations and the full path of the current one
    {.name = "Combo1",
     .kind = Kind::ComboBox,
     .at = {120, 720, 5895, 345},
     .description = "解凍先のパス",
     .font = kPanelFont},
    // the destination drive
    {.name = "Drive1",
     .kind = Kind::DriveList,
     .at = {120, 1200, 2535, 345},
     .description = "解凍先のドライブ",
     .font = kPanelFont},
    // the destination folder
    {.name = "Dir1",
     .kind = Kind::FolderList,
     .at = {120, 1680, 3015, 2130},
     .description = "解凍先のフォルダ",
     .font = kPanelFont},
    // the files already in the destination
    {.name = "File1",
     .kind = Kind::FileList,
     .at = {3240, 1680, 2895, 2115},
     .description = "解凍先のファイル",
     .font = kPanelFont},
    // the hint: pick the folder, then extract
    {.name = "Label1",
     .kind = Kind::Label,
     .at = {720, 270, 5760, 240},
     .caption = "解凍先のフォルダを指定後，[解凍]ボタンを押します"},
    // the title of the register and delete pictures
    {.name = "Label2",
     .kind = Kind::Label,
     .at = {3240, 1260, 1920, 225},
     .caption = "パスの登録/削除："},
    // registers the current destination
    {.name = "Image5",
     .kind = Kind::Picture,
     .at = {5160, 1200, 420, 420},
     .picture = "ext_register",
     .description = "解凍先の登録"},
    // deletes the registered destination shown
    {.name = "Image4",
     .kind = Kind::Picture,
     .at = {5640, 1200, 435, 420},
     .picture = "ext_unregister",
     .description = "登録の削除"},
    // the new-folder picture
    {.name = "Image1",
     .kind = Kind::Picture,
     .at = {6300, 1680, 690, 720},
     .picture = "ext_new_folder",
     .tooltip = "解凍先のﾌｫﾙﾀﾞを新しく作ります"},
    // the extract picture
    {.name = "Image2",
     .kind = Kind::Picture,
     .at = {6300, 2760, 705, 915},
     .picture = "ext_extract",
     .description = "解凍"},
    // the desktop picture: jumps to the desktop folder
    {.name = "Image7",
     .kind = Kind::Picture,
     .at = {2760, 1200, 405, 405},
     .picture = "ext_desktop"},
    // the help picture, not shown in this window
    {.name = "Image3",
     .kind = Kind::Picture,
     .at = {120, 120, 525, 525},
     .picture = "ext_help",
     .tooltip = "右ﾎﾞﾀﾝｸﾘｯｸで即時終了できます",
     .hidden = true},
    // the close button
    {.name = "Command1",
     .kind = Kind::CommandButton,
     .at = {6180, 720, 735, 315},
     .caption = "Close",
     .font = FontSpec{"Arial", 8.25, true},
     .isCancel = true},
};

}  // namespace

DeComp3Form::DeComp3Form(App& app) : Form(app, windows::kExtraction) {
  setCaption("Zorvex 32");
  resize(7095, 3885);
  fixedDialog = true;
  icon = "ext_window";
  addControlRows(*this, kControls);
  wireEvents();
}

void DeComp3Form::wireEvents() {
  FolderPanelOptions panel;
  panel.captionFollowsFolder = false;  // only a drive change shows the folder in the caption
  panel.afterDriveChange = [this] { setCaption(folderCaption(c("Dir1").path())); };
  panel.afterFolderChange = [this] {
    std::string destination = folderCaption(c("Dir1").path());
    c("Combo1").setText(destination);
    if (auto* dialog = openPort<NewFolderPort>(forms(), windows::kNewFolder);
        dialog && forms().find(windows::kNewFolder)->visible())
      dialog->showPath(destination);
  };
  wireFolderPanel(*this, panel);
  wireDesktopButton(*this);
  wireHelpButton(*this, "Image3", kHelpExtraction);
  c("Combo1").onClick = [this] { registeredPathPicked(); };
  makePressedPicture(c("Image5"), kSmallPictureOffset, [this](const MouseEvent&) {
    if (registerDestination(*this, c("Combo1")))
      services().messageBox("パスを登録しました", MsgButtons::OK, MsgIcon::Information,
                            "解凍先パスの登録");
  });
  makePressedPicture(c("Image4"), kSmallPictureOffset, [this](const MouseEvent&) {
    Steps steps;
    steps([&] { deleteDestination(*this, c("Combo1")); });
    steps([&] { c("Combo1").setText(c("Dir1").path()); });
  });
  makePressedPicture(c("Image1"), kMainPictureOffset, [this](const MouseEvent&) { newFolder(); });
  makePressedPicture(c("Image2"), kMainPictureOffset, [this](const MouseEvent&) { extract(); });
  c("Command1").onClick = [this] { unload(); };
}

void DeComp3Form::load() {
  Steps steps;
  steps([&] {
    if (Form* contents = forms().find(windows::kArchiveContents)) placeOnTop(*this, *contents);
  });
  steps([&] { loadDestinations(*this, c("Combo1")); });
  steps([&] { loadLastFolder(*this, "DeComp3Dir", 512); });
  const YesNo& same = shared().SameFolder;
  if (same.no()) {
    steps([&] { c("Combo1").setText(c("Dir1").path()); });
  } else if (same.yes()) {
    steps([&] {
      std::string folder = forms().get<DeComp1Form>(windows::kArchiveSelection).folder();
      c("Combo1").setText(folder);
      c("Dir1").setPath(folder);
      c("Drive1").setDrive(winpath::driveOf(folder));
    });
  }
}

void DeComp3Form::unloading(bool&) {
  Steps steps;
  pointFileUtilityAt(*this, c("Drive1").drive(), c("Dir1").path());
  steps([&] { saveLastFolder(*this, "DeComp3Dir"); });
  steps([&] {
    if (auto* contents = openPort<DeComp2Form>(forms(), windows::kArchiveContents))
      contents->allowNextStep();
  });
}

void DeComp3Form::showDestinationPrompt() {
  c("Image3").setVisible(true);
  c("Label1").setCaption("解凍先のフォルダを指定後，[解凍]ボタンを押します");
}

void DeComp3Form::moveTo(const std::string& folder) { c("Dir1").setPath(folder); }

std::string DeComp3Form::destination() const { return typedPath(c("Combo1").text()); }

void DeComp3Form::registeredPathPicked() {
  Steps steps;
  std::string text = typedPath(c("Combo1").text());
  bool there = false;
  steps([&] { there = fs::exists(text); });
  if (!there) {
    services().messageBox("登録されたパスが見つかりません.リストから削除してください．",
                          MsgButtons::OK, MsgIcon::Exclamation, "エラーです");
    return;
  }
  steps([&] { c("Dir1").setPath(text); });
  steps([&] { c("Drive1").setDrive(winpath::driveOf(text)); });
}

void DeComp3Form::newFolder() {
  std::string destination = typedPath(c("Combo1").text());
  std::string parent;
  if (endsWithBackslash(destination)) {
    parent = destination;
  } else if (destination.empty()) {
    services().messageBox("親フォルダを指定してください", MsgButtons::OK, MsgIcon::Exclamation,
                          "新規フォルダの作成");
    return;
  } else {
    parent = destination + "\\";
  }
  // The new folder goes below the destination and becomes the folder of this window.
  NewFolderRequest request = newFolderRequest(
      forms(), windows::kExtraction, NewFolderRequest::Purpose::ExtractFolder,
      [](Form& self) { return static_cast<DeComp3Form&>(self).destination(); },
      [](Form& self, const std::string& made) { static_cast<DeComp3Form&>(self).moveTo(made); });
  request.caption = "新規フォルダの作成 -解凍-";
  request.path = parent;
  openNewFolderDialog(*this, std::move(request));
}

void DeComp3Form::extract() {
  Steps steps;
  Shared& s = shared();
  services().setBusy(true);
  std::string destination = typedPath(c("Combo1").text());
  if (destination.empty()) {
    services().messageBox("解凍先のフォルダを指定してください", MsgButtons::OK,
                          MsgIcon::Exclamation, "エラーです");
    services().setBusy(false);
    return;
  }
  RunGuard run(*this);
  s.ExtractFolder = endsWithBackslash(destination) ? destination : destination + "\\";
  for (const char* name :
       {windows::kArchiveSelection, windows::kArchiveContents, windows::kExtraction})
    steps([&] { forms().hide(name); });
  if (s.ShowExtractProgress.no()) steps([&] { forms().show(windows::kWait); });
  steps([&] { runExtraction(); });
  steps([&] { forms().unload(windows::kWait); });
  bool utility = s.OpenFileUtility.yes();
  steps([&] { forms().show(utility ? windows::kFileUtility : windows::kMenu); });
  if (utility)
    steps([&] { form(windows::kFileUtility).setCaption("Zorvex 32  -解凍されたﾌｧｲﾙのﾘｽﾄです-"); });
  for (const char* name :
       {windows::kArchiveSelection, windows::kArchiveContents, windows::kExtraction})
    steps([&] { forms().unload(name); });
  // The file utility shows the folder that received the files, also when it was typed.
  if (utility) {
    bool folder = false;
    steps([&] { folder = fs::isFolder(s.ExtractFolder); });
    if (folder)
      pointFileUtilityAt(*this, winpath::driveOf(s.ExtractFolder),
                         winpath::withoutTrailingSeparator(s.ExtractFolder));
  }
  services().setBusy(false);
  s.RunInProgress = false;
}

void DeComp3Form::runExtraction() {
  auto* selection = openPort<DeComp1Form>(forms(), windows::kArchiveSelection);
  auto* contents = openPort<DeComp2Form>(forms(), windows::kArchiveContents);
  if (!selection || !contents) return;
  std::vector<std::string> members = contents->chosenMembers();
  std::optional<ArchiveKind> kind = selection->chosenKind();
  if (kind == ArchiveKind::Lzh) {
    runLhaExtract(*this, members);
  } else if (kind == ArchiveKind::Zip) {
    Steps steps;
    steps([&] { forms().show(windows::kWait); });
    runZipExtract(*this, members);
  }
}

}  // namespace zv::extract
