// The explanations shown when the ZIP or the ISH library is not installed.
#pragma once
#include <string>

namespace zv::extract {

// Lines each followed by CR LF.
std::string zipLibraryMissingText();
std::string ishLibraryMissingText();

// Whether an ordinary file of that name (compared without regard to case) is in the folder.
bool libraryFilePresent(const std::string& folder, const std::string& fileName);

}  // namespace zv::extract
