// Where an archive member lands: member names come from the archive and are not trusted. A name
// is taken relative to the folder it is extracted into; one that would reach outside it (a
// drive, a ".." step, a symbolic link of the destination pointing elsewhere) is refused.
#pragma once
#include <optional>
#include <string>

namespace zv::extract {

// The member name with leading '/' and '\' removed, or nothing when the name is empty or
// would leave the folder it is extracted into (a drive or a ".." component).
std::optional<std::string> relativeMemberName(const std::string& member);

// folder joined with the relative member name, when the result stays inside `folder` also on
// disk (no symbolic link on the way points outside). Nothing otherwise.
std::optional<std::string> memberPathUnder(const std::string& folder, const std::string& member);

}  // namespace zv::extract
