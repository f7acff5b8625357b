#include "auxwin/file_info_form.h"
#include "auxwin/new_folder_dialog.h"
#include "auxwin/register_forms.h"
#include "core/app.h"

namespace zv {

void registerInfoForms(FormRegistry& forms) {
  forms.define(windows::kFileInfo, [](App& app) { return std::make_unique<FileInfoForm>(app); });
  forms.define(windows::kNewFolder,
               [](App& app) { return std::make_unique<NewFolderDialog>(app); });
}

}  // namespace zv
