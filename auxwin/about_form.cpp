#include "auxwin/about_form.h"

#include "core/forms/control_table.h"

namespace zv {

namespace {
// Rows in tab order; positions inside the frame are relative to it.
const ControlRow kControls[] = {
    // the frame around the program's name
    {.name = "Frame2", .kind = Kind::Frame, .at = {120, 60, 5040, 2040}, .backColor = kWindowBack},
    // the program's logo
    {.name = "Image2",
     .kind = Kind::Picture,
     .at = {240, 360, 960, 960},
     .picture = "aux_logo",
     .container = "Frame2"},
    // the program's name
    {.name = "Label1",
     .kind = Kind::Label,
     .at = {1440, 360, 3360, 420},
     .caption = "Zorvex 32+",
     .font = FontSpec{"ＭＳ Ｐゴシック", 14, true},
     .container = "Frame2",
     .backColor = kWindowBack},
    // the version
    {.name = "Label2",
     .kind = Kind::Label,
     .at = {1440, 840, 3360, 300},
     .caption = "Version 2.0",
     .container = "Frame2",
     .backColor = kWindowBack},
    // the credits
    {.name = "Label3",
     .kind = Kind::Label,
     .at = {240, 1500, 4680, 300},
     .caption = "LZH・ZIP・ISH 書庫ユーティリティー  Zorvex 開発チーム",
     .container = "Frame2",
     .backColor = kWindowBack},
    // the close button, shown once the window has been placed
    {.name = "Command1",
     .kind = Kind::CommandButton,
     .at = {3960, 2280, 1200, 375},
     .caption = "Close",
     .hidden = true,
     .isDefault = true,
     .isCancel = true},
};
}  // namespace

AboutForm::AboutForm(App& app) : Form(app, windows::kAbout) {
  setCaption("バージョン情報");
  resize(5400, 3300);
  fixedDialog = true;
  icon = "aux_logo";

  addControlRows(*this, kControls);
  c("Command1").onClick = [this] { unload(); };
}

void AboutForm::load() {
  centreOnScreen();
  c("Command1").setVisible(true);
  setTopMost(true);
}

}  // namespace zv
