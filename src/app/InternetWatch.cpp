#include "app/InternetWatch.h"

#include <windows.h>
#include <wininet.h>

#include <chrono>

#include "base/Lock.h"

namespace app {

namespace {

constexpr auto kInterval = std::chrono::seconds(1);

class WinInetConnection : public ConnectionSystem {
 public:
  bool IsConnected() override {
    DWORD flags = 0;
    return InternetGetConnectedState(&flags, 0) != FALSE;
  }
  void AttemptConnect() override { InternetAttemptConnect(0); }
};

}  // namespace

InternetWatch::InternetWatch() : system_(std::make_shared<WinInetConnection>()) {}

void InternetWatch::Start() {
  if (worker_.Started()) return;
  worker_.Start(
      [this](bool last) {
        if (!last) Ask();
      },
      kInterval);
  worker_.Wake();  // the first answer at once
}

void InternetWatch::AttemptConnect() { System()->AttemptConnect(); }

void InternetWatch::SetSystem(std::shared_ptr<ConnectionSystem> system) {
  {
    std::lock_guard<base::Mutex> lock(mutex_);
    system_ = system ? std::move(system) : std::make_shared<WinInetConnection>();
  }
  worker_.Wake();
}

std::shared_ptr<ConnectionSystem> InternetWatch::System() {
  std::lock_guard<base::Mutex> lock(mutex_);
  return system_;
}

void InternetWatch::Ask() {
  connected_ = System()->IsConnected();
  answered_ = true;
}

}  // namespace app
