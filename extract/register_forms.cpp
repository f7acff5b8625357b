#include "extract/register_forms.h"

#include <memory>

#include "core/forms/registry.h"
#include "extract/decomp1_form.h"
#include "extract/decomp2_form.h"
#include "extract/decomp3_form.h"
#include "extract/ish_restore_form.h"

namespace zv {

void registerExtractForms(FormRegistry& forms) {
  forms.define("DeComp1", [](App& app) { return std::make_unique<extract::DeComp1Form>(app); });
  forms.define("DeComp2", [](App& app) { return std::make_unique<extract::DeComp2Form>(app); });
  forms.define("DeComp3", [](App& app) { return std::make_unique<extract::DeComp3Form>(app); });
  forms.define("frmish", [](App& app) { return std::make_unique<extract::IshRestoreForm>(app); });
}

}  // namespace zv
