#include "app/ConnectionProbe.h"

#include <windows.h>
#include <wininet.h>

#include <chrono>

namespace app {

namespace {
constexpr auto kInterval = std::chrono::seconds(1);
}

ConnectionProbe::~ConnectionProbe() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void ConnectionProbe::Start() {
  if (!worker_.joinable()) worker_ = std::thread([this] { Run(); });
}

void ConnectionProbe::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!quit_) {
    lock.unlock();
    DWORD flags = 0;
    connected_ = InternetGetConnectedState(&flags, 0) != FALSE;
    lock.lock();
    wake_.wait_for(lock, kInterval, [this] { return quit_; });
  }
}

}  // namespace app
