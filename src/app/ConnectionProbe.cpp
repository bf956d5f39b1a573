#include "app/ConnectionProbe.h"

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

ConnectionProbe::ConnectionProbe() : system_(std::make_shared<WinInetConnection>()) {}

ConnectionProbe::~ConnectionProbe() {
  {
    std::lock_guard<base::Mutex> lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void ConnectionProbe::Start() {
  if (!worker_.joinable()) worker_ = std::thread([this] { Run(); });
}

void ConnectionProbe::AttemptConnect() { System()->AttemptConnect(); }

void ConnectionProbe::SetSystem(std::shared_ptr<ConnectionSystem> system) {
  {
    std::lock_guard<base::Mutex> lock(mutex_);
    system_ = system ? std::move(system) : std::make_shared<WinInetConnection>();
    askNow_ = true;
  }
  wake_.notify_all();
}

std::shared_ptr<ConnectionSystem> ConnectionProbe::System() {
  std::lock_guard<base::Mutex> lock(mutex_);
  return system_;
}

void ConnectionProbe::Run() {
  std::unique_lock<base::Mutex> lock(mutex_);
  while (!quit_) {
    std::shared_ptr<ConnectionSystem> system = system_;
    askNow_ = false;
    lock.unlock();
    connected_ = system->IsConnected();
    answered_ = true;
    lock.lock();
    wake_.wait_for(lock, kInterval, [this] { return quit_ || askNow_; });
  }
}

}  // namespace app
