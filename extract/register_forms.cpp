#include "extract/register_forms.h"

#include <memory>

#include "core/forms/registry.h"
#include "extract/decomp1_form.h"
#include "extract/decomp2_form.h"
#include "extract/decomp3_form.h"
#include "extract/ish_restore_form.h"

namespace zv {

void registerExtractForms(FormRegistry& forms) {
  forms.define(windows::kArchiveSelection,
               [](App& app) { return std::make_unique<extract::DeComp1Form>(app); });
  forms.define(windows::kArchiveContents,
               [](App& app) { return std::make_unique<extract::DeComp2Form>(app); });
  forms.define(windows::kExtraction,
               [](App& app) { return std::make_unique<extract::DeComp3Form>(app); });
  forms.define(windows::kIshRestore,
               [](App& app) { return std::make_unique<extract::IshRestoreForm>(app); });
}

}  // namespace zv
