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

  // What the creation run reads: the typed name, the archive path shown and the one chosen in
  // the registered-path box, and the destination folder.
  std::string typedName() const { return c("Text1").text(); }
  std::string shownArchive() const { return c("Label3").caption(); }
  std::string chosenArchive() const { return c("Combo1").text(); }
  std::string folder() const { return c("Dir1").path(); }
  void showArchive(const std::string& path) { c("Label3").setCaption(path); }

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
  // The folder list moves to `folder` (a folder the new-folder dialog made).
  void moveTo(const std::string& folder);

  bool ish_ = false;
  // The destination folder as last shown, without the archive name.
  std::string destination_;
  pathlist::Files listFiles_;
};

}  // namespace zv::compress
