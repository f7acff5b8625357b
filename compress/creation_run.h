// The archive creation run started by the archive creation window's create picture: checks
// the name and the destination, hides both compression windows, calls the LZH or ISH library
// once per chosen file (or once for a whole folder), reports a failure, and hands over to the
// file utility or the main menu before both compression windows are unloaded.
#pragma once

namespace zv::compress {

class Comp2Form;

// `comp2` is the archive creation window; the file selection window is found in the registry.
void runLzhCreation(Comp2Form& comp2);
void runIshCreation(Comp2Form& comp2);

}  // namespace zv::compress
