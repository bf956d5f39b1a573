// The program's start and end around the message loop, shared by the entry point and
// the tests that start the program in their own process.
#pragma once

namespace app {

// Everything after the single-instance guard: the splash window with its environment
// checks, the application object and its title, then every window in its order, and the
// sound card's answer. False when the checks refused the machine; the main window is
// then not shown.
bool StartProgram();
// Lets the warm-up of the sound system that the start began go on past the sound-card
// check: called once the main window shows.
void ContinueSoundWarmUp();
// Whether it is done with the capture devices (the libraries it loads after them do not
// count).
bool SoundWarmedUp();
// Waits until it is: the capture devices are the user-interface thread's from then on.
void FinishSoundWarmUp();
// The end, on every path: the windows in the reverse order of their making, then the
// splash window if it is still there, before any static object of the process goes.
void EndProgram();

}  // namespace app
