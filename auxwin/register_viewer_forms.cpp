#include <memory>

#include "auxwin/about_form.h"
#include "auxwin/archive_report_form.h"
#include "auxwin/picview_form.h"
#include "auxwin/register_forms.h"
#include "auxwin/viewer_form.h"
#include "auxwin/wait_form.h"
#include "core/app.h"

namespace zv {

void registerViewerForms(FormRegistry& forms) {
  forms.define(windows::kViewer, [](App& app) { return std::make_unique<ViewerForm>(app); });
  forms.define(windows::kPicture, [](App& app) { return std::make_unique<PicViewForm>(app); });
  forms.define(windows::kWait, [](App& app) { return std::make_unique<WaitForm>(app); });
  forms.define(windows::kAbout, [](App& app) { return std::make_unique<AboutForm>(app); });
  forms.define(windows::kArchiveReport,
               [](App& app) { return std::make_unique<ArchiveReportForm>(app); });
}

}  // namespace zv
