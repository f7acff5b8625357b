#include "extract/extract_run.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/app.h"
#include "core/forms/steps.h"
#include "core/libraries/library_host.h"
#include "core/messages/failure_cause.h"
#include "extract/archive_access.h"
#include "extract/extract_commands.h"
#include "extract/kept_file.h"
#include "extract/member_paths.h"
#include "extract/name_choice.h"
#include "extract/run_support.h"
#include "platform/drives.h"
#include "platform/fileops.h"
#include "zorvex/archiver_api.h"

namespace zv::extract {

namespace {
constexpr uint32_t kRunBuffer = 1024;

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

// The command of one member; nothing when the options say that no command is issued.
using MemberCommand = std::function<std::optional<std::string>(const std::string& name)>;

// The members' library runs share one progress window, closed before the run's last word
// and however the loop ends.
class MemberSpan {
 public:
  explicit MemberSpan(App& app) : host_(app.libraryHost) {}
  MemberSpan(const MemberSpan&) = delete;
  MemberSpan& operator=(const MemberSpan&) = delete;
  ~MemberSpan() { end(); }
  void at(size_t index, size_t count) {
    if (host_) host_->setSpan(index, count);
  }
  void end() {
    if (host_) host_->endSpan();
  }

 private:
  LibraryHost* host_;
};

// One library call per selected member, in list order. The window asks about and sets aside
// the file already there itself, so the library only ever writes a new file: a ZIP told
// never to overwrite still replaces what the user agreed to replace.
void runMembers(Form& window, const std::vector<std::string>& members, ArchiveKind kind,
                const MemberCommand& command) {
  Shared& s = window.shared();
  std::vector<std::string> refused;
  // Each member's place is checked below; the destination folders are listed once for it.
  CaseLookupMemo memo;
  MemberPlaces places(s.ExtractFolder);
  MemberSpan span(window.app());
  for (size_t index = 0; index < members.size(); ++index) {
    const std::string& name = members[index];
    if (kind == ArchiveKind::Zip) window.services().doEvents();
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
      span.end();
      showRefusedMembers(window, refused);
      return;
    }
    if (choice == Overwrite::Skip) continue;
    std::optional<std::string> line = command(memberTail(s.ExtractFolder, name));
    if (!line) continue;
    // The old file is set aside, not deleted, until the library has written the new one.
    std::unique_ptr<KeptFile> kept;
    Steps steps;
    if (place->fileThere && !steps([&] { kept = std::make_unique<KeptFile>(place->path); })) {
      span.end();
      endFailedRun(window, refused, memberCause(name, failureCause(steps.err())));
      return;
    }
    span.at(index, members.size());
    int code = runCommand(window, kind, *line, kRunBuffer).code;
    if (code == ZV_ERROR_UNSAFE_NAME) {
      // Only this member: it is listed for the user and the others still come out.
      if (kept) steps([&] { kept->restore(); });
      refused.push_back(name);
      continue;
    }
    if (code != 0) {
      if (kept) steps([&] { kept->restore(); });
      span.end();
      endFailedRun(window, refused, memberCause(name, libraryFailureCause(code)));
      return;
    }
    if (kept) steps([&] { kept->commit(); });
    CaseLookupMemo::noteMade(place->host);
  }
  span.end();
  endRun(window, refused);
}
}  // namespace

void runLhaExtract(Form& window, const std::vector<std::string>& members) {
  Shared& s = window.shared();
  std::string archive = withNameSwitch(
      window.app(), lhaArchiveText(s.StartMode, window.app().commandLine, s.ArchiveFile));
  runMembers(window, members, ArchiveKind::Lzh, [&](const std::string& tail) {
    return lhaRunCommand(s.ShowExtractProgress, archive, tail);
  });
}

void runZipExtract(Form& window, const std::vector<std::string>& members) {
  Shared& s = window.shared();
  runMembers(window, members, ArchiveKind::Zip, [&](const std::string& tail) {
    return std::optional<std::string>(
        zipRunCommand(withNameSwitch(window.app(), s.ArchiveFile), tail));
  });
}

}  // namespace zv::extract
