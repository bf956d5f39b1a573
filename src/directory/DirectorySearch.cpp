#include "directory/DirectorySearch.h"

#include <chrono>
#include <mutex>

namespace directory {

DirectorySearch::DirectorySearch(std::shared_ptr<DirectoryServers> servers)
    : state_(std::make_shared<State>(std::move(servers))) {}

DirectorySearch::~DirectorySearch() {
  state_->quitting = true;
  ++state_->generation;
  if (worker_.Started()) worker_.Stop(std::chrono::milliseconds(1000));
}

void DirectorySearch::Start(const SearchQuery& query) {
  {
    std::lock_guard lock(state_->mutex);
    ++state_->generation;
    state_->pending = query;
    state_->outcome.reset();
  }
  if (!worker_.Started()) worker_.Start([state = state_](bool) { state->Run(); });
  worker_.Wake();
}

void DirectorySearch::Cancel() {
  std::lock_guard lock(state_->mutex);
  ++state_->generation;
  state_->pending.reset();
  state_->outcome.reset();
}

std::optional<DirectorySearch::Outcome> DirectorySearch::Take() {
  std::lock_guard lock(state_->mutex);
  std::optional<Outcome> outcome = std::move(state_->outcome);
  state_->outcome.reset();
  return outcome;
}

// On the search's thread: the newest search asked for, until none is waiting.
void DirectorySearch::State::Run() {
  for (;;) {
    SearchQuery query;
    unsigned number;
    {
      std::lock_guard lock(mutex);
      if (!pending || quitting) return;
      query = *pending;
      pending.reset();
      number = generation;
    }
    const auto cancelled = [this, number] { return quitting || generation != number; };
    Outcome result;
    // An answer that is no list of stations (a web page, a cut answer) counts as the
    // server's failure: the next server is asked.
    const auto check = [&result, &query](const std::string& body) {
      try {
        result.stations = ParseAnswer(body, query.showBroken);
        return std::string();
      } catch (const AnswerError& e) {
        return std::string(e.what());
      }
    };
    DirectoryServers::Answer answer = servers->Ask(SearchPath(query), cancelled, check);
    result.error = answer.error;
    if (!result.error.empty()) result.stations.clear();
    std::lock_guard lock(mutex);
    if (generation != number) continue;
    outcome = std::move(result);
  }
}

}  // namespace directory
