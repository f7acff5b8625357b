// Where an archive member lands: member names come from the archive and are not trusted. A name
// is taken relative to the folder it is extracted into; one that would reach outside it (a
// drive, a ".." step, a symbolic link of the destination pointing elsewhere) is refused.
#pragma once
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

namespace zv::extract {

// The member name as the LZH library places it below the destination, its components joined
// with '\' (a leading root and a stored drive dropped), or nothing when the library refuses
// it (empty, a ".." step, a drive left after that, a control character, too long).
std::optional<std::string> relativeMemberName(const std::string& member);

// folder joined with the relative member name, when the result stays inside `folder` also on
// disk (no symbolic link on the way points outside). Nothing otherwise.
std::optional<std::string> memberPathUnder(const std::string& folder, const std::string& member);

// A folder entry ("dir/") has nothing of its own to extract: its members come out by their own
// entries.
bool isFolderEntry(const std::string& member);

// memberPathUnder for many members of one run: the destination and each folder the members
// land in are followed on disk once, not once per member.
class MemberPlaces {
 public:
  explicit MemberPlaces(std::string folder) : folder_(std::move(folder)) {}
  struct Place {
    std::string path;        // the program path, as memberPathUnder gives it
    std::string host;        // the same on disk (the program path when the drive is not ready)
    bool fileThere = false;  // an ordinary file stands there now (a link to one counts)
  };
  std::optional<Place> place(const std::string& member);
  std::optional<std::string> under(const std::string& member) {
    auto p = place(member);
    return p ? std::optional<std::string>(p->path) : std::nullopt;
  }

 private:
  std::string onDisk(const std::string& host, bool& fileThere);
  std::string folder_;
  std::optional<std::string> base_;
  std::unordered_map<std::string, std::string> folders_;  // host folder -> followed
};

}  // namespace zv::extract
