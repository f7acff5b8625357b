#include "auxwin/wait_form.h"

#include <cmath>

#include "core/forms/control_table.h"
#include "core/forms/steps.h"
#include "core/services/services.h"

namespace zv {

namespace {
const ControlRow kControls[] = {
    // the two lines the window shows, as text written at the top of its surface
    {.name = "lblText",
     .kind = Kind::Label,
     .at = {120, 120, 3900, 700},
     .font = FontSpec{"ＭＳ Ｐゴシック", 10}},
};
}  // namespace

WaitForm::WaitForm(App& app) : Form(app, windows::kWait) {
  setCaption("処理中です．．．");
  resize(4200, 1500);
  fixedDialog = true;
  addControlRows(*this, kControls);
}

void WaitForm::load() {
  Steps steps;
  steps([&] { c("lblText").setCaption(" \r\n        しばらくお待ちください"); });
  steps([&] { centreOnScreen(); });
  // The pointer goes onto the window, 50 pixels right of and 20 below its corner.
  steps([&] {
    int x = static_cast<int>(std::lround(left() / services().twipsPerPixelX() + 50));
    int y = static_cast<int>(std::lround(top() / services().twipsPerPixelY() + 20));
    services().setCursorPos(x, y);
  });
}

// The run that follows holds the program until it ends: the notice is drawn now or not at all.
void WaitForm::activate() { services().doEvents(); }

}  // namespace zv
