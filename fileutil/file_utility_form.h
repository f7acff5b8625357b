// DeComp4: the two-pane file utility. The upper pane (Label2, Drive1, Dir1, File1) is the
// working pane, the lower pane (Label3, Drive2, Dir2, File2) the default target; picture
// buttons on the right, a trash can and a rename tag as drop targets, a text preview that can
// take the lower pane's place, and a menu bar.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "core/forms/form.h"
#include "ui/common/window_ports.h"

namespace zv {

class FileUtilityForm : public Form, public FileUtilityPort {
 public:
  explicit FileUtilityForm(App& app);

  void load() override;
  void unloading(bool& cancel) override;

  void refreshFiles() override;
  void pointAt(const std::string& drive, const std::string& folder) override;
  void filterFiles(const std::string& pattern) override;
  std::string filePattern() const override;

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
  // What the name dialog reads and hands back while it works for this window.
  std::string renameBase() const;
  std::string nameTagPath() const;
  void renamedTo(const std::string& renamed);
  std::string lowerFolder() const;
  void moveLowerTo(const std::string& folder);
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

  // file_utility_exchange.cpp: files to and from other programs.
  void wireExchange();
  // Copies files from elsewhere into the list's folder, with the questions of a drop.
  void copyFilesIn(const std::string& list, const std::vector<std::string>& paths);
  // The highlighted files of a list as full paths.
  std::vector<std::string> highlightedPaths(const std::string& list);
  // Ctrl+C / Ctrl+X: remembers what the clipboard holds when files are marked; Ctrl+C first
  // offers the marked files to other programs there.
  void noteClipboard(const std::string& list, bool offer);
  // Ctrl+V: files another program put on the clipboard are copied in, unless they were there
  // already when files were marked here; false leaves Ctrl+V to the marked files.
  bool pasteFromOtherPrograms(const std::string& list);
  std::vector<std::string> offeredPaths_, clipboardAtMark_;
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

// The selected files of a list, in list order; the focused file when none is selected.
std::vector<std::string> highlightedFiles(const Control& list);

}  // namespace zv
