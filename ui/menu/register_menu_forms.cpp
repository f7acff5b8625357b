#include <memory>

#include "core/app.h"
#include "ui/menu/menu_form.h"
#include "ui/menu/register_forms.h"

namespace zv {

void registerMenuForms(FormRegistry& forms) {
  forms.define(windows::kMenu, [](App& app) { return std::make_unique<MenuForm>(app); });
}

}  // namespace zv
