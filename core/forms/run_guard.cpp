#include "core/forms/run_guard.h"

#include "core/app.h"
#include "core/forms/form.h"
#include "core/forms/registry.h"
#include "core/forms/window_names.h"

namespace zv {

RunGuard::RunGuard(Form& window) : window_(window) { window.shared().RunInProgress = true; }

RunGuard::~RunGuard() {
  if (std::uncaught_exceptions() <= exceptions_) return;
  try {
    window_.shared().RunInProgress = false;
    window_.services().setBusy(false);
    FormRegistry& forms = window_.forms();
    forms.unload(windows::kWait);  // nothing is going on any more
    for (const std::string& name : forms.loadedNames()) {
      Form* form = forms.find(name);
      if (form && form->visible()) return;
    }
    forms.show(windows::kMenu);
  } catch (...) {
    // Already leaving by the first fault; that one is reported.
  }
}

}  // namespace zv
