#include "base/Worker.h"

#include <utility>

namespace base {

Worker::Worker() : state_(std::make_shared<State>()) {}

Worker::~Worker() {
  Quit();
  if (thread_.joinable()) thread_.join();
}

void Worker::Start(Pass pass, std::chrono::milliseconds interval) {
  if (thread_.joinable()) return;
  thread_ = std::thread([state = state_, pass = std::move(pass), interval] { Run(state, pass, interval); });
}

void Worker::Run(const std::shared_ptr<State>& state, const Pass& pass, std::chrono::milliseconds interval) {
  State& s = *state;
  std::unique_lock lock(s.mutex);
  for (bool last = false; !last;) {
    const auto asked = [&s] { return s.quit || s.woken; };
    if (interval > kNoInterval)
      s.wake.wait_for(lock, interval, asked);
    else
      s.wake.wait(lock, asked);
    last = s.quit;
    s.woken = false;
    s.running = true;
    lock.unlock();
    pass(last);
    lock.lock();
    s.running = false;
    s.idle.notify_all();
  }
  s.ended = true;
  s.idle.notify_all();
}

void Worker::Wake() {
  {
    std::lock_guard lock(state_->mutex);
    state_->woken = true;
  }
  state_->wake.notify_all();
}

void Worker::Quit() {
  {
    std::lock_guard lock(state_->mutex);
    state_->quit = true;
  }
  state_->wake.notify_all();
}

bool Worker::Stop(std::chrono::milliseconds bound) {
  Quit();
  if (!thread_.joinable()) return true;
  bool ended;
  {
    std::unique_lock lock(state_->mutex);
    ended = state_->idle.wait_for(lock, bound, [this] { return state_->ended; });
  }
  if (ended)
    thread_.join();
  else
    thread_.detach();
  return ended;
}

void Worker::WaitIdle() {
  if (!thread_.joinable()) return;
  std::unique_lock lock(state_->mutex);
  // A quit asks for the last pass: idle then means ended.
  const State& s = *state_;
  state_->idle.wait(lock, [&s] { return s.ended || (!s.woken && !s.running && !s.quit); });
}

}  // namespace base
