#include "ui/Synchronize.h"

#include <deque>
#include <memory>

#include "base/Lock.h"
#include "ui/Application.h"
#include "ui/Gdi.h"

namespace ui {

namespace {

constexpr UINT kRunCalls = WM_APP + 0x51;
constexpr UINT kRunPosted = WM_APP + 0x52;

struct PendingCall {
  const std::function<void()>* fn;
  HANDLE done;
};

struct State {
  DWORD uiThread = 0;
  HWND window = nullptr;
  base::Mutex mutex;
  std::deque<PendingCall> calls;
  UniqueKernelHandle wake;  // set whenever a call is queued
};

State& S() {
  static State state;
  return state;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kRunCalls) {
    RunPendingCalls();
    return 0;
  }
  if (msg == kRunPosted) {
    std::unique_ptr<std::function<void()>> fn(reinterpret_cast<std::function<void()>*>(lp));
    try {
      (*fn)();
    } catch (const std::exception& e) {
      App().HandleException(e);
    } catch (...) {
      App().HandleUnknownException();
    }
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

void InitSynchronize() {
  State& s = S();
  if (s.window) return;
  s.uiThread = GetCurrentThreadId();
  s.wake.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TunoraSynchronize";
  RegisterClassA(&wc);
  s.window = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

bool OnUiThread() { return S().uiThread == 0 || GetCurrentThreadId() == S().uiThread; }

void RunPendingCalls() {
  State& s = S();
  for (;;) {
    PendingCall call;
    {
      std::lock_guard lock(s.mutex);
      if (s.calls.empty()) return;
      call = s.calls.front();
      s.calls.pop_front();
    }
    try {
      (*call.fn)();
    } catch (const std::exception& e) {
      App().HandleException(e);
    } catch (...) {
      App().HandleUnknownException();
    }
    SetEvent(call.done);
  }
}

void Synchronize(const std::function<void()>& fn) {
  Synchronize(fn, nullptr, INFINITE);
}

void Synchronize(const std::function<void()>& fn, const std::function<void()>& whileWaiting, DWORD everyMs) {
  if (OnUiThread()) {
    fn();
    return;
  }
  State& s = S();
  UniqueKernelHandle done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  {
    std::lock_guard lock(s.mutex);
    s.calls.push_back({&fn, done.Get()});
  }
  SetEvent(s.wake.Get());
  PostMessageA(s.window, kRunCalls, 0, 0);
  while (WaitForSingleObject(done.Get(), whileWaiting ? everyMs : INFINITE) == WAIT_TIMEOUT) whileWaiting();
}

void Post(std::function<void()> fn) {
  auto call = std::make_unique<std::function<void()>>(std::move(fn));
  if (PostMessageA(S().window, kRunPosted, 0, reinterpret_cast<LPARAM>(call.get()))) call.release();
}

bool WaitForThread(HANDLE thread, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    DWORD wait = INFINITE;
    if (timeoutMs != INFINITE) {
      const DWORD spent = GetTickCount() - start;
      if (spent >= timeoutMs) return false;
      wait = timeoutMs - spent;
    }
    HANDLE handles[2] = {thread, S().wake.Get()};
    const DWORD r = WaitForMultipleObjects(S().wake ? 2 : 1, handles, FALSE, wait);
    if (r == WAIT_OBJECT_0) return true;
    if (r == WAIT_OBJECT_0 + 1) {
      RunPendingCalls();
      continue;
    }
    if (r == WAIT_TIMEOUT) return false;
    return true;  // a handle that is no thread any more: nothing to wait for
  }
}

}  // namespace ui
