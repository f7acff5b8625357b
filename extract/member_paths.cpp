#include "extract/member_paths.h"

#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "platform/drives.h"
#include "platform/fileops.h"
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
  return MemberPlaces(folder).under(member);
}

// The path with its links followed as far as it exists. A name that is no link takes its
// folder's result, kept for the next member in that folder.
std::string MemberPlaces::onDisk(const std::string& host, bool& fileThere) {
  struct stat st;
  bool exists = ::lstat(host.c_str(), &st) == 0;
  fileThere = exists && S_ISREG(st.st_mode);
  size_t cut = host.find_last_of('/');
  if (cut == std::string::npos || cut == 0 || host.back() == '/' ||
      (exists && S_ISLNK(st.st_mode))) {
    fileThere = fs::isFile(host);
    return stdfs::weakly_canonical(host).string();
  }
  std::string parent = host.substr(0, cut);
  auto known = folders_.find(parent);
  if (known == folders_.end())
    known = folders_.emplace(parent, stdfs::weakly_canonical(parent).string()).first;
  return (stdfs::path(known->second) / host.substr(cut + 1)).string();
}

std::optional<MemberPlaces::Place> MemberPlaces::place(const std::string& member) {
  auto name = relativeMemberName(member);
  if (!name) return std::nullopt;
  Place out;
  out.path = winpath::join(folder_, *name);
  out.host = out.path;
  try {
    // Compare on disk: the existing part of the path, with its links followed, must stay
    // under the folder with its links followed.
    if (!base_) base_ = stdfs::weakly_canonical(hostPath(folder_)).string();
    stdfs::path base = *base_;
    out.host = hostPath(out.path);
    stdfs::path target = onDisk(out.host, out.fileThere);
    if (!base.has_filename()) base = base.parent_path();
    auto b = base.begin(), t = target.begin();
    for (; b != base.end(); ++b, ++t) {
      if (t == target.end() || *b != *t) return std::nullopt;
    }
  } catch (const std::exception&) {
    // A folder that cannot be resolved (drive not ready): the name itself was checked, the
    // library decides the rest.
    out.fileThere = fs::isFile(out.path);
  }
  return out;
}

bool isFolderEntry(const std::string& member) {
  return !member.empty() && (member.back() == '/' || member.back() == '\\');
}

}  // namespace zv::extract
