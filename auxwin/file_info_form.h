// frmFP, the file information window: shows the path, time stamp and size of the file last
// selected in the window that opened it (Shared::InfoCaller: the file selection window or the
// file utility), and sets the file-name pattern of that window's file list.
#pragma once
#include <string>

#include "core/forms/form.h"

namespace zv {

class FileInfoForm : public Form {
 public:
  explicit FileInfoForm(App& app);
  void load() override;
  void unloading(bool& cancel) override;

 private:
  // The opener's file list, or nullptr when no window is named as the caller.
  Control* openerFiles();
  // Sets the opener's pattern; `relistUtility`: refresh the file utility's list as well.
  void applyPattern(const std::string& pattern, bool relistUtility);
};

}  // namespace zv
