// Path arguments of the commands: Windows-style through the drive table, or host paths.
#pragma once
#include <string>
#include <vector>

namespace zv::lzh {

// Host path of an argument. Throws LzhError(ZV_ERROR_CANNOT_OPEN) for a drive that is not
// ready.
std::string toHostPath(const std::string& arg);

// Components of a path argument without drive, empty parts, "." and "..": what is stored for
// a file given without a base folder.
std::vector<std::string> storedComponents(const std::string& arg);

// The archive argument as a host path; ".lzh" is added to a name without an extension when
// no file of that name exists.
std::string archiveHostPath(const std::string& arg);

// Host folder part and last component of a host path.
std::string hostParent(const std::string& hostPath);
std::string hostName(const std::string& hostPath);

}  // namespace zv::lzh
