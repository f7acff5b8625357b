// frmReport: the report of an archive test or rescue, one line per member with the damaged
// members first, and buttons to copy the text or save it to a file. Filled from
// Shared::Report by the window that ran the test, through its port.
#pragma once
#include "core/forms/form.h"
#include "ui/common/window_ports.h"

namespace zv {

class ArchiveReportForm : public Form, public ArchiveReportPort {
 public:
  explicit ArchiveReportForm(App& app);
  void load() override;
  void refresh() override;

 private:
  void save();
  std::string document();
};

}  // namespace zv
