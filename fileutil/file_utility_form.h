// DeComp4: the two-pane file utility. The upper pane (Label2, Drive1, Dir1, File1) is the
// working pane, the lower pane (Label3, Drive2, Dir2, File2) the default target; picture
// buttons on the right, a trash can and a rename tag as drop targets, a text preview that can
// take the lower pane's place, and a menu bar.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "core/forms/form.h"

namespace zv {

class FileUtilityForm : public Form {
 public:
  explicit FileUtilityForm(App& app);

  void load() override;
  void unloading(bool& cancel) override;

  // "Left" after a left-button press on a file list, empty after any other press: a drop on
  // the other list then copies ("Left") or moves (empty).
  std::string DragButton;
  // "File1" or "File2": the list the most recent press (and so the drag) started on.
  std::string DragSource;

 private:
  // file_utility_form.cpp: layout, panes, drags, preview, labels.
  void wirePanes();
  void wirePaneFolder(const std::string& drive, const std::string& folder, const std::string& files,
                      const std::string& label);
  void pressOnFileList(const std::string& list, const MouseEvent& e);
  // What a press on the list's focused file prepares for a drop: the drag source, the button
  // and the path label.
  void takeFromList(const std::string& list, bool leftButton);
  void fillFileInformation();
  void showPreview();
  void resetDropTargets();
  void refreshDialogPath();
  void backToMenu();

  // file_utility_operations.cpp: the file operations.
  void wireOperations();
  void dropOnFileList(const std::string& target);
  void dropOnTrash();
  void trashDoubleClick();
  void dropOnNameTag();
  void newFolder();
  void copyAll(bool move);
  void deleteAll();
  void execute();
  void makeSfx();

  // file_utility_keys.cpp: the keys of the lists, each doing what a drag or drop does.
  void wireKeys();
  void keyOnList(const std::string& list, int& key, int shift);
  void dropFilesFromKeys(const std::string& list, const std::vector<std::string>& names,
                         const std::function<void()>& drop, bool copy);
  // Ctrl+C / Ctrl+X remember the list and files to copy or move; Ctrl+V on the other list
  // drops them.
  std::string markedList_;
  std::vector<std::string> markedFiles_;
  bool markedMove_ = false;

  // file_utility_archive.cpp: the archive menu (test, rescue) and its keys.
  void wireArchiveMenu();
  std::vector<std::string> markedArchives();
  void rescueArchives();

  // file_utility_menus.cpp: the menu bar.
  void wireMenus();
  void toggleViewer();
  void setPreviewFont(const std::string& item);
  void setListFont(const std::string& item);
  void exchangePanes();
  void openInFileManager(bool upper, bool lower);
  void showLibraryVersion();
};

}  // namespace zv
