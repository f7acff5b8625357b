// DeComp1, the archive selection window: the first window of the extraction flow. The user
// filters the file list by archive type and double-clicks an archive to list it (DeComp2) or
// to restore it (frmish); quick extraction unpacks a whole LZH or ZIP archive into the QUICK
// folder.
#pragma once
#include <string>
#include <vector>

#include "core/forms/form.h"
#include "extract/archive_access.h"

namespace zv::extract {

class DeComp1Form : public Form {
 public:
  explicit DeComp1Form(App& app);

  void load() override;
  void queryUnload(bool& cancel, UnloadMode mode) override;
  void unloading(bool& cancel) override;

  // The current folder joined with the selected file ("" when none is selected).
  std::string selectedPath() const;

 private:
  void wireEvents();

  void filterChanged();
  void showFileInformation();
  void openSelected();
  void commandLineOpen();
  void quickExtract();
  void runQuickExtract(ArchiveKind kind);
  void cleanQuick();
  void addList();
  void addList2();
  void zipAddList();
  void loadCommandLineFolder();
  // decomp1_drop.cpp: an archive dropped on the window by another program.
  void openDroppedArchive(const std::vector<std::string>& paths);
};

}  // namespace zv::extract
