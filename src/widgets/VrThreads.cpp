#include "widgets/VrThreads.h"

#include <stdexcept>

#include "ui/Application.h"
#include "ui/Synchronize.h"

namespace widgets {

namespace {
constexpr const char* kTimerWindowClass = "TunoraWidgetTimer";
constexpr UINT_PTR kTimerId = 1;
}  // namespace

TVrTimerThread::TVrTimerThread(TVrTimer& owner) : owner_(owner) {
  wake_.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  thread_.Reset(CreateThread(nullptr, 0, &TVrTimerThread::Run, this, 0, &threadId_));
  if (!thread_) throw std::runtime_error("No timer resources left.");
}

TVrTimerThread::~TVrTimerThread() = default;

bool TVrTimerThread::CanWait() const {
  if (GetCurrentThreadId() == threadId_) return false;
  return !(handedOverTick_ && ui::OnUiThread());
}

void TVrTimerThread::End(TVrTimerThread* t) {
  if (!t) return;
  const bool wait = t->CanWait();
  if (!wait) t->selfFreeing_ = true;
  t->terminated_ = true;
  SetEvent(t->wake_.Get());
  if (!wait) return;  // the worker frees itself once the running tick has returned
  // The thread may be handing a tick over right now: the wait serves it.
  ui::WaitForThread(t->thread_.Get());
  delete t;
}

void TVrTimerThread::SetInterval(unsigned ms) {
  interval_ = ms;
  SetEvent(wake_.Get());  // start the new interval now
}

void TVrTimerThread::SetPriority(int priority) {
  SetThreadPriority(thread_.Get(), priority);
}

DWORD WINAPI TVrTimerThread::Run(LPVOID self) {
  auto* t = static_cast<TVrTimerThread*>(self);
  t->Loop();
  if (t->selfFreeing_) delete t;
  return 0;
}

void TVrTimerThread::RunTick(bool handedOver) {
  if (terminated_) return;
  handedOverTick_ = handedOver;
  owner_.Tick();
  // The tick may have ended the timer: then owner_ is gone and only this object lives.
  handedOverTick_ = false;
}

void TVrTimerThread::Loop() {
  while (!terminated_) {
    const unsigned ms = interval_;
    const DWORD r = WaitForSingleObject(wake_.Get(), ms == 0 ? INFINITE : ms);
    if (r != WAIT_TIMEOUT || terminated_ || ui::App().Terminated()) continue;
    if (owner_.SyncEvent)
      ui::Synchronize([this] { RunTick(true); });
    else
      RunTick(false);
  }
}

TVrTimer::~TVrTimer() {
  enabled_ = false;
  OnTimer = nullptr;
  TearDown();
}

void TVrTimer::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  if (on) Apply();
}

void TVrTimer::SetInterval(unsigned ms) {
  if (ms == interval_) return;
  interval_ = ms;
  if (enabled_) Apply();
}

void TVrTimer::SetTimerType(TVrTimerType type) {
  if (type == type_) return;
  TearDown();
  type_ = type;
  if (enabled_) Apply();
}

void TVrTimer::SetPriority(int priority) {
  if (priority == priority_) return;
  priority_ = priority;
  if (enabled_ && type_ == ttThread && thread_) thread_->SetPriority(priority);
}

void TVrTimer::Apply() {
  const bool active = interval_ != 0 && enabled_ && OnTimer;
  if (type_ == ttSystem) {
    if (!window_) {
      static bool registered = false;
      if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &TVrTimer::WindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kTimerWindowClass;
        RegisterClassA(&wc);
        registered = true;
      }
      window_ = CreateWindowExA(0, kTimerWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
      SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    KillTimer(window_, kTimerId);
    if (active && !SetTimer(window_, kTimerId, interval_, nullptr))
      throw std::runtime_error("No timer resources left.");
  } else {
    if (!active && !thread_) return;  // nothing to time yet
    if (!thread_) thread_ = new TVrTimerThread(*this);
    thread_->SetInterval(active ? interval_ : 0);
    thread_->SetPriority(priority_);
  }
}

void TVrTimer::TearDown() {
  if (window_) {
    KillTimer(window_, kTimerId);
    DestroyWindow(window_);
    window_ = nullptr;
  }
  TVrTimerThread::End(thread_);
  thread_ = nullptr;
}

LRESULT CALLBACK TVrTimer::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER) {
    if (auto* t = reinterpret_cast<TVrTimer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA))) t->Tick();
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

void TVrTimer::Tick() {
  if (!enabled_ || !OnTimer) return;
  // The handler may destroy this timer; the copy keeps the running handler alive.
  const auto handler = OnTimer;
  try {
    handler(*this);
  } catch (const std::exception& e) {
    ui::App().HandleException(e);
  } catch (...) {
    ui::App().HandleUnknownException();
  }
}

}  // namespace widgets
