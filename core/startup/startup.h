// Start-up: fixes the settings and help file locations, makes sure the LZH library is
// installed, warns about an old one, and opens the first window.
#pragma once
#include <string>
#include <vector>

#include "core/app.h"

namespace zv {

// Sets SystemFolder to WinDir + "\SYSTEM" and answers whether an ordinary file named
// UNLHA32.DLL (in any case) is in that folder.
bool LhaLibraryPresent(App& app);

// The start-up procedure. `app.programFolder` is taken as set, or found by the platform when
// empty; `app.archivers` must be set. `commandLine` is the whole argument text as the
// windows see it. Opens "frmMenu", or "DeComp1" in "Command" mode opening the argument
// (CommandLineOpener); after a missing library it ends the program through the registry.
void Main(App& app, const std::string& commandLine);

// The argument text from the host's arguments: a host path in the program's path form,
// enclosed in double quotes when it contains a blank (as the Windows shell passes "%1").
// Several arguments are joined by blanks; none gives an empty text.
std::string argumentText(const std::vector<std::string>& args);

}  // namespace zv
