// A request to end from outside (SIGTERM, SIGHUP: the session ends, a process manager stops
// the program) leaves the event loop like the program's own end, so that what is cleared at
// the end (the private folders of members handed to other programs) is cleared then too.
#pragma once

namespace zv::app {

// Call once the application object exists.
void quitOnTerminateSignal();

}  // namespace zv::app
