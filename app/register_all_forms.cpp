#include "app/register_all_forms.h"

#include "auxwin/register_forms.h"
#include "compress/register_forms.h"
#include "extract/register_forms.h"
#include "fileutil/register_forms.h"
#include "ui/menu/register_forms.h"

namespace zv {

void registerAllForms(FormRegistry& forms) {
  registerMenuForms(forms);
  registerViewerForms(forms);
  registerInfoForms(forms);
  registerOptionForms(forms);
  registerCompressForms(forms);
  registerExtractForms(forms);
  registerFileUtilityForms(forms);
}

}  // namespace zv
