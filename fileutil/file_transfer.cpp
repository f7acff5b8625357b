#include "fileutil/file_transfer.h"

#include "core/forms/form.h"
#include "core/services/services.h"
#include "platform/fileops.h"

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

void discardFile(const std::string& path) { fs::moveToTrash(path); }

namespace {
const char* verbOf(FileAction action) {
  switch (action) {
    case FileAction::Copy: return "コピー";
    case FileAction::Move: return "移動";
    case FileAction::Delete: return "削除";
  }
  return "";
}
}  // namespace

std::string failureText(FileAction action, const FailureTally& tally) {
  std::string verb = verbOf(action);
  if (tally.count() == 1) return "ファイル " + tally.first() + " を" + verb + "できませんでした";
  return verb + "できなかったファイルが " + std::to_string(tally.count()) + " 個あります．\r\n" +
         "最初のファイル： " + tally.first();
}

bool reportFailures(Form& form, FileAction action, const FailureTally& tally,
                    const std::string& title) {
  if (tally.count() == 0) return false;
  form.services().messageBox(failureText(action, tally), MsgButtons::OK, MsgIcon::Exclamation,
                             title);
  return true;
}

}  // namespace zv
