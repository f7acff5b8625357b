// DeComp1, the archive selection window: the first window of the extraction flow. The user
// filters the file list by archive type and double-clicks an archive to list it (DeComp2) or
// to restore it (frmish); quick extraction unpacks a whole LZH or ZIP archive into the QUICK
// folder.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/forms/form.h"
#include "core/startup/command_line_opener.h"
#include "extract/archive_access.h"

namespace zv::extract {

class DeComp1Form : public Form, public CommandLineOpener {
 public:
  explicit DeComp1Form(App& app);

  void load() override;
  void queryUnload(bool& cancel, UnloadMode mode) override;
  void unloading(bool& cancel) override;

  // The current folder joined with the selected file ("" when none is selected).
  std::string selectedPath() const;
  std::string folder() const;
  // The library the archive filter names; nothing while ISH files are listed.
  std::optional<ArchiveKind> chosenKind() const;
  // Open is disabled while a window of the flow is open on top.
  void allowOpening(bool allowed);
  void commandLineOpen() override;
  // Lists the selected archive's members into this window's own list.
  void addList2();

 private:
  void wireEvents();

  void filterChanged();
  void showFileInformation();
  void openSelected();
  void quickExtract();
  void runQuickExtract(ArchiveKind kind);
  void cleanQuick();
  void addList();
  void zipAddList();
  void loadCommandLineFolder();
  // decomp1_drop.cpp: an archive dropped on the window by another program.
  void openDroppedArchive(const std::vector<std::string>& paths);
};

}  // namespace zv::extract
