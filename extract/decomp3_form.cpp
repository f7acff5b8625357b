#include "extract/decomp3_form.h"

#include "core/app.h"
#include "core/forms/steps.h"
#include "extract/destination_list.h"
#include "extract/extract_run.h"
#include "extract/run_support.h"
#include "platform/fileops.h"
#include "platform/winpath.h"
#include "ui/common/new_folder_request.h"
#include "ui/common/window_common.h"

namespace zv::extract {

namespace {
const FontSpec kPanelFont{"ＭＳ ゴシック", 11.25};

bool endsWithBackslash(const std::string& text) { return !text.empty() && text.back() == '\\'; }
}  // namespace

DeComp3Form::DeComp3Form(App& app) : Form(app, windows::kExtraction) {
  setCaption("Zorvex 32");
  resize(7095, 3885);
  fixedDialog = true;
  icon = "ext_window";
  addControls();
  wireEvents();
}

void DeComp3Form::addControls() {
  Control& combo = add("Combo1", Kind::ComboBox);
  combo.move(120, 720, 5895, 345);
  combo.setFont(kPanelFont);
  Control& drive = add("Drive1", Kind::DriveList);
  drive.move(120, 1200, 2535, 345);
  drive.setFont(kPanelFont);
  Control& dir = add("Dir1", Kind::FolderList);
  dir.move(120, 1680, 3015, 2130);
  dir.setFont(kPanelFont);
  Control& files = add("File1", Kind::FileList);
  files.move(3240, 1680, 2895, 2115);
  files.setFont(kPanelFont);

  Control& label1 = add("Label1", Kind::Label);
  label1.move(720, 270, 5760, 240);
  label1.setCaption("解凍先のフォルダを指定後，[解凍]ボタンを押します");
  Control& label2 = add("Label2", Kind::Label);
  label2.move(3240, 1260, 1920, 225);
  label2.setCaption("パスの登録/削除：");

  struct Pic {
    const char* name;
    double l, t, w, h;
    const char* tip;
    const char* art;
  };
  for (const Pic& p :
       {Pic{"Image5", 5160, 1200, 420, 420, "", "ext_register"},
        Pic{"Image4", 5640, 1200, 435, 420, "", "ext_unregister"},
        Pic{"Image1", 6300, 1680, 690, 720, "解凍先のﾌｫﾙﾀﾞを新しく作ります", "ext_new_folder"},
        Pic{"Image2", 6300, 2760, 705, 915, "", "ext_extract"},
        Pic{"Image7", 2760, 1200, 405, 405, "", "ext_desktop"},
        Pic{"Image3", 120, 120, 525, 525, "右ﾎﾞﾀﾝｸﾘｯｸで即時終了できます", "ext_help"}}) {
    Control& pic = add(p.name, Kind::Picture);
    pic.move(p.l, p.t, p.w, p.h);
    if (*p.tip) pic.setTooltip(p.tip);
    pic.setPicture(p.art);
  }
  // What the pictures without a tooltip do, for screen readers.
  c("Image5").setDescription("解凍先の登録");
  c("Image4").setDescription("登録の削除");
  c("Image2").setDescription("解凍");
  c("Image3").setVisible(false);

  Control& close = add("Command1", Kind::CommandButton);
  close.move(6180, 720, 735, 315);
  close.setFont({"Arial", 8.25, true});
  close.setCaption("Close");
  close.setCancel(true);
  Control& buf = add("lblBuf", Kind::Hidden);
  buf.move(0, 4000, 100, 100);
}

void DeComp3Form::wireEvents() {
  FolderPanelOptions panel;
  panel.captionFollowsFolder = false;
  panel.afterFolderChange = [this] {
    std::string destination = folderCaption(c("Dir1").path());
    c("Combo1").setText(destination);
    if (Form* dialog = forms().find(windows::kNewFolder); dialog && dialog->visible())
      dialog->c("Label2").setCaption(destination);
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
      std::string folder = form(windows::kArchiveSelection).c("Dir1").path();
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
    if (Form* contents = forms().find(windows::kArchiveContents))
      contents->c("Command1").setEnabled(true);
  });
}

void DeComp3Form::registeredPathPicked() {
  Steps steps;
  std::string text = c("Combo1").text();
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
  std::string destination = c("Combo1").text();
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
  shared().NewFolder = newFolderRequest(
      forms(), windows::kExtraction, NewFolderRequest::Purpose::ExtractFolder,
      [](Form& self) { return self.c("Combo1").text(); }, "Dir1");
  Steps steps;
  steps([&] { form(windows::kNewFolder).c("Label2").setCaption(parent); });
  steps([&] { forms().show(windows::kNewFolder); });
  steps([&] { form(windows::kNewFolder).setCaption("新規フォルダの作成 -解凍-"); });
  steps([&] { form(windows::kNewFolder).c("Label1").setCaption("新しく作成するフォルダ名："); });
}

void DeComp3Form::extract() {
  Steps steps;
  Shared& s = shared();
  services().setBusy(true);
  std::string destination = c("Combo1").text();
  if (destination.empty()) {
    services().messageBox("解凍先のフォルダを指定してください", MsgButtons::OK,
                          MsgIcon::Exclamation, "エラーです");
    services().setBusy(false);
    return;
  }
  s.RunInProgress = true;
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
  Form* selection = forms().find(windows::kArchiveSelection);
  Form* contents = forms().find(windows::kArchiveContents);
  if (!selection || !contents) return;
  Control& members = contents->c("List1");
  if (selection->c("Option1").value()) {
    runLhaExtract(*this, members);
  } else if (selection->c("Option2").value()) {
    Steps steps;
    steps([&] { forms().show(windows::kWait); });
    runZipExtract(*this, members);
  }
}

}  // namespace zv::extract
