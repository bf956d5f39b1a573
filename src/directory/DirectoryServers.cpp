#include "directory/DirectoryServers.h"

#include <windows.h>

#include <algorithm>
#include <mutex>

#include "directory/DirectoryFetch.h"
#include "directory/SearchRules.h"
#include "directory/ServerRules.h"

namespace directory {

void DirectoryServers::SetNamed(std::vector<std::string> servers) {
  std::lock_guard lock(mutex_);
  named_ = std::move(servers);
}

std::vector<std::string> DirectoryServers::Order(const std::function<bool()>& cancelled) {
  {
    std::lock_guard lock(mutex_);
    if (!named_.empty()) return named_;
    if (!found_.empty()) return found_;
  }
  // Looked up without the lock: a second thread may look up at the same time, and the
  // later answer stands.
  std::vector<std::string> found = ServersFromNames(LookUpServerNames(cancelled), GetTickCount());
  std::lock_guard lock(mutex_);
  if (!found.empty()) found_ = found;
  return found;
}

void DirectoryServers::Answered(const std::string& server) {
  std::lock_guard lock(mutex_);
  for (std::vector<std::string>* list : {&named_, &found_}) {
    const auto it = std::find(list->begin(), list->end(), server);
    if (it != list->end()) std::rotate(list->begin(), it, it + 1);
  }
}

DirectoryServers::Answer DirectoryServers::Ask(const std::string& path, const std::function<bool()>& cancelled,
                                               const Check& check) {
  const std::vector<std::string> servers = Order(cancelled);
  Answer answer;
  if (servers.empty()) answer.error = std::string("no server was found under ") + kRoundRobinName;
  for (const std::string& server : servers) {
    if (cancelled && cancelled()) break;
    Fetched fetched = Fetch(RequestUrl(server, path), cancelled);
    answer.error = fetched.error;
    if (fetched.Ok() && check) answer.error = check(fetched.body);
    if (answer.error.empty()) {
      answer.body = std::move(fetched.body);
      Answered(server);
      return answer;
    }
    answer.error = server + ": " + answer.error;
  }
  if (cancelled && cancelled()) answer.error = "cancelled";
  return answer;
}

}  // namespace directory
