// The explanations shown when the ZIP or the ISH library is not installed.
#pragma once
#include <string>

namespace zv::extract {

// Lines each followed by CR LF.
std::string zipLibraryMissingText();
std::string ishLibraryMissingText();

}  // namespace zv::extract
