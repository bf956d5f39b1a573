#include "info/LauncherRules.h"

#include <gtest/gtest.h>

#include <string>

using namespace info;

TEST(LauncherRules, TheBrowserCommandLineReplacesThePlaceholderAndEverythingAfterIt) {
  struct Case {
    const char* command;
    const char* url;
    const char* expected;
  };
  const Case cases[] = {
      // The blank before the quoted placeholder stays: two blanks before the address.
      {"\"C:\\Browser\\browser.exe\" -nohome \"%1\"", "http://www.ovexia.example/",
       "\"C:\\Browser\\browser.exe\" -nohome  http://www.ovexia.example/"},
      // No placeholder: the command stays whole and the address follows after one blank.
      {"\"C:\\Browser\\browser.exe\"", "http://a.example/", "\"C:\\Browser\\browser.exe\" http://a.example/"},
      {"C:\\browser.exe -new", "http://a.example/", "C:\\browser.exe -new http://a.example/"},
      // The bare placeholder, and what follows a placeholder, is dropped.
      {"C:\\browser.exe %1", "http://a.example/", "C:\\browser.exe  http://a.example/"},
      {"C:\\browser.exe %1 -dde", "http://a.example/", "C:\\browser.exe  http://a.example/"},
      {"\"C:\\b.exe\" \"%1\" /tail \"%2\"", "http://a.example/", "\"C:\\b.exe\"  http://a.example/"},
      // The quoted form is looked for first, wherever the bare one stands.
      {"C:\\b.exe -x%1 \"%1\"", "http://a.example/", "C:\\b.exe -x%1  http://a.example/"},
      // A mail address goes to the browser like any other, verbatim, blanks and all.
      {"\"C:\\b.exe\" \"%1\"", "mailto:support@ovexia.example", "\"C:\\b.exe\"  mailto:support@ovexia.example"},
      {"\"C:\\b.exe\" \"%1\"", "http://a.example/a b?\"q\"", "\"C:\\b.exe\"  http://a.example/a b?\"q\""},
      // An empty command still gets its blank: the start then fails and says so.
      {"", "http://a.example/", " http://a.example/"},
      {"\"%1\"", "http://a.example/", " http://a.example/"},
  };
  for (const Case& c : cases) EXPECT_EQ(BrowserCommandLine(c.command, c.url), c.expected) << c.command;
}

TEST(LauncherRules, RegistryTextEndsAtItsFirstNulOrItsLastByte) {
  EXPECT_EQ(RegistryText(std::string_view("htmlfile\0", 9)), "htmlfile");
  EXPECT_EQ(RegistryText(std::string_view("htmlfile", 8)), "htmlfile") << "a value stored without its NUL";
  EXPECT_EQ(RegistryText(std::string_view("a\0junk", 6)), "a");
  EXPECT_EQ(RegistryText(""), "");
  EXPECT_EQ(OpenCommandKey("htmlfile"), "htmlfile\\shell\\open\\command");
}

TEST(LauncherRules, TheProgramOfACommandLineIsNamedWithoutGuessing) {
  const std::pair<const char*, const char*> cases[] = {
      {"\"C:\\Program Files\\B\\b.exe\" -nohome  http://a.example/", "C:\\Program Files\\B\\b.exe"},
      {"  \"C:\\b.exe\"  http://a.example/", "C:\\b.exe"},
      {"\"C:\\no end\\b.exe -x", "C:\\no end\\b.exe -x"},
      // Unquoted: never C:\Program.exe for a path with a blank.
      {"C:\\Program Files\\B\\b.exe -nohome  http://a.example/", "C:\\Program Files\\B\\b.exe"},
      {"C:\\Program Files\\B\\B.EXE", "C:\\Program Files\\B\\B.EXE"},
      {"C:\\b.exe\t-x", "C:\\b.exe"},
      {"C:\\Tools\\run.exe.bak x.exe", "C:\\Tools\\run.exe.bak x.exe"},
      {"browser.exe  http://a.example/", "browser.exe"},
      // Without ".exe": up to the first blank, which then fails to start rather than guess.
      {"C:\\Program Files\\B\\run x", "C:\\Program"},
      {" http://a.example/", "http://a.example/"},
      {"", ""},
      {"   ", ""},
  };
  for (const auto& [line, program] : cases) EXPECT_EQ(CommandProgram(line), program) << line;
}
