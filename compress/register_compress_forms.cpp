#include "compress/comp1_form.h"
#include "compress/comp2_form.h"
#include "compress/register_forms.h"
#include "core/app.h"

namespace zv {

void registerCompressForms(FormRegistry& forms) {
  forms.define(windows::kFileSelection,
               [](App& app) { return std::make_unique<compress::Comp1Form>(app); });
  forms.define(windows::kArchiveCreation,
               [](App& app) { return std::make_unique<compress::Comp2Form>(app); });
}

}  // namespace zv
