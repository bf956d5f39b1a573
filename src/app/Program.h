// The program's start and end around the message loop, shared by the entry point and
// the tests that start the program in their own process.
#pragma once

namespace app {

// Everything after the single-instance guard: the splash window with its environment
// checks, the application object and its title, then every window in its order. False
// when the checks refused the machine; the windows are then not made.
bool StartProgram();
// The end, on every path: the windows in the reverse order of their making, then the
// splash window if it is still there, before any static object of the process goes.
void EndProgram();

}  // namespace app
