// Values of the extraction windows that outlive the windows themselves: the member last
// clicked in the contents window (kept across closing and reopening it) and the restore
// window's last destination. One set per application.
#pragma once
#include <string>

namespace zv {
struct App;
}

namespace zv::extract {

struct ExtractProcessState {
  std::string clickedMember;    // trimmed entry text enclosed in double quotes
  std::string clickedWorkPath;  // TempFolder, '\', the trimmed entry text
  std::string clickedName;      // the trimmed entry text itself
  std::string restoreFolder;    // RestoreFolder of the ISH restore window
};

ExtractProcessState& processState(const App& app);
// Drops the values of an application that is going away (tests create many).
void forgetProcessState(const App& app);

}  // namespace zv::extract
