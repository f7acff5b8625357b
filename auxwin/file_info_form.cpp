#include "auxwin/file_info_form.h"

#include "core/app.h"
#include "core/forms/steps.h"

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

}  // namespace

FileInfoForm::FileInfoForm(App& app) : Form(app, windows::kFileInfo) {
  setCaption("ファイル情報");
  resize(4830, 4500);
  fixedDialog = true;

  Control& patterns = add("Frame2", Kind::Frame);
  patterns.move(120, 60, 4500, 1395);
  patterns.setCaption("拡張子の設定");
  for (int i = 0; i < 6; ++i) {
    const PatternOption& o = kOptions[i];
    Control& option = add(o.name, Kind::OptionButton);
    option.setContainer("Frame2");
    option.move(180 + (i % 3) * 1440, 300 + (i / 3) * 360, 1215, 300);
    option.setCaption(o.pattern);
    option.onClick = [this, o] {
      if (o.actsWhileLoading || visible()) applyPattern(o.pattern, true);
    };
  }
  Control& typed = add("Text1", Kind::TextBox);
  typed.setContainer("Frame2");
  typed.move(180, 1005, 1215, 300);
  typed.setBackColor(kWindowBack);
  typed.onChange = [this, &typed] { applyPattern("*." + typed.text(), false); };

  Control& props = add("Frame1", Kind::Frame);
  props.move(120, 1560, 4500, 1875);
  props.setCaption("プロパティ");
  Control& path = add("Label3", Kind::Label);
  path.setContainer("Frame1");
  path.move(120, 300, 4260, 495);
  path.setCaption("Not selected");
  struct Row {
    const char* label;
    const char* caption;
    const char* value;
    double top;
  };
  for (const Row& r : {Row{"Label1", "タイムスタンプ：", "lblTime", 900},
                       Row{"Label2", "ファイルサイズ：", "lblSize", 1320}}) {
    Control& l = add(r.label, Kind::Label);
    l.setContainer("Frame1");
    l.move(120, r.top, 1500, 255);
    l.setCaption(r.caption);
    Control& v = add(r.value, Kind::Label);
    v.setContainer("Frame1");
    v.move(1680, r.top, 2700, 255);
    v.setCaption("Not selected");
  }

  Control& close = add("Command1", Kind::CommandButton);
  close.move(3405, 3540, 1215, 375);
  close.setCaption("Close");
  close.setCancel(true);
  close.onClick = [this] { unload(); };
}

void FileInfoForm::load() {
  centreOnScreen();
  Steps steps;
  steps([&] {
    Control* files = openerFiles();
    if (!files) return;
    std::string pattern = files->pattern();
    const char* chosen = "Option1";
    for (const auto& o : kOptions)
      if (pattern == o.pattern) chosen = o.name;
    c(chosen).setValue(1);
  });
  setTopMost(true);
}

void FileInfoForm::unloading(bool& cancel) { shared().InfoCaller = FileInfoCaller::None; }

Control* FileInfoForm::openerFiles() {
  switch (shared().InfoCaller) {
    case FileInfoCaller::FileSelection:
      return &form(windows::kFileSelection).c("File1");
    case FileInfoCaller::FileUtility:
      return &form(windows::kFileUtility).c("File1");
    case FileInfoCaller::None:
      break;
  }
  return nullptr;
}

void FileInfoForm::applyPattern(const std::string& pattern, bool relistUtility) {
  Steps steps;
  steps([&] {
    Control* files = openerFiles();
    if (!files) return;
    files->setPattern(pattern);
    if (shared().InfoCaller == FileInfoCaller::FileSelection) {
      form(windows::kFileSelection).c("cmdEnum").click();  // List1 follows File1
    } else if (relistUtility) {
      files->refresh();
    }
  });
}

}  // namespace zv
