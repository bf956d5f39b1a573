#include "BenchSupport.h"

#include "app/AllForms.h"
#include "app/MainForm.h"
#include "ui/Synchronize.h"

namespace bench {

double Millis() {
  static const LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return double(t.QuadPart) * 1e3 / double(freq.QuadPart);
}

double CpuSeconds() {
  FILETIME c, e, k, u;
  GetProcessTimes(GetCurrentProcess(), &c, &e, &k, &u);
  auto s = [](FILETIME f) { return double((ULONGLONG(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 1e7; };
  return s(k) + s(u);
}

void Pump(double ms) {
  const double start = Millis();
  MSG msg;
  for (double passed = 0; passed < ms; passed = Millis() - start) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(ms - passed) + 1, QS_ALLINPUT);
  }
}

std::string StartProgramIn(const std::string& prefix, double settleMs) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  const std::string work = std::string(dir) + prefix + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(work.c_str(), nullptr);
  SetCurrentDirectoryA(work.c_str());
  ui::InitSynchronize();
  app::CreateAllForms();
  MainForm->Show();
  Pump(settleMs);
  return work;
}

}  // namespace bench
