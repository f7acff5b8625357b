#include "extract/extract_run.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/app.h"
#include "core/forms/steps.h"
#include "core/messages/failure_cause.h"
#include "extract/archive_access.h"
#include "extract/extract_commands.h"
#include "extract/kept_file.h"
#include "extract/member_paths.h"
#include "extract/run_support.h"
#include "platform/drives.h"
#include "platform/fileops.h"
#include "zorvex/archiver_api.h"

namespace zv::extract {

namespace {
constexpr uint32_t kRunBuffer = 1024;

// A folder entry has no tail of its own; its members are extracted by their own entries.
bool isFolderEntry(const std::string& name) {
  return !name.empty() && (name.back() == '/' || name.back() == '\\');
}

enum class Overwrite { Extract, Skip, Cancel };

// `fileThere`: an ordinary file stands at the destination (looked at once for the member).
Overwrite askOverwrite(Form& window, const std::string& destination, bool fileThere) {
  const YesNo& mode = window.shared().OverwriteAll;
  if (mode.yes()) return Overwrite::Extract;
  if (!mode.no()) return Overwrite::Skip;
  if (!fileThere) return Overwrite::Extract;
  MsgAnswer a = window.services().messageBox(
      "同名ファイル " + destination + " が存在します．上書き解凍しますか？",
      MsgButtons::YesNoCancel, MsgIcon::Question, "LHA 解凍");
  if (a == MsgAnswer::Yes) return Overwrite::Extract;
  if (a == MsgAnswer::No) return Overwrite::Skip;
  return Overwrite::Cancel;
}
}  // namespace

void runLhaExtract(Form& window, Control& members) {
  Shared& s = window.shared();
  std::string archive = lhaArchiveText(s.StartMode, window.app().commandLine, s.ArchiveFile);
  std::vector<std::string> refused;
  // Each member's place is checked below; the destination folders are listed once for it.
  CaseLookupMemo memo;
  MemberPlaces places(s.ExtractFolder);
  for (int i = 0; i < members.listCount(); ++i) {
    if (!members.selected(i)) continue;
    std::string name = members.list(i);
    if (isFolderEntry(name)) continue;
    // The window asks about and sets aside the file already there itself, so it needs the
    // member's place inside the destination before the library runs.
    std::optional<MemberPlaces::Place> place = places.place(name);
    if (!place) {
      refused.push_back(name);
      continue;
    }
    Overwrite choice = askOverwrite(window, place->path, place->fileThere);
    if (choice == Overwrite::Cancel) {
      showRefusedMembers(window, refused);
      return;
    }
    if (choice == Overwrite::Skip) continue;
    auto command = lhaRunCommand(s.ShowExtractProgress, archive, memberTail(s.ExtractFolder, name));
    if (!command) continue;
    // The old file is set aside, not deleted, until the library has written the new one.
    std::unique_ptr<KeptFile> kept;
    Steps steps;
    if (place->fileThere && !steps([&] { kept = std::make_unique<KeptFile>(place->path); })) {
      endFailedRun(window, refused, failureCause(steps.err()));
      return;
    }
    int code = runCommand(window, ArchiveKind::Lzh, *command, kRunBuffer).code;
    if (code != 0) {
      if (kept) steps([&] { kept->restore(); });
      endFailedRun(window, refused, libraryFailureCause(code));
      return;
    }
    if (kept) steps([&] { kept->commit(); });
    CaseLookupMemo::noteMade(place->host);
  }
  endRun(window, refused);
}

void runZipExtract(Form& window, Control& members) {
  Shared& s = window.shared();
  std::vector<std::string> refused;
  for (int i = 0; i < members.listCount(); ++i) {
    if (members.selected(i)) {
      std::string name = members.list(i);
      if (!isFolderEntry(name)) {
        // Each member is its own run, so a name the library refuses (one that would leave
        // the destination) is only listed for the user and the other members still come out.
        std::string command = zipRunCommand(s.ArchiveFile, memberTail(s.ExtractFolder, name));
        int code = runCommand(window, ArchiveKind::Zip, command, kRunBuffer).code;
        if (code == ZV_ERROR_UNSAFE_NAME) {
          refused.push_back(name);
        } else if (code != 0) {
          endFailedRun(window, refused, libraryFailureCause(code));
          return;
        }
      }
    }
    window.services().doEvents();
  }
  endRun(window, refused);
}

}  // namespace zv::extract
