// Dialog: the small name-entry window with four uses, told apart by the caption its opener
// gives it: a new folder for the archive creation window, for the extraction window or for
// the file utility's lower pane, and renaming the file selected in the file utility.
#pragma once
#include <optional>
#include <string>

#include "core/forms/form.h"

namespace zv {

class NewFolderDialog : public Form {
 public:
  enum class Mode { CompressFolder, ExtractFolder, UtilityFolder, Rename };

  explicit NewFolderDialog(App& app);
  void load() override;

  // The mode named by the caption; nothing for a caption of no mode.
  std::optional<Mode> mode() const;
  // The folder the typed name goes into, read from the opener; nothing when the caption
  // names no mode or the opener is not open.
  std::optional<std::string> baseFolder() const;
  // Label2 := base folder joined with the typed name (runs on every change of the name and
  // as the procedure "UpdatePath", which openers call when their folder changes).
  void updatePath();

 private:
  void ok();
  void createFolder();
  void renameFile();
  bool refuseName(const std::string& name, const std::string& title);
  // The target path when the typed name passes the checks; otherwise says why and gives none.
  std::optional<std::string> checkedTarget(const std::string& emptyText,
                                           const std::string& existsText,
                                           const std::string& title);
  void complain(const std::string& text, const std::string& title);
};

}  // namespace zv
