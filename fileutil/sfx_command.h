// Texts the file utility hands to the LZH library or shows about it: the self-extracting
// archive command and the library's version.
#pragma once
#include <string>

#include "core/settings/option_values.h"
#include "core/startup/messages.h"

namespace zv {

// True when the last three characters of the name, in upper case, are "LZH".
bool isLzhName(const std::string& name);

// "s -jw3 -jyo " (customisation dialog offered, `customize` yes) or "s -jw4 -jyo ",
// the quoted archive, a blank and the quoted destination folder with its trailing '\'.
std::string sfxCommand(const std::string& archive, const std::string& sfxFolder,
                       const YesNo& customize);

// versionText() (the version as " 1.3" text) comes from core/startup/messages.h.

// The message of the library version menu item.
std::string libraryVersionMessage(int versionTimes100);

}  // namespace zv
