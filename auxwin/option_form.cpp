#include "auxwin/option_form.h"

#include "core/app.h"
#include "core/forms/control_table.h"
#include "core/forms/steps.h"
#include "core/settings/options.h"
#include "ui/common/window_common.h"
#include "ui/common/window_ports.h"

namespace zv {

namespace {
using namespace options;  // the section, its buffer and its keys

YesNo yesNo(const Control& check) { return YesNo::of(check.value() == 1); }

// Rows in tab order; positions inside a frame are relative to the frame.
const ControlRow kControls[] = {
    // the compression-mode group
    {.name = "Frame2",
     .kind = Kind::Frame,
     .at = {120, 120, 3315, 1215},
     .caption = "圧縮時のﾓｰﾄﾞ"},
    // compression mode: add, overwriting
    {.name = "Option4",
     .kind = Kind::OptionButton,
     .at = {180, 270, 2900, 300},
     .caption = "上書き圧縮",
     .container = "Frame2"},
    // compression mode: update with newer files; chosen at start
    {.name = "Option5",
     .kind = Kind::OptionButton,
     .at = {180, 570, 2900, 300},
     .caption = "最新ﾌｧｲﾙ圧縮",
     .container = "Frame2",
     .value = 1},
    // compression mode: move the files into the archive
    {.name = "Option6",
     .kind = Kind::OptionButton,
     .at = {180, 870, 2900, 300},
     .caption = "圧縮後削除",
     .container = "Frame2"},
    // the progress-dialog group
    {.name = "Frame3",
     .kind = Kind::Frame,
     .at = {3555, 120, 3405, 1215},
     .caption = "進行状況ﾀﾞｲｱﾛｸﾞ"},
    // the title of the compression progress box
    {.name = "Label1",
     .kind = Kind::Label,
     .at = {180, 360, 900, 300},
     .caption = "圧縮時",
     .container = "Frame3"},
    // shows the progress while compressing
    {.name = "Check5",
     .kind = Kind::CheckBox,
     .at = {1200, 330, 1900, 300},
     .caption = "表示する",
     .container = "Frame3"},
    // the title of the extraction progress box
    {.name = "Label2",
     .kind = Kind::Label,
     .at = {180, 780, 900, 300},
     .caption = "解凍時",
     .container = "Frame3"},
    // shows the progress while extracting
    {.name = "Check1",
     .kind = Kind::CheckBox,
     .at = {1200, 750, 1900, 300},
     .caption = "表示する",
     .container = "Frame3"},
    // the folder-mode group
    {.name = "Frame6", .kind = Kind::Frame, .at = {120, 1440, 6840, 975}, .caption = "圧縮形式"},
    // folder mode: the selected files of one folder; chosen at start
    {.name = "Option1",
     .kind = Kind::OptionButton,
     .at = {180, 270, 6400, 300},
     .caption = "単一ﾌｫﾙﾀﾞ内のﾌｧｲﾙを選択して圧縮",
     .container = "Frame6",
     .value = 1},
    // folder mode: the whole folder with its hierarchy
    {.name = "Option3",
     .kind = Kind::OptionButton,
     .at = {180, 570, 6400, 300},
     .caption = "指定ﾌｫﾙﾀﾞ以下を階層構造付きですべて圧縮",
     .container = "Frame6"},
    // folder mode "2": exists for the stored value but is never offered
    {.name = "Option2",
     .kind = Kind::OptionButton,
     .at = {180, 570, 6400, 300},
     .caption = "ﾌｫﾙﾀﾞの階層付きで圧縮",
     .container = "Frame6",
     .hidden = true,
     .disabled = true},
    // the self-extractor group
    {.name = "Frame1",
     .kind = Kind::Frame,
     .at = {120, 2520, 3315, 675},
     .caption = "自己解凍書庫のﾀﾞｲｱﾛｸﾞ"},
    // asks for the self-extractor's settings
    {.name = "Check2",
     .kind = Kind::CheckBox,
     .at = {180, 270, 2900, 300},
     .caption = "ｶｽﾀﾏｲｽﾞする",
     .container = "Frame1"},
    // the version-check group
    {.name = "Frame4",
     .kind = Kind::Frame,
     .at = {3555, 2520, 3405, 675},
     .caption = "ﾊﾞｰｼﾞｮﾝﾁｪｯｸ"},
    // checks the library version at every start
    {.name = "Check3",
     .kind = Kind::CheckBox,
     .at = {180, 270, 3000, 300},
     .caption = "起動ごとに実行する",
     .container = "Frame4"},
    // the file-utility group
    {.name = "Frame5",
     .kind = Kind::Frame,
     .at = {120, 3300, 3315, 675},
     .caption = "ﾌｧｲﾙ操作ﾕｰﾃｨﾘﾃｨｰ"},
    // opens the file utility after a run
    {.name = "Check4",
     .kind = Kind::CheckBox,
     .at = {180, 270, 2900, 300},
     .caption = "圧縮/解凍後自動的に開く",
     .container = "Frame5"},
    // the destination group
    {.name = "Frame7",
     .kind = Kind::Frame,
     .at = {3555, 3300, 3405, 675},
     .caption = "圧縮/解凍先のﾌｫﾙﾀﾞ"},
    // offers the source folder as destination
    {.name = "Check6",
     .kind = Kind::CheckBox,
     .at = {180, 270, 3000, 300},
     .caption = "同じﾌｫﾙﾀﾞに圧縮/解凍",
     .container = "Frame7"},
    // the extraction-mode group
    {.name = "Frame8",
     .kind = Kind::Frame,
     .at = {120, 4080, 3315, 675},
     .caption = "解凍時のﾓｰﾄﾞ"},
    // overwrites every file when extracting
    {.name = "Check7",
     .kind = Kind::CheckBox,
     .at = {180, 270, 2900, 300},
     .caption = "全て上書き解凍",
     .container = "Frame8"},
    // saves the options and closes
    {.name = "Command3",
     .kind = Kind::CommandButton,
     .at = {3555, 4230, 1050, 420},
     .caption = "OK",
     .isDefault = true},
    // closes without saving
    {.name = "Command2",
     .kind = Kind::CommandButton,
     .at = {4725, 4230, 1050, 420},
     .caption = "Close",
     .isCancel = true},
    // opens the options' help
    {.name = "Command1",
     .kind = Kind::CommandButton,
     .at = {5895, 4230, 1050, 420},
     .caption = "ﾍﾙﾌﾟ"},
};
}  // namespace

OptionForm::OptionForm(App& app) : Form(app, windows::kOptions) {
  setCaption("オプション - Zorvex 32+ -");
  resize(7095, 4950);
  fixedDialog = true;
  addControlRows(*this, kControls);

  // Choosing a compression mode takes effect at once, even if the window is then closed
  // without OK.
  c("Option4").onClick = [this] { shared().PackMode = "ADD"; };
  c("Option5").onClick = [this] { shared().PackMode = "UPDATE"; };
  c("Option6").onClick = [this] { shared().PackMode = "MOVE"; };

  c("Command3").onClick = [this] {
    saveOptions();
    Steps steps;
    steps([&] { unload(); });
    steps([&] { updateFileSelectionInstruction(); });
  };
  c("Command2").onClick = [this] { unload(); };
  c("Command1").onClick = [this] {
    services().help(this->app().helpFile, kHelpContext, kHelpOptions);
  };
}

void OptionForm::load() {
  centreOnScreen();
  readOptions();
}

void OptionForm::readOptions() {
  Shared& s = shared();
  auto read = [this](const char* key, const char* def) {
    return readSetting(*this, kSection, key, def, kBuffer);
  };
  auto yesNoOption = [this, &read](const char* key, const char* def, YesNo& target,
                                   const char* check) {
    target = read(key, def);
    if (target.yes()) c(check).setValue(1);
  };

  std::string mode = read(kKeyMode, "5");
  if (mode == "4") c("Option4").setValue(1);
  if (mode == "5") c("Option5").setValue(1);
  if (mode == "6") c("Option6").setValue(1);
  yesNoOption(kKeyProgress, "NO", s.ShowExtractProgress, "Check1");
  yesNoOption(kKeyProgress2, "NO", s.ShowCompressProgress, "Check5");
  yesNoOption(kKeySfx, "NO", s.CustomizeSfx, "Check2");
  yesNoOption(kKeyVCheck, "YES", s.VersionCheck, "Check3");
  yesNoOption(kKeyFileUtility, "YES", s.OpenFileUtility, "Check4");
  // The hierarchy choice "2" is not offered any more: it opens as the whole-folder choice.
  std::string folders = read(kKeyWithDirectory, "1");
  if (folders == "1") {
    c("Option1").setValue(1);
    s.DirectoryMode = "NO";
  } else if (folders == "2" || folders == "3") {
    c("Option3").setValue(1);
    s.DirectoryMode = "ALL";
  }
  yesNoOption(kKeySameFolder, "NO", s.SameFolder, "Check6");
  yesNoOption(kKeyOverwrite, "NO", s.OverwriteAll, "Check7");
}

void OptionForm::saveOptions() {
  Shared& s = shared();
  auto store = [this](const char* key, const YesNo& value, YesNo& target) {
    writeSetting(*this, kSection, key, value.text());
    target = value;
  };
  std::string mode = c("Option6").value() == 1   ? "6"
                     : c("Option5").value() == 1 ? "5"
                     : c("Option4").value() == 1 ? "4"
                                                 : "";
  if (!mode.empty()) {
    writeSetting(*this, kSection, kKeyMode, mode);
    s.PackMode = mode == "6" ? "MOVE" : mode == "5" ? "UPDATE" : "ADD";
  }
  store(kKeyProgress, yesNo(c("Check1")), s.ShowExtractProgress);
  store(kKeyProgress2, yesNo(c("Check5")), s.ShowCompressProgress);
  store(kKeySfx, yesNo(c("Check2")), s.CustomizeSfx);
  store(kKeyVCheck, yesNo(c("Check3")), s.VersionCheck);
  store(kKeyFileUtility, yesNo(c("Check4")), s.OpenFileUtility);
  if (c("Option1").value() == 1) {
    writeSetting(*this, kSection, kKeyWithDirectory, "1");
    s.DirectoryMode = "NO";
  } else if (c("Option2").value() == 1) {
    writeSetting(*this, kSection, kKeyWithDirectory, "2");
    s.DirectoryMode = "YES";
  } else if (c("Option3").value() == 1) {
    writeSetting(*this, kSection, kKeyWithDirectory, "3");
    s.DirectoryMode = "ALL";
  }
  store(kKeySameFolder, yesNo(c("Check6")), s.SameFolder);
  store(kKeyOverwrite, yesNo(c("Check7")), s.OverwriteAll);
}

void OptionForm::updateFileSelectionInstruction() {
  Form* selection = forms().find(windows::kFileSelection);
  if (!selection || !selection->visible()) return;
  dynamic_cast<FileSelectionPort&>(*selection).showFolderInstruction(c("Option3").value() == 1);
}

void OptionForm::unloading(bool& cancel) {
  Steps steps;
  steps([&] { updateFileSelectionMode(); });
}

void OptionForm::updateFileSelectionMode() {
  const DirectoryModeOption& mode = shared().DirectoryMode;
  bool folders = mode.withFolders() || mode.wholeFolder();
  if (!folders && !mode.namesOnly()) return;
  // The file selection window is created hidden when it does not exist yet.
  port<FileSelectionPort>(forms(), windows::kFileSelection).showFolderMode();
}

}  // namespace zv
