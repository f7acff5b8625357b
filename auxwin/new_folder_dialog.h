// Dialog: the small name-entry window with four uses, told apart by the request its opener
// sets (Shared::NewFolder): a new folder for the archive creation window, for the extraction
// window or for the file utility's lower pane, and renaming the file selected in the file
// utility. The opener also gives it its caption and prompt; the dialog never reads them back.
#pragma once
#include <optional>
#include <string>

#include "core/forms/form.h"
#include "core/shared_state.h"
#include "ui/common/window_ports.h"

namespace zv {

class NewFolderDialog : public Form, public NewFolderPort {
 public:
  using Mode = NewFolderRequest::Purpose;

  explicit NewFolderDialog(App& app);
  void load() override;
  void unloading(bool& cancel) override;

  // The opener's purpose; nothing when no opener has set a request.
  std::optional<Mode> mode() const;
  // The folder the typed name goes into, from the opener's request; nothing without a
  // request or when the opener is not open.
  std::optional<std::string> baseFolder() const;
  // Label2 := base folder joined with the typed name (runs on every change of the name).
  void updatePath();
  void present() override;
  std::string typedName() const override;
  void showPath(const std::string& path) override;

 private:
  void ok();
  void createFolder();
  void renameFile();
  // Hands the new path to the opener and closes.
  void finish(const std::string& made);
  bool refuseName(const std::string& name, const std::string& title);
  // The target path when the typed name passes the checks; otherwise says why and gives none.
  std::optional<std::string> checkedTarget(const std::string& emptyText,
                                           const std::string& existsText, const std::string& title);
  void complain(const std::string& text, const std::string& title);
};

}  // namespace zv
