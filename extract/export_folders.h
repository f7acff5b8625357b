// Private folders under the Temp work folder that hold members extracted for other programs
// (a drag out of the contents window, a copy to the clipboard). Each export gets a folder of
// its own, so two exports of members with the same name never meet; all of them are removed
// when the program ends, and folders left by a run that did not end normally are removed by
// the next one.
#pragma once
#include <string>

namespace zv::extract {

// A new, empty folder "drag-<process id>-<n>" in `tempFolder` (program paths). Raises the
// runtime error of the failed step when it cannot be made.
std::string makeExportFolder(const std::string& tempFolder);

// Removes every folder made by makeExportFolder in this run, with what is in it. Also runs
// when the program ends.
void removeExportFolders();

// The prefix of the folders' names.
inline constexpr const char* kExportFolderPrefix = "drag-";

}  // namespace zv::extract
