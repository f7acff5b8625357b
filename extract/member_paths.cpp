#include "extract/member_paths.h"

#include <filesystem>
#include <vector>

#include "platform/drives.h"
#include "platform/member_name.h"
#include "platform/winpath.h"

namespace zv::extract {

namespace stdfs = std::filesystem;

std::optional<std::string> relativeMemberName(const std::string& member) {
  // Judged as the LZH library judges the member before writing it, so the place the window
  // sets an old file aside at is the place the library writes to.
  std::vector<std::string> parts = withoutStoredDrive(displayedParts(member));
  if (checkParts(parts) != NameProblem::None) return std::nullopt;
  std::string name;
  for (const std::string& part : parts) name += (name.empty() ? "" : "\\") + part;
  return name;
}

std::optional<std::string> memberPathUnder(const std::string& folder, const std::string& member) {
  auto name = relativeMemberName(member);
  if (!name) return std::nullopt;
  std::string path = winpath::join(folder, *name);
  try {
    // Compare on disk: the existing part of the path, with its links followed, must stay
    // under the folder with its links followed.
    stdfs::path base = stdfs::weakly_canonical(hostPath(folder));
    stdfs::path target = stdfs::weakly_canonical(hostPath(path));
    if (!base.has_filename()) base = base.parent_path();
    auto b = base.begin(), t = target.begin();
    for (; b != base.end(); ++b, ++t) {
      if (t == target.end() || *b != *t) return std::nullopt;
    }
  } catch (const std::exception&) {
    // A folder that cannot be resolved (drive not ready): the name itself was checked, the
    // library decides the rest.
  }
  return path;
}

bool isFolderEntry(const std::string& member) {
  return !member.empty() && (member.back() == '/' || member.back() == '\\');
}

}  // namespace zv::extract
