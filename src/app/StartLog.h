// The steps of a start, timed: with TUNORA_START_LOG naming a file, each step's time
// since the process began (and since the step before) is appended to it as it happens,
// so that a start that became slow shows in one run where its time goes. Without the
// variable a step costs one test of a flag.
#pragma once

namespace app {

// Marks that the step `name` ends now.
void StartStep(const char* name);

}  // namespace app
