// The menu bar of the file utility: file information, the text preview and its font, the
// lists' font, exchanging the panes, the file manager, help and the version displays.
#include "core/app.h"
#include "core/forms/steps.h"
#include "core/libraries/archivers.h"
#include "fileutil/file_utility_form.h"
#include "fileutil/sfx_command.h"
#include "platform/winpath.h"
#include "ui/common/window_common.h"

namespace zv {

namespace {
// List font sizes and the list heights that go with them.
struct ListFont {
  const char* item;
  double size, fileHeight, folderHeight;
};
const ListFont kListFonts[] = {
    {"menu10", 10, 2175, 1830},
    {"menu12", 12, 2190, 1920},
    {"menu14", 14, 2310, 1920},
};

struct PreviewFont {
  const char* item;
  double size;
};
const PreviewFont kPreviewFonts[] = {{"menuSmall", 8}, {"menuNormal", 10}, {"menuLarge", 12}};
}  // namespace

void FileUtilityForm::wireMenus() {
  c("menuInfo").onClick = [this] {
    shared().InfoCaller = FileInfoCaller::FileUtility;
    Steps steps;
    steps([&] { forms().show(windows::kFileInfo); });
  };
  c("menuOpenView").onClick = [this] { toggleViewer(); };
  for (const auto& f : kPreviewFonts) {
    std::string item = f.item;
    c(item).onClick = [this, item] { setPreviewFont(item); };
  }
  for (const auto& f : kListFonts) {
    std::string item = f.item;
    c(item).onClick = [this, item] { setListFont(item); };
  }
  c("menuChDir").onClick = [this] { exchangePanes(); };
  c("menuUe").onClick = [this] { openInFileManager(true, false); };
  c("menuSita").onClick = [this] { openInFileManager(false, true); };
  c("menuUeSita").onClick = [this] { openInFileManager(true, true); };
  c("menuIndex").onClick = [this] { services().help(app().helpFile, kHelpContents, 0); };
  c("menuSearch").onClick = [this] { services().help(app().helpFile, kHelpKeySearch, 0); };
  c("menuZorvexVer").onClick = [this] {
    Steps steps;
    steps([&] { forms().show(windows::kAbout); });
  };
  c("menuVer").onClick = [this] { showLibraryVersion(); };
}

void FileUtilityForm::toggleViewer() {
  Control& item = c("menuOpenView");
  bool on = !item.checked();
  item.setChecked(on);
  for (const char* name : {"Drive2", "Dir2", "File2"}) c(name).setVisible(!on);
  c("Text1").setVisible(on);
}

void FileUtilityForm::setPreviewFont(const std::string& chosen) {
  for (const auto& f : kPreviewFonts) {
    if (chosen == f.item) c("Text1").setFontSize(f.size);
  }
  for (const auto& f : kPreviewFonts) c(f.item).setChecked(chosen == f.item);
}

void FileUtilityForm::setListFont(const std::string& chosen) {
  for (const auto& f : kListFonts) {
    if (chosen != f.item) continue;
    for (const char* name : {"Dir1", "Dir2", "File1", "File2"}) c(name).setFontSize(f.size);
    c("File1").setHeight(f.fileHeight);
    c("File2").setHeight(f.fileHeight);
    c("Dir1").setHeight(f.folderHeight);
    c("Dir2").setHeight(f.folderHeight);
  }
  for (const auto& f : kListFonts) c(f.item).setChecked(chosen == f.item);
}

void FileUtilityForm::exchangePanes() {
  Steps steps;
  std::string upperDrive = c("Drive1").drive();
  std::string upperFolder = c("Dir1").path();
  std::string lowerDrive = c("Drive2").drive();
  std::string lowerFolder = c("Dir2").path();
  steps([&] { c("Drive1").setDrive(lowerDrive); });
  steps([&] { c("Dir1").setPath(lowerFolder); });
  steps([&] { c("Drive2").setDrive(upperDrive); });
  steps([&] { c("Dir2").setPath(upperFolder); });
}

// The desktop's file manager stands in for the explorer; the window closes afterwards and the
// main menu, shown again by the close, is minimised.
void FileUtilityForm::openInFileManager(bool upper, bool lower) {
  Steps steps;
  if (upper) steps([&] { services().startFileManager(c("Dir1").path()); });
  if (lower) steps([&] { services().startFileManager(c("Dir2").path()); });
  steps([&] { unload(); });
  steps([&] { form(windows::kMenu).setWindowState(1); });
}

void FileUtilityForm::showLibraryVersion() {
  int version = 0;
  Steps steps;
  steps([&] {
    if (LhaLibrary* lha = app().archivers ? app().archivers->lha() : nullptr)
      version = lha->version();
  });
  services().messageBox(libraryVersionMessage(version), MsgButtons::OK, MsgIcon::Exclamation,
                        "バージョンチェック");
}

}  // namespace zv
