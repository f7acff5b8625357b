// Where the program's own files and the archiver libraries live, in the program's path form.
#pragma once
#include <string>

namespace zv::folders {

// The executable's folder when it is writable, otherwise $XDG_DATA_HOME/zorvex32 (created).
// Windows-style ("C:\opt\zorvex32"); a drive root keeps its '\'.
std::string programFolder();
// The folder holding UNLHA32.DLL, UNZIP32.DLL and ISH32.DLL (build tree: <build>/SYSTEM).
std::string systemFolder();
// The environment variable "WinDir" when set; otherwise derived so that WinDir followed by
// "\SYSTEM" is systemFolder().
std::string winDir();

// For tests: fixes the answers of the functions above (empty text: back to the default).
void overrideProgramFolder(const std::string& winPath);
void overrideSystemFolder(const std::string& winPath);

}  // namespace zv::folders
