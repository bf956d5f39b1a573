// Every window of the program, made in the fixed order in which they depend on each
// other: the main window first (it becomes the application's main form).
#pragma once

namespace app {

void CreateAllForms();

}  // namespace app
