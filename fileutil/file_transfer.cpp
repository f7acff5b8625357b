#include "fileutil/file_transfer.h"

#include "core/forms/form.h"
#include "core/messages/failure_cause.h"
#include "core/services/services.h"
#include "platform/fileops.h"
#include "platform/runtime_error.h"

namespace zv {

void copyReplacing(const std::string& from, const std::string& to) { fs::copyFile(from, to); }

void moveReplacing(const std::string& from, const std::string& to) {
  if (!fs::exists(to)) {
    fs::rename(from, to);
    return;
  }
  fs::copyFile(from, to);
  fs::deleteFile(from);
}

bool trashCanTake(const std::string& path) {
  try {
    return !fs::trashFolderFor(path).empty();
  } catch (const RuntimeError&) {
    return true;
  }
}

void discardFile(const std::string& path, bool permanentAgreed) {
  if (fs::moveToTrash(path)) return;
  if (!permanentAgreed) raiseError(kErrTrashUnavailable, path);
  if (fs::isFolder(path))
    fs::removeFolder(path);
  else
    fs::deleteFile(path);
}

namespace {
const char* verbOf(FileAction action) {
  switch (action) {
    case FileAction::Copy:
      return "コピー";
    case FileAction::Move:
      return "移動";
    case FileAction::Delete:
      return "削除";
  }
  return "";
}
}  // namespace

std::string failureText(FileAction action, const FailureTally& tally) {
  std::string verb = verbOf(action);
  std::string text;
  if (tally.count() == 1) {
    text = "ファイル " + tally.first() + " を" + verb + "できませんでした";
  } else {
    text = verb + "できなかったファイルが " + std::to_string(tally.count()) + " 個あります．\r\n" +
           "最初のファイル： " + tally.first();
  }
  return withCause(text, failureCause(tally.firstError()));
}

bool reportFailures(Form& form, FileAction action, const FailureTally& tally,
                    const std::string& title) {
  if (tally.count() == 0) return false;
  form.services().messageBox(failureText(action, tally), MsgButtons::OK, MsgIcon::Exclamation,
                             title);
  return true;
}

}  // namespace zv
