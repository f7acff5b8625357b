#include "auxwin/file_info_form.h"

#include "core/app.h"
#include "core/forms/control_table.h"
#include "core/forms/steps.h"
#include "platform/fileops.h"

namespace zv {
namespace {

struct PatternOption {
  const char* name;
  const char* pattern;
  // Acts also while the window is loading (re-applying the opener's own pattern).
  bool actsWhileLoading;
};
constexpr PatternOption kOptions[] = {
    {"Option1", "*.*", false},  {"Option2", "*.txt", true}, {"Option3", "*.bmp", true},
    {"Option4", "*.exe", true}, {"Option5", "*.lzh", true}, {"Option6", "*.ish", false},
};

// Rows in tab order; positions inside a frame are relative to the frame. The option buttons'
// captions are the patterns of kOptions.
const ControlRow kControls[] = {
    // the pattern group: which files the opener's list shows
    {.name = "Frame2", .kind = Kind::Frame, .at = {120, 60, 4500, 1395}, .caption = "拡張子の設定"},
    // lists every file
    {.name = "Option1",
     .kind = Kind::OptionButton,
     .at = {180, 300, 1215, 300},
     .caption = "*.*",
     .container = "Frame2"},
    // lists only *.txt files
    {.name = "Option2",
     .kind = Kind::OptionButton,
     .at = {1620, 300, 1215, 300},
     .caption = "*.txt",
     .container = "Frame2"},
    // lists only *.bmp files
    {.name = "Option3",
     .kind = Kind::OptionButton,
     .at = {3060, 300, 1215, 300},
     .caption = "*.bmp",
     .container = "Frame2"},
    // lists only *.exe files
    {.name = "Option4",
     .kind = Kind::OptionButton,
     .at = {180, 660, 1215, 300},
     .caption = "*.exe",
     .container = "Frame2"},
    // lists only *.lzh files
    {.name = "Option5",
     .kind = Kind::OptionButton,
     .at = {1620, 660, 1215, 300},
     .caption = "*.lzh",
     .container = "Frame2"},
    // lists only *.ish files
    {.name = "Option6",
     .kind = Kind::OptionButton,
     .at = {3060, 660, 1215, 300},
     .caption = "*.ish",
     .container = "Frame2"},
    // a typed extension
    {.name = "Text1",
     .kind = Kind::TextBox,
     .at = {180, 1005, 1215, 300},
     .description = "拡張子",
     .container = "Frame2",
     .backColor = kWindowBack},
    // the properties group
    {.name = "Frame1", .kind = Kind::Frame, .at = {120, 1560, 4500, 1875}, .caption = "プロパティ"},
    // the selected file's full path
    {.name = "Label3",
     .kind = Kind::Label,
     .at = {120, 300, 4260, 495},
     .caption = "Not selected",
     .container = "Frame1"},
    // the title of the time stamp
    {.name = "Label1",
     .kind = Kind::Label,
     .at = {120, 900, 1500, 255},
     .caption = "タイムスタンプ：",
     .container = "Frame1"},
    // the selected file's time stamp
    {.name = "lblTime",
     .kind = Kind::Label,
     .at = {1680, 900, 2700, 255},
     .caption = "Not selected",
     .container = "Frame1"},
    // the title of the size
    {.name = "Label2",
     .kind = Kind::Label,
     .at = {120, 1320, 1500, 255},
     .caption = "ファイルサイズ：",
     .container = "Frame1"},
    // the selected file's size
    {.name = "lblSize",
     .kind = Kind::Label,
     .at = {1680, 1320, 2700, 255},
     .caption = "Not selected",
     .container = "Frame1"},
    // the close button
    {.name = "Command1",
     .kind = Kind::CommandButton,
     .at = {3405, 3540, 1215, 375},
     .caption = "Close",
     .isCancel = true},
};

}  // namespace

FileInfoForm::FileInfoForm(App& app) : Form(app, windows::kFileInfo) {
  setCaption("ファイル情報");
  resize(4830, 4500);
  fixedDialog = true;

  addControlRows(*this, kControls);
  for (const PatternOption& o : kOptions) {
    c(o.name).onClick = [this, o] {
      if (o.actsWhileLoading || visible()) applyPattern(o.pattern, true);
    };
  }
  Control& typed = c("Text1");
  typed.onChange = [this, &typed] { applyPattern("*." + typed.text(), false); };
  c("Command1").onClick = [this] { unload(); };
}

void FileInfoForm::load() {
  centreOnScreen();
  Steps steps;
  steps([&] {
    std::optional<std::string> opener = openerPattern();
    if (!opener) return;
    std::string pattern = *opener;
    const char* chosen = "Option1";
    for (const auto& o : kOptions)
      if (pattern == o.pattern) chosen = o.name;
    c(chosen).setValue(1);
  });
  setTopMost(true);
}

void FileInfoForm::unloading(bool& cancel) { shared().InfoCaller = FileInfoCaller::None; }

void FileInfoForm::showFile(const std::string& path) {
  Steps steps;
  steps([&] { c("Label3").setCaption(path); });
  steps([&] { c("lblTime").setCaption(fs::modifiedText(path)); });
  steps([&] { c("lblSize").setCaption(std::to_string(fs::fileSize(path)) + " bytes"); });
}

std::optional<std::string> FileInfoForm::openerPattern() {
  switch (shared().InfoCaller) {
    case FileInfoCaller::FileSelection:
      return port<FileSelectionPort>(forms(), windows::kFileSelection).filePattern();
    case FileInfoCaller::FileUtility:
      return port<FileUtilityPort>(forms(), windows::kFileUtility).filePattern();
    case FileInfoCaller::None:
      break;
  }
  return std::nullopt;
}

void FileInfoForm::applyPattern(const std::string& pattern, bool relistUtility) {
  Steps steps;
  steps([&] {
    switch (shared().InfoCaller) {
      case FileInfoCaller::FileSelection:
        port<FileSelectionPort>(forms(), windows::kFileSelection).filterFiles(pattern);
        break;
      case FileInfoCaller::FileUtility: {
        FileUtilityPort& utility = port<FileUtilityPort>(forms(), windows::kFileUtility);
        utility.filterFiles(pattern);
        if (relistUtility) utility.refreshFiles();
        break;
      }
      case FileInfoCaller::None:
        break;
    }
  });
}

}  // namespace zv
