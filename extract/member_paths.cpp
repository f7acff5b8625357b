#include "extract/member_paths.h"

#include <filesystem>

#include "platform/drives.h"
#include "platform/winpath.h"

namespace zv::extract {

namespace stdfs = std::filesystem;

std::optional<std::string> relativeMemberName(const std::string& member) {
  size_t start = member.find_first_not_of("/\\");
  if (start == std::string::npos) return std::nullopt;
  std::string name = member.substr(start);
  size_t pos = 0;
  while (pos <= name.size()) {
    size_t end = name.find_first_of("/\\", pos);
    if (end == std::string::npos) end = name.size();
    std::string part = name.substr(pos, end - pos);
    if (part == ".." || part.find(':') != std::string::npos) return std::nullopt;
    pos = end + 1;
  }
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

}  // namespace zv::extract
