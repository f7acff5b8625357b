#include <memory>

#include "auxwin/option_form.h"
#include "auxwin/register_forms.h"
#include "core/forms/registry.h"

namespace zv {

void registerOptionForms(FormRegistry& forms) {
  forms.define(windows::kOptions, [](App& app) { return std::make_unique<OptionForm>(app); });
}

}  // namespace zv
