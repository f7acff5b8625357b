// frmReport: the report of an archive test or rescue, one line per member with the damaged
// members first, and buttons to copy the text or save it to a file. Filled from
// Shared::Report by the window that ran the test ("Refresh").
#pragma once
#include "core/forms/form.h"

namespace zv {

class ArchiveReportForm : public Form {
 public:
  explicit ArchiveReportForm(App& app);
  void load() override;

 private:
  void refresh();
  void save();
};

}  // namespace zv
