#include "auxwin/about_form.h"

namespace zv {

AboutForm::AboutForm(App& app) : Form(app, windows::kAbout) {
  setCaption("バージョン情報");
  resize(5400, 3300);
  fixedDialog = true;
  icon = "aux_logo";

  Control& frame = add("Frame2", Kind::Frame);
  frame.move(120, 60, 5040, 2040);
  frame.setBackColor(kWindowBack);

  Control& logo = add("Image2", Kind::Picture);
  logo.setContainer("Frame2");
  logo.setPicture("aux_logo");
  logo.move(240, 360, 960, 960);

  Control& title = add("Label1", Kind::Label);
  title.setContainer("Frame2");
  title.setCaption("Zorvex 32+");
  title.setFont(FontSpec{"ＭＳ Ｐゴシック", 14, true});
  title.setBackColor(kWindowBack);
  title.move(1440, 360, 3360, 420);

  Control& version = add("Label2", Kind::Label);
  version.setContainer("Frame2");
  version.setCaption("Version 2.0");
  version.setBackColor(kWindowBack);
  version.move(1440, 840, 3360, 300);

  Control& credits = add("Label3", Kind::Label);
  credits.setContainer("Frame2");
  credits.setCaption("LZH・ZIP・ISH 書庫ユーティリティー  Zorvex 開発チーム");
  credits.setBackColor(kWindowBack);
  credits.move(240, 1500, 4680, 300);

  Control& close = add("Command1", Kind::CommandButton);
  close.setCaption("Close");
  close.setDefault(true);
  close.setCancel(true);
  close.setVisible(false);  // shown once the window has been placed
  close.move(3960, 2280, 1200, 375);
  close.onClick = [this] { unload(); };
}

void AboutForm::load() {
  centreOnScreen();
  c("Command1").setVisible(true);
  setTopMost(true);
}

}  // namespace zv
