// A library that a download folder might hold under a system library's name. Loaded into
// a process, it leaves a file named "planted-library-loaded" beside itself, so that a
// test can tell whether the program took it instead of the system's own.
#include <windows.h>

#include <cstring>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  static const char kMarker[] = "planted-library-loaded";
  char path[MAX_PATH + sizeof kMarker] = "";
  const DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return TRUE;
  char* name = std::strrchr(path, '\\');
  std::memcpy(name ? name + 1 : path, kMarker, sizeof kMarker);
  const HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return TRUE;
}
