// Turns Qt's abort when no window system can be reached into one clear line and status 1.
#pragma once

namespace zv::app {

// Call before constructing QApplication: from then until displayReached(), Qt's messages are
// held back, and a fatal one (no platform plugin could connect) prints how to start the program
// without a display and ends the process with status 1 instead of aborting.
void guardDisplayStart();
// Call once QApplication exists: held messages go out as usual and later fatal ones abort.
void displayReached();

}  // namespace zv::app
