// frmish, the ISH restore window: restores the files of an ISH file (tested by the archive
// selection window) or of ISH text taken from the clipboard into the chosen folder.
#pragma once
#include <string>

#include "core/forms/form.h"

namespace zv::extract {

class IshRestoreForm : public Form {
 public:
  explicit IshRestoreForm(App& app);

  void load() override;
  void unloading(bool& cancel) override;

  // The work file that holds clipboard text: program folder + "\temp\tmp$$$.ish".
  std::string workFile() const;

 private:
  void wireEvents();
  void takeClipboard();
  void restore();
};

}  // namespace zv::extract
