// The entry of the Windows test programs: GoogleTest's main, with the user-interface
// thread's hand-over set up first, and the remaining arguments kept for the tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/Application.h"
#include "ui/Synchronize.h"

std::vector<std::string> TestArguments;

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) TestArguments.emplace_back(argv[i]);
  ui::InitSynchronize();
  ui::App().SetTitle("Tunora Tests");
  return RUN_ALL_TESTS();
}
