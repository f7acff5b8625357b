// Comp1, the file selection window: the first step of compression. The user picks a folder,
// the files in it (or, in the folder modes, just the folder), LHA or ISH and the ISH code
// type, then opens the archive creation window (Comp2) on top.
#pragma once
#include <string>
#include <vector>

#include "compress/creation_commands.h"
#include "core/forms/form.h"
#include "ui/common/window_ports.h"

namespace zv::compress {

class Comp1Form : public Form, public FileSelectionPort {
 public:
  explicit Comp1Form(App& app);
  void load() override;
  void queryUnload(bool& cancel, UnloadMode mode) override;
  void unloading(bool& cancel) override;

  // Lamps, instruction, list and pictures for the folder mode in DirectoryMode.
  void showFolderMode() override;
  void showFolderInstruction(bool folders) override;
  void filterFiles(const std::string& pattern) override;
  std::string filePattern() const override;
  void chooseFiles(const std::vector<std::string>& paths) override;
  // The list of names follows the folder's files.
  void relist();

  // What the archive creation window takes from this window.
  std::string folder() const;
  bool ishMode() const;
  IshCodeType ishCodeType() const;
  // The drive and folder lists move to `path` unless they show it already.
  void showFolder(const std::string& path);
  // Exactly the listed files named in `names` are selected.
  void chooseOnly(const std::vector<std::string>& names);
  // The names selected in the list, in list order.
  std::vector<std::string> chosenNames() const;
  // Close is enabled again once the archive creation window has gone.
  void allowClosing();

 private:
  void wireEvents();
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
