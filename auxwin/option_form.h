// frmOption: the options of the "Option" settings section. Load shows the stored options and
// puts them into the shared values; OK stores them; every close updates the file selection
// window's mode lamps.
#pragma once
#include "core/forms/form.h"

namespace zv {

class OptionForm : public Form {
 public:
  explicit OptionForm(App& app);

  void load() override;
  void unloading(bool& cancel) override;

 private:
  void readOptions();
  void saveOptions();
  // The file selection window's instruction text and file list follow the folder choice.
  void updateFileSelectionInstruction();
  // Its lamps and single-file controls follow DirectoryMode.
  void updateFileSelectionMode();
};

}  // namespace zv
