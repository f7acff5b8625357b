#include "auxwin/option_form.h"

#include "core/app.h"
#include "core/forms/steps.h"
#include "core/settings/options.h"
#include "ui/common/window_common.h"

namespace zv {

namespace {
using namespace options;  // the section, its buffer and its keys
constexpr uint32_t kLampOn = 0xFF0000;
constexpr uint32_t kLampOff = 0x808080;

YesNo yesNo(const Control& check) { return YesNo::of(check.value() == 1); }
}  // namespace

OptionForm::OptionForm(App& app) : Form(app, windows::kOptions) {
  setCaption("オプション - Zorvex 32+ -");
  resize(7095, 4950);
  fixedDialog = true;
  addControls();

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

void OptionForm::addControls() {
  auto frame = [this](const char* name, const char* caption, double left, double top, double width,
                      double height) {
    Control& f = add(name, Kind::Frame);
    f.setCaption(caption);
    f.move(left, top, width, height);
  };
  // Positions inside a frame are relative to the frame.
  auto inFrame = [this](const char* name, Kind kind, const char* caption, const char* frame,
                        double left, double top, double width) -> Control& {
    Control& c = add(name, kind);
    c.setCaption(caption);
    c.setContainer(frame);
    c.move(left, top, width, 300);
    return c;
  };

  frame("Frame2", "圧縮時のﾓｰﾄﾞ", 120, 120, 3315, 1215);
  inFrame("Option4", Kind::OptionButton, "上書き圧縮", "Frame2", 180, 270, 2900);
  inFrame("Option5", Kind::OptionButton, "最新ﾌｧｲﾙ圧縮", "Frame2", 180, 570, 2900).setValue(1);
  inFrame("Option6", Kind::OptionButton, "圧縮後削除", "Frame2", 180, 870, 2900);

  frame("Frame3", "進行状況ﾀﾞｲｱﾛｸﾞ", 3555, 120, 3405, 1215);
  inFrame("Label1", Kind::Label, "圧縮時", "Frame3", 180, 360, 900);
  inFrame("Check5", Kind::CheckBox, "表示する", "Frame3", 1200, 330, 1900);
  inFrame("Label2", Kind::Label, "解凍時", "Frame3", 180, 780, 900);
  inFrame("Check1", Kind::CheckBox, "表示する", "Frame3", 1200, 750, 1900);

  frame("Frame6", "圧縮形式", 120, 1440, 6840, 975);
  inFrame("Option1", Kind::OptionButton, "単一ﾌｫﾙﾀﾞ内のﾌｧｲﾙを選択して圧縮", "Frame6", 180, 270,
          6400)
      .setValue(1);
  inFrame("Option3", Kind::OptionButton, "指定ﾌｫﾙﾀﾞ以下を階層構造付きですべて圧縮", "Frame6", 180,
          570, 6400);
  // The folder-hierarchy choice exists for the stored value "2" but is never offered.
  Control& option2 =
      inFrame("Option2", Kind::OptionButton, "ﾌｫﾙﾀﾞの階層付きで圧縮", "Frame6", 180, 570, 6400);
  option2.setVisible(false);
  option2.setEnabled(false);

  frame("Frame1", "自己解凍書庫のﾀﾞｲｱﾛｸﾞ", 120, 2520, 3315, 675);
  inFrame("Check2", Kind::CheckBox, "ｶｽﾀﾏｲｽﾞする", "Frame1", 180, 270, 2900);
  frame("Frame4", "ﾊﾞｰｼﾞｮﾝﾁｪｯｸ", 3555, 2520, 3405, 675);
  inFrame("Check3", Kind::CheckBox, "起動ごとに実行する", "Frame4", 180, 270, 3000);
  frame("Frame5", "ﾌｧｲﾙ操作ﾕｰﾃｨﾘﾃｨｰ", 120, 3300, 3315, 675);
  inFrame("Check4", Kind::CheckBox, "圧縮/解凍後自動的に開く", "Frame5", 180, 270, 2900);
  frame("Frame7", "圧縮/解凍先のﾌｫﾙﾀﾞ", 3555, 3300, 3405, 675);
  inFrame("Check6", Kind::CheckBox, "同じﾌｫﾙﾀﾞに圧縮/解凍", "Frame7", 180, 270, 3000);
  frame("Frame8", "解凍時のﾓｰﾄﾞ", 120, 4080, 3315, 675);
  inFrame("Check7", Kind::CheckBox, "全て上書き解凍", "Frame8", 180, 270, 2900);

  auto button = [this](const char* name, const char* caption, double left) -> Control& {
    Control& b = add(name, Kind::CommandButton);
    b.setCaption(caption);
    b.move(left, 4230, 1050, 420);
    return b;
  };
  button("Command3", "OK", 3555).setDefault(true);
  button("Command2", "Close", 4725).setCancel(true);
  button("Command1", "ﾍﾙﾌﾟ", 5895);
  Control& buf = add("lblBuf", Kind::Hidden);
  buf.setVisible(false);
}

void OptionForm::load() {
  centreOnScreen();
  readOptions();
}

void OptionForm::readOptions() {
  Shared& s = shared();
  auto read = [this](const char* key, const char* def) {
    // The value passes through the hidden label, as every settings read of this window does.
    c("lblBuf").setCaption(readSetting(*this, kSection, key, def, kBuffer));
    return c("lblBuf").caption();
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
  bool folders = c("Option3").value() == 1;
  selection->c("Label1").setCaption(folders ? "圧縮するフォルダを指定後"
                                            : "圧縮するファイルを指定後");
  selection->c("File1").setEnabled(!folders);
}

void OptionForm::unloading(bool& cancel) {
  Steps steps;
  steps([&] { updateFileSelectionMode(); });
}

void OptionForm::updateFileSelectionMode() {
  const DirectoryModeOption& mode = shared().DirectoryMode;
  bool folders = mode.withFolders() || mode.wholeFolder();
  if (!folders && !mode.namesOnly()) return;
  Form& selection = form(windows::kFileSelection);  // created hidden when it does not exist yet
  selection.c("Label5").setBackColor(folders ? kLampOn : kLampOff);
  selection.c("Label3").setBackColor(folders ? kLampOff : kLampOn);
  for (const char* name : {"List1", "Image5", "Image6"}) selection.c(name).setEnabled(!folders);
}

}  // namespace zv
