#include "compress/comp1_form.h"
#include "compress/comp2_form.h"
#include "compress/register_forms.h"
#include "core/app.h"

namespace zv {

void registerCompressForms(FormRegistry& forms) {
  forms.define("Comp1", [](App& app) { return std::make_unique<compress::Comp1Form>(app); });
  forms.define("Comp2", [](App& app) { return std::make_unique<compress::Comp2Form>(app); });
}

}  // namespace zv
