// Comp1, the file selection window: the first step of compression. The user picks a folder,
// the files in it (or, in the folder modes, just the folder), LHA or ISH and the ISH code
// type, then opens the archive creation window (Comp2) on top.
#pragma once
#include "core/forms/form.h"

namespace zv::compress {

class Comp1Form : public Form {
 public:
  explicit Comp1Form(App& app);
  void load() override;
  void queryUnload(bool& cancel, UnloadMode mode) override;
  void unloading(bool& cancel) override;

  // Lamps, instruction, list and pictures for the folder mode in DirectoryMode (also run by
  // the options window through the procedure "ShowFolderMode").
  void showFolderMode();

 private:
  void wireEvents();
  void relist();
  void folderChanged();
  void listMouseDown(const MouseEvent& e);
  void fillInformation(int index);
  void selectAll();
  void preview();
  void nextStep();
  void chooseLha();
  void chooseIsh();

  bool allSelected_ = false;
};

}  // namespace zv::compress
