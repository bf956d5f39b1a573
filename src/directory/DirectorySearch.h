// A search of the directory on a thread of its own, for the Find Station dialog: the
// dialog starts one, may cancel it or start another (which cancels the one under way),
// and takes the outcome from its timer. Nothing here waits on the user-interface thread.
#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Lock.h"
#include "base/Worker.h"
#include "directory/AnswerRules.h"
#include "directory/DirectoryServers.h"
#include "directory/SearchRules.h"

namespace directory {

class DirectorySearch {
 public:
  explicit DirectorySearch(std::shared_ptr<DirectoryServers> servers);
  // Cancels the search under way and waits a moment at most for its thread.
  ~DirectorySearch();
  DirectorySearch(const DirectorySearch&) = delete;
  DirectorySearch& operator=(const DirectorySearch&) = delete;

  void Start(const SearchQuery& query);
  void Cancel();

  struct Outcome {
    std::vector<Station> stations;
    std::string error;  // why no server answered with a list of stations; empty otherwise
  };
  // The outcome of the last search started, once, when it has ended.
  std::optional<Outcome> Take();

 private:
  // What the thread shares with this; the thread may outlive this at Exit.
  struct State {
    explicit State(std::shared_ptr<DirectoryServers> servers) : servers(std::move(servers)) {}
    void Run();
    std::shared_ptr<DirectoryServers> servers;
    std::atomic<unsigned> generation{0};  // a search whose number is no longer this one is cancelled
    std::atomic<bool> quitting{false};
    mutable base::Mutex mutex;  // guards the members below
    std::optional<SearchQuery> pending;
    std::optional<Outcome> outcome;
  };
  std::shared_ptr<State> state_;
  base::Worker worker_;
};

}  // namespace directory
