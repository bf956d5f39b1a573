#include "playback/TapLaneRules.h"

#include <chrono>
#include <exception>
#include <utility>

namespace playback {

TapLane::TapLane(std::string who, std::size_t budgetBytes) : who_(std::move(who)), budget_(budgetBytes) {
  thread_ = std::thread([this] { Run(); });
}

TapLane::~TapLane() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void TapLane::Post(std::function<void()> call, std::size_t bytes, unsigned ms) {
  {
    std::lock_guard lock(mutex_);
    if (off_) return;
    if (bytes > 0 && waitingBytes_ + bytes > budget_) {
      lostMs_ += ms;
      if (!toldLoss_) {
        toldLoss_ = true;
        notice_ = who_ + " could not keep up with the station and lost some of its sound.";
      }
      return;
    }
    calls_.push_back({std::move(call), bytes});
    waitingBytes_ += bytes;
  }
  wake_.notify_one();
}

void TapLane::Revive() {
  std::lock_guard lock(mutex_);
  off_ = false;
  toldLoss_ = false;
}

bool TapLane::WaitIdle(unsigned ms) {
  std::unique_lock lock(mutex_);
  return idle_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return calls_.empty() && !busy_; });
}

std::string TapLane::TakeNotice() {
  std::lock_guard lock(mutex_);
  return std::exchange(notice_, {});
}

unsigned long long TapLane::LostMs() const {
  std::lock_guard lock(mutex_);
  return lostMs_;
}

void TapLane::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return quit_ || !calls_.empty(); });
    if (calls_.empty()) return;  // quit, with everything delivered
    Call call = std::move(calls_.front());
    calls_.pop_front();
    waitingBytes_ -= call.bytes;
    busy_ = true;
    lock.unlock();
    std::string fault;
    try {
      call.run();
    } catch (const std::exception& e) {
      fault = e.what();
    } catch (...) {
      fault = "an unknown error";
    }
    call.run = nullptr;  // what it holds (a listener, its sound) goes outside the lock
    lock.lock();
    busy_ = false;
    if (!fault.empty() && !off_) {
      off_ = true;
      calls_.clear();
      waitingBytes_ = 0;
      notice_ = who_ + " was stopped after an error (" + fault + "); the station plays on.";
    }
    if (calls_.empty()) idle_.notify_all();
  }
}

}  // namespace playback
