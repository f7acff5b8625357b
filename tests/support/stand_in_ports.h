// Stand-ins for the windows of other areas that implement those windows' ports on controls of
// the same names, so a test watches what its window asked for in the controls it would change.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/forms/registry.h"
#include "core/shared_state.h"
#include "tests/support/stand_in_form.h"
#include "ui/common/window_ports.h"

namespace zv::testing {

// "DeComp4": Drive1, Dir1, File1 (and the lower pane's Dir2 and the name tag Label2).
class StandInFileUtility : public StandInForm, public FileUtilityPort {
 public:
  static constexpr const char* kName = windows::kFileUtility;
  explicit StandInFileUtility(App& app)
      : StandInForm(app, kName,
                    {{"Drive1", Kind::DriveList},
                     {"Dir1", Kind::FolderList},
                     {"File1", Kind::FileList},
                     {"Dir2", Kind::FolderList},
                     {"Label2", Kind::Label}}) {}
  void refreshFiles() override { c("File1").refresh(); }
  void pointAt(const std::string& drive, const std::string& folder) override {
    c("Drive1").setDrive(drive);
    c("Dir1").setPath(folder);
  }
  void filterFiles(const std::string& pattern) override { c("File1").setPattern(pattern); }
  std::string filePattern() const override { return c("File1").pattern(); }
};

// "Dialog": the prompt Label1, the path Label2 and the name Text1.
class StandInNewFolder : public StandInForm, public NewFolderPort {
 public:
  static constexpr const char* kName = windows::kNewFolder;
  explicit StandInNewFolder(App& app)
      : StandInForm(app, kName,
                    {{"Label1", Kind::Label}, {"Label2", Kind::Label}, {"Text1", Kind::TextBox}}) {}
  void present() override {
    const NewFolderRequest& request = shared().NewFolder;
    c("Label2").setCaption(request.path);
    setCaption(request.caption);
    c("Label1").setCaption(request.prompt);
  }
  std::string typedName() const override { return c("Text1").text(); }
  void showPath(const std::string& path) override { c("Label2").setCaption(path); }
};

// "Viewer": the text box Text1.
class StandInViewer : public StandInForm, public TextViewerPort {
 public:
  static constexpr const char* kName = windows::kViewer;
  explicit StandInViewer(App& app) : StandInForm(app, kName, {{"Text1", Kind::TextBox}}) {}
  void showText(const std::string& text) override { c("Text1").setText(text); }
};

// "Comp1": the file list File1; `relisted` counts how often the list of names followed it.
class StandInFileSelection : public StandInForm, public FileSelectionPort {
 public:
  static constexpr const char* kName = windows::kFileSelection;
  explicit StandInFileSelection(App& app)
      : StandInForm(app, kName, {{"File1", Kind::FileList}, {"List1", Kind::ListBox}}) {}
  void showFolderMode() override { ++folderModeShown; }
  void showFolderInstruction(bool folders) override { instructionForFolders = folders; }
  void filterFiles(const std::string& pattern) override {
    c("File1").setPattern(pattern);
    ++relisted;
  }
  std::string filePattern() const override { return c("File1").pattern(); }
  void chooseFiles(const std::vector<std::string>& paths) override { chosenFiles = paths; }
  std::vector<std::string> chosenFiles;
  int relisted = 0;
  int folderModeShown = 0;
  std::optional<bool> instructionForFolders;
};

// Defines the stand-in T under its window's name.
template <class T>
void defineStandIn(FormRegistry& forms) {
  forms.define(T::kName, [](App& app) { return std::make_unique<T>(app); });
}

}  // namespace zv::testing
