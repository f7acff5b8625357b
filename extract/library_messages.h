// The explanations shown when the ZIP or the ISH library is not installed.
#pragma once
#include <string>

namespace zv::extract {

// Lines each followed by CR LF.
// `page`: where the library can be obtained again (see libraryHelpPage).
std::string zipLibraryMissingText(const std::string& page);
std::string ishLibraryMissingText(const std::string& page);
// The address of the help page that tells how to get the libraries back.
std::string libraryHelpPage(const std::string& programFolder);

}  // namespace zv::extract
