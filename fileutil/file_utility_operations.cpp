// The file operations of the file utility: drops on the lists, the trash can and the rename
// tag, the copy-all / move-all / delete-all / execute / new-folder / self-extracting buttons.
#include <functional>
#include <vector>

#include "core/app.h"
#include "core/forms/steps.h"
#include "core/libraries/archivers.h"
#include "core/libraries/library_call.h"
#include "core/messages/failure_cause.h"
#include "fileutil/file_transfer.h"
#include "fileutil/file_utility_form.h"
#include "fileutil/sfx_command.h"
#include "platform/fileops.h"
#include "platform/winpath.h"
#include "ui/common/new_folder_request.h"
#include "ui/common/window_common.h"
#include "zorvex/archiver_api.h"

namespace zv {

namespace {
const std::string kCR = "\r";  // the file utility's confirmations break lines with CR alone

bool fileThere(const std::string& path) {
  Steps steps;
  bool there = false;
  steps([&] { there = fs::isFile(path); });
  return there;
}

bool fileOrFolderThere(const std::string& path) {
  Steps steps;
  bool there = false;
  steps([&] { there = fs::exists(path); });
  return there;
}

// Runs one file step; a failure is counted under the file's name instead of stopping.
template <class F>
bool attempt(FailureTally& tally, const std::string& name, F&& step) {
  Steps steps;
  if (steps(std::forward<F>(step))) return true;
  tally.add(name, steps.err());
  return false;
}

void refresh(Control& list) {
  Steps steps;
  steps([&] { list.refresh(); });
}

enum class PermanentDelete { NotNeeded, Agreed, Declined };

// Files that no trash can take would be gone for good: before the deletion question the user
// is told so and asked whether to go on. `names` are the files of `folder` to be deleted.
PermanentDelete askAboutPermanentDelete(Services& services, const std::string& folder,
                                        const std::vector<std::string>& names) {
  std::vector<std::string> lost;
  for (const auto& name : names)
    if (!trashCanTake(winpath::join(folder, name))) lost.push_back(name);
  if (lost.empty()) return PermanentDelete::NotNeeded;
  std::string text = lost.size() == 1
                         ? lost.front() + " はごみ箱に入れられません．"
                         : "ごみ箱に入れられないファイルが " + std::to_string(lost.size()) +
                               " 個あります（最初のファイル： " + lost.front() + "）．";
  text += kCR + "削除すると元に戻せません．削除しますか？";
  MsgAnswer a = services.messageBox(text, MsgButtons::YesNo, MsgIcon::Question, "削除の確認");
  return a == MsgAnswer::Yes ? PermanentDelete::Agreed : PermanentDelete::Declined;
}

// The warning above when it applies, then the deletion `question`: Declined when either is
// answered No.
PermanentDelete confirmDelete(Services& services, const std::string& folder,
                              const std::vector<std::string>& names, const std::string& question) {
  PermanentDelete permanent = askAboutPermanentDelete(services, folder, names);
  if (permanent == PermanentDelete::Declined) return permanent;
  MsgAnswer a = services.messageBox(question, MsgButtons::YesNo, MsgIcon::Question, "削除の確認");
  return a == MsgAnswer::Yes ? permanent : PermanentDelete::Declined;
}
}  // namespace

void FileUtilityForm::wireOperations() {
  c("File1").onDragDrop = [this](Control&, double, double) { dropOnFileList("File1"); };
  c("File2").onDragDrop = [this](Control&, double, double) { dropOnFileList("File2"); };
  c("Image8").onDragDrop = [this](Control&, double, double) { dropOnTrash(); };
  c("Image8").onDblClick = [this] { trashDoubleClick(); };
  c("Image10").onDragDrop = [this](Control&, double, double) { dropOnNameTag(); };

  auto button = [this](const std::string& name, std::function<void()> action) {
    makePressedPicture(c(name), kMainPictureOffset, [action](const MouseEvent&) { action(); });
  };
  button("Image5", [this] { copyAll(false); });
  button("Image4", [this] { copyAll(true); });
  button("Image1", [this] { deleteAll(); });
  button("Image6", [this] { execute(); });
  button("Image3", [this] { newFolder(); });
  button("Image12", [this] { makeSfx(); });
}

// A file dragged from one list and dropped on the other is copied (left button) or moved
// (any other button) into the folder of the list it was dropped on. The drag source is the
// list pressed last, not what the drop reports.
void FileUtilityForm::dropOnFileList(const std::string& target) {
  bool intoLower = target == "File2";
  std::string from = intoLower ? "File1" : "File2";
  if (DragSource != from) return;
  Control& sourceList = c(from);
  std::string name = sourceList.fileName();
  std::string source = c(intoLower ? "Label2" : "Label3").caption();
  std::string destination = winpath::join(c(intoLower ? "Dir2" : "Dir1").path(), name);
  if (c("Dir1").path() == c("Dir2").path()) return;
  if (name.empty() || !fileThere(source)) return;

  bool move = DragButton != "Left";
  if (fileOrFolderThere(destination)) {
    MsgAnswer a = services().messageBox(move ? "同名ファイルが存在します．上書き移動しますか？"
                                             : "同名ファイルが存在します．上書きコピーしますか？",
                                        MsgButtons::YesNo, MsgIcon::Question,
                                        move ? "ファイルの移動" : "ファイルのコピー");
    if (a != MsgAnswer::Yes) return;
  }
  FailureTally failures;
  attempt(failures, name, [&] {
    if (move)
      moveReplacing(source, destination);
    else
      copyReplacing(source, destination);
  });
  refresh(c("File1"));
  refresh(c("File2"));
  reportFailures(*this, move ? FileAction::Move : FileAction::Copy, failures,
                 move ? "ファイルの移動" : "ファイルのコピー");
}

void FileUtilityForm::dropOnTrash() {
  bool upper = DragSource == "File1";
  if (!upper && DragSource != "File2") return;
  Control& list = c(upper ? "File1" : "File2");
  if (list.listCount() == 0) return;
  std::string path = c(upper ? "Label2" : "Label3").caption();
  if (!fileThere(path)) return;  // a label holding a folder deletes nothing
  PermanentDelete permanent =
      confirmDelete(services(), winpath::parentFolder(path), {winpath::fileName(path)},
                    path + "　を削除します．よろしいですか？");
  if (permanent == PermanentDelete::Declined) return;
  FailureTally failures;
  bool removed = attempt(failures, winpath::fileName(path),
                         [&] { discardFile(path, permanent == PermanentDelete::Agreed); });
  refresh(c("File1"));
  refresh(c("File2"));
  if (removed) {
    c("Image8").setVisible(false);
    c("Image9").setVisible(true);
  }
  reportFailures(*this, FileAction::Delete, failures, "ファイルの削除");
}

void FileUtilityForm::trashDoubleClick() {
  Control& list = c("File1");
  if (list.listCount() == 0) return;
  std::string folder = c("Dir1").path();
  std::vector<std::string> chosen;
  for (int i = 0; i < list.listCount(); ++i)
    if (list.selected(i)) chosen.push_back(list.list(i));
  PermanentDelete permanent = confirmDelete(
      services(), folder, chosen, "選択されたファイルを削除します" + kCR + "よろしいですか？");
  if (permanent == PermanentDelete::Declined) {
    refresh(list);
    return;
  }
  FailureTally failures;
  for (const auto& name : chosen) {
    attempt(failures, name, [&] {
      discardFile(winpath::join(folder, name), permanent == PermanentDelete::Agreed);
    });
  }
  c("Image8").setVisible(false);
  c("Image9").setVisible(true);
  refresh(list);
  reportFailures(*this, FileAction::Delete, failures, "ファイルの削除");
}

void FileUtilityForm::dropOnNameTag() {
  if (c("File1").listCount() == 0) return;
  if (DragSource != "File1") {
    services().messageBox("リネームするファイルは，上段のリストから選択してください",
                          MsgButtons::OK, MsgIcon::Information, "ファイル名の変更");
    return;
  }
  Steps steps;
  services().setBusy(true);
  c("Image10").setVisible(false);
  c("Image11").setVisible(true);
  // The dialog renames the file named in Label2 and puts the new path back there.
  auto self = [](Form& f) -> FileUtilityForm& { return static_cast<FileUtilityForm&>(f); };
  NewFolderRequest request = newFolderRequest(
      forms(), windows::kFileUtility, NewFolderRequest::Purpose::Rename,
      [self](Form& f) { return self(f).renameBase(); },
      [self](Form& f, const std::string& renamed) { self(f).renamedTo(renamed); });
  request.source = [&forms = forms(), self] {
    Form* f = forms.find(windows::kFileUtility);
    return f ? self(*f).nameTagPath() : std::string();
  };
  request.caption = "ファイル名の変更";
  request.prompt = "新しいﾌｧｲﾙの名前：";
  steps([&] { request.path = winpath::withTrailingSeparator(c("Dir1").path()); });
  openNewFolderDialog(*this, std::move(request));
  services().setBusy(false);
}

std::string FileUtilityForm::renameBase() const {
  std::string base = c("Dir1").path();
  if (!base.empty() && base.back() == ':') base += '\\';
  return base;
}

std::string FileUtilityForm::nameTagPath() const { return c("Label2").caption(); }

void FileUtilityForm::renamedTo(const std::string& renamed) {
  Steps steps;
  steps([&] { c("Label2").setCaption(renamed); });
  steps([&] { c("File1").refresh(); });
}

std::string FileUtilityForm::lowerFolder() const { return c("Dir2").path(); }

void FileUtilityForm::moveLowerTo(const std::string& folder) { c("Dir2").setPath(folder); }

void FileUtilityForm::newFolder() {
  // The new folder goes below the lower pane's folder and becomes that pane's folder.
  NewFolderRequest request = newFolderRequest(
      forms(), windows::kFileUtility, NewFolderRequest::Purpose::UtilityFolder,
      [](Form& f) { return static_cast<FileUtilityForm&>(f).lowerFolder(); },
      [](Form& f, const std::string& made) { static_cast<FileUtilityForm&>(f).moveLowerTo(made); });
  request.caption = "新規フォルダの作成";
  Steps steps;
  steps([&] { request.path = winpath::withTrailingSeparator(c("Dir2").path()); });
  openNewFolderDialog(*this, std::move(request));
}

// Every file of the upper list, selected or not, into the lower pane's folder.
void FileUtilityForm::copyAll(bool move) {
  Control& upper = c("File1");
  Control& lower = c("File2");
  if (upper.listCount() == 0) return;
  std::string from = c("Dir1").path(), to = c("Dir2").path();
  if (from == to) return;
  const std::string title = move ? "全移動" : "全コピー";
  // The same folder reached through a symbolic link: every file would be its own target.
  bool same = false;
  Steps steps;
  steps([&] { same = fs::sameEntry(from, to); });
  if (same) {
    services().messageBox(
        move ? "移動元と移動先が同じフォルダです．" : "コピー元とコピー先が同じフォルダです．",
        MsgButtons::OK, MsgIcon::Exclamation, title);
    return;
  }
  std::vector<std::string> names = upper.items();
  FailureTally failures;
  for (const auto& name : names) {
    std::string source = winpath::join(from, name);
    std::string target = winpath::join(to, name);
    bool go = true;
    if (fileOrFolderThere(target)) {
      MsgAnswer a = services().messageBox("同名ファイル " + name +
                                              (move ? " が存在します．上書き移動しますか？"
                                                    : " が存在します．上書きコピーしますか？"),
                                          MsgButtons::YesNoCancel, MsgIcon::Question,
                                          move ? "ファイルの移動" : "ファイルコピー");
      if (a != MsgAnswer::Yes && a != MsgAnswer::No) {
        // Cancel ends the run at once; what failed so far is still told.
        reportFailures(*this, move ? FileAction::Move : FileAction::Copy, failures, title);
        return;
      }
      go = a == MsgAnswer::Yes;
    }
    if (go) {
      attempt(failures, name, [&] {
        if (move)
          moveReplacing(source, target);
        else
          copyReplacing(source, target);
      });
      refresh(lower);
    }
    services().doEvents();
    // The window may have been closed while events ran; then the run ends with it.
    if (forms().find(this->name()) != this) return;
  }
  if (move) refresh(upper);
  if (reportFailures(*this, move ? FileAction::Move : FileAction::Copy, failures, title)) return;
  services().messageBox(move ? "全移動が終了しました" : "全コピーが終了しました", MsgButtons::OK,
                        MsgIcon::Information, title);
}

void FileUtilityForm::deleteAll() {
  Control& list = c("File1");
  for (int i = 0; i < list.listCount(); ++i) list.setSelected(i, true);  // show what is meant
  if (list.listCount() == 0) return;
  std::string folder = c("Dir1").path();
  std::vector<std::string> names = list.items();
  PermanentDelete permanent = confirmDelete(
      services(), folder, names, "選択された全ファイルを削除します" + kCR + "よろしいですか？");
  if (permanent == PermanentDelete::Declined) {
    refresh(list);
    return;
  }
  FailureTally failures;
  for (const auto& name : names) {
    attempt(failures, name, [&] {
      discardFile(winpath::join(folder, name), permanent == PermanentDelete::Agreed);
    });
  }
  refresh(list);
  reportFailures(*this, FileAction::Delete, failures, "ファイルの削除");
}

void FileUtilityForm::execute() {
  std::string path = c("Label2").caption();
  if (!fileThere(path)) return;
  services().shellOpen(path);
}

void FileUtilityForm::makeSfx() {
  if (!isLzhName(c("File1").fileName())) {
    services().messageBox("LZH ファイルを選択してください", MsgButtons::OK, MsgIcon::Exclamation,
                          "自己解凍ファイルの作成");
    return;
  }
  std::string command =
      sfxCommand(c("Label2").caption(), shared().SfxFolder, shared().CustomizeSfx);
  Steps steps;
  int code = 0;
  steps([&] {
    code =
        runArchiver(app().archivers, Archiver::Lha, command, nullptr, 0, static_cast<Form*>(this));
  });
  // A self-extracting archive that was not made is said so, with its cause; the lower pane
  // still goes to the folder. A cancel in the library's own dialog is the user's choice.
  if (code != 0 && code != ZV_ERROR_USER_CANCEL) {
    services().messageBox(
        withCause("自己解凍ファイルの作成中にエラーが生じました", libraryFailureCause(code)),
        MsgButtons::OK, MsgIcon::Exclamation, "自己解凍ファイルの作成");
  }
  steps([&] { c("Dir2").setPath(shared().SfxFolder); });
  steps([&] { c("File2").refresh(); });
}

}  // namespace zv
