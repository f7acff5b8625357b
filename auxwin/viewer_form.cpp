#include "auxwin/viewer_form.h"

#include "core/forms/control_table.h"

namespace zv {

namespace {
const ControlRow kControls[] = {
    // closes the window
    {.name = "menuClose", .kind = Kind::MenuItem, .caption = "閉じる(&X)", .isCancel = true},
    // the archive's listing, in the client area below the menu bar
    {.name = "Text1",
     .kind = Kind::TextBox,
     .at = {0, 0, 9480, 5940},
     .description = "内容",
     .font = FontSpec{"ＭＳ ゴシック", 10},
     .backColor = kWindowBack,
     .multiLine = true,
     .scrollBars = true},
};
}  // namespace

ViewerForm::ViewerForm(App& app) : Form(app, windows::kViewer) {
  setCaption("書庫詳細データ");
  resize(9600, 6600);

  addControlRows(*this, kControls);
  c("menuClose").onClick = [this] { unload(); };
}

void ViewerForm::load() { centreOnScreen(); }

void ViewerForm::showText(const std::string& text) { c("Text1").setText(text); }

}  // namespace zv
