#include "extract/member_export.h"

#include <optional>

#include "core/app.h"
#include "core/forms/steps.h"
#include "core/messages/failure_cause.h"
#include "extract/archive_access.h"
#include "extract/export_folders.h"
#include "extract/extract_commands.h"
#include "extract/member_paths.h"
#include "extract/member_viewing.h"
#include "extract/name_choice.h"
#include "extract/run_support.h"
#include "platform/fileops.h"
#include "platform/winpath.h"
#include "zorvex/archiver_api.h"

namespace zv::extract {

namespace {
constexpr uint32_t kRunBuffer = 1024;

bool isFolderEntry(const std::string& name) {
  return !name.empty() && (name.back() == '/' || name.back() == '\\');
}

std::vector<std::string> withoutFolders(const std::vector<std::string>& members) {
  std::vector<std::string> names;
  for (const std::string& name : members)
    if (!isFolderEntry(name)) names.push_back(name);
  return names;
}

// One member into the folder; always with the library's progress, which can cancel.
int extractMember(Form& contents, bool zip, const std::string& folder, const std::string& name) {
  Shared& s = contents.shared();
  const std::string tail = memberTail(winpath::withTrailingSeparator(folder), name);
  // The names are those of the list, read in the encoding the user chose for this archive.
  const App& app = contents.app();
  if (zip)
    return runCommand(contents, ArchiveKind::Zip,
                      zipRunCommand(withNameSwitch(app, s.ArchiveFile), tail), kRunBuffer)
        .code;
  std::string archive =
      withNameSwitch(app, lhaArchiveText(s.StartMode, app.commandLine, s.ArchiveFile));
  return runCommand(contents, ArchiveKind::Lzh, "x -gn " + archive + " " + tail, kRunBuffer).code;
}
}  // namespace

std::vector<std::string> exportMembers(Form& contents, const std::vector<std::string>& members) {
  std::vector<std::string> names = withoutFolders(members);
  if (names.empty()) return {};
  Steps steps;
  std::string folder;
  if (!steps([&] { folder = makeExportFolder(contents.shared().TempFolder); })) {
    showExtractError(contents, failureCause(steps.err()));
    return {};
  }
  const bool zip = selectionIsZip(contents);
  std::vector<std::string> files, refused;
  for (const std::string& name : names) {
    std::optional<std::string> path = memberPathUnder(folder, name);
    if (!path) {
      refused.push_back(name);
      continue;
    }
    int code = extractMember(contents, zip, folder, name);
    if (code == ZV_ERROR_UNSAFE_NAME) {
      refused.push_back(name);
      continue;
    }
    if (code == ZV_ERROR_USER_CANCEL) return {};
    if (code != 0) {
      showExtractError(contents, libraryFailureCause(code));
      return {};
    }
    if (fs::isFile(*path)) files.push_back(*path);
  }
  showRefusedMembers(contents, refused);
  return files;
}

void copyMembers(Form& contents, const std::vector<std::string>& members) {
  std::vector<std::string> files = exportMembers(contents, members);
  if (!files.empty()) contents.services().setClipboardFiles(files);
}

}  // namespace zv::extract
