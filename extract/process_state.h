// Values of the extraction windows that outlive the windows themselves: the member last
// clicked in the contents window (kept across closing and reopening it) and the restore
// window's last destination. One set per application.
#pragma once
#include <map>
#include <string>

#include "platform/name_encoding.h"

namespace zv {
struct App;
}

namespace zv::extract {

struct ExtractProcessState {
  std::string clickedMember;    // trimmed entry text enclosed in double quotes
  std::string clickedWorkPath;  // TempFolder, '\', the trimmed entry text
  std::string clickedName;      // the trimmed entry text itself
  std::string restoreFolder;    // RestoreFolder of the ISH restore window
  // Per archive (unquoted path): the name encoding the user chose, and the one last detected.
  std::map<std::string, encoding::NameEncoding> chosenNames, detectedNames;
};

ExtractProcessState& processState(const App& app);
// Drops the values of an application that is going away (tests create many).
void forgetProcessState(const App& app);

}  // namespace zv::extract
