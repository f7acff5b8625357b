// Comp2, the archive creation window: opens on top of the file selection window. The user
// picks the destination (folder panel, registered destinations, new folder) and types the
// archive name; the create picture starts the creation run.
#pragma once
#include <string>

#include "core/forms/form.h"
#include "core/settings/path_list_file.h"

namespace zv::compress {

class Comp2Form : public Form {
 public:
  explicit Comp2Form(App& app);
  void load() override;
  void unloading(bool& cancel) override;

  bool ishFormat() const { return ish_; }
  // ".lzh" or ".ish".
  std::string extension() const { return ish_ ? ".ish" : ".lzh"; }

 private:
  void wireEvents();
  void folderChanged();
  void driveChanged();
  void nameChanged();
  void pickArchive();
  void pickRegisteredPath();
  void newFolder();
  void create();
  // Keeps an open new-folder dialog of this window in step with the destination.
  void updateDialogPath();

  bool ish_ = false;
  pathlist::Files listFiles_;
};

}  // namespace zv::compress
