// A stand-in for the programs the receiver starts (a web browser, a volume control):
// it writes the command line it was started with into the file that the environment
// variable TUNORA_RECORD_FILE names, as "<file>.<process id>" first and then renamed,
// so that a test never reads half a line. A windowed program: no console comes up.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH] = "";
  if (!GetEnvironmentVariableA("TUNORA_RECORD_FILE", path, MAX_PATH)) return 1;
  const std::string file = path;
  const std::string part = file + "." + std::to_string(GetCurrentProcessId());
  HANDLE h = CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 1;
  const char* line = GetCommandLineA();
  DWORD written = 0;
  WriteFile(h, line, DWORD(lstrlenA(line)), &written, nullptr);
  CloseHandle(h);
  return MoveFileExA(part.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
