// frmFP, the file information window: shows the path, time stamp and size of the file last
// selected in the window that opened it (Shared::InfoCaller: the file selection window or the
// file utility), and sets the file-name pattern of that window's file list.
#pragma once
#include <optional>
#include <string>

#include "core/forms/form.h"
#include "ui/common/window_ports.h"

namespace zv {

class FileInfoForm : public Form, public FileInfoPort {
 public:
  explicit FileInfoForm(App& app);
  void load() override;
  void unloading(bool& cancel) override;
  void showFile(const std::string& path) override;

 private:
  // The opener's file pattern; nothing when no window is named as the caller.
  std::optional<std::string> openerPattern();
  // Sets the opener's pattern; `relistUtility`: refresh the file utility's list as well.
  void applyPattern(const std::string& pattern, bool relistUtility);
};

}  // namespace zv
