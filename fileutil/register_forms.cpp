#include "fileutil/register_forms.h"

#include <memory>

#include "core/forms/registry.h"
#include "fileutil/file_utility_form.h"

namespace zv {

void registerFileUtilityForms(FormRegistry& forms) {
  forms.define(windows::kFileUtility,
               [](App& app) { return std::make_unique<FileUtilityForm>(app); });
}

}  // namespace zv
