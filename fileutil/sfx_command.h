// Texts the file utility hands to the LZH library or shows about it: the self-extracting
// archive command and the library's version.
#pragma once
#include <string>

namespace zv {

// True when the last three characters of the name, in upper case, are "LZH".
bool isLzhName(const std::string& name);

// "s -jw3 -jyo " (customisation dialog offered, `customize` exactly "YES") or "s -jw4 -jyo ",
// the quoted archive, a blank and the quoted destination folder with its trailing '\'.
std::string sfxCommand(const std::string& archive, const std::string& sfxFolder,
                       const std::string& customize);

// Version times 100 as the shortest decimal text of the version, with a leading blank when it
// is not negative: 130 -> " 1.3", 152 -> " 1.52", 200 -> " 2".
std::string versionText(int versionTimes100);

// The message of the library version menu item.
std::string libraryVersionMessage(int versionTimes100);

}  // namespace zv
