// The directory's servers as the program uses them, shared by the searches and the
// clicks, each on a thread of its own: the servers that directory.ini names, else those
// that the round-robin name leads to, looked up once a run (again after a lookup that
// found none). A request goes to one server and, when that one fails, to the next; the
// server that answered is asked first the next time.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/Lock.h"

namespace directory {

class DirectoryServers {
 public:
  // The servers a user named, in their order; none: the lookup's.
  void SetNamed(std::vector<std::string> servers);

  struct Answer {
    std::string body;
    std::string error;  // the last server's reason in words; empty when one answered
  };
  // Asks for path until a server answers whole and `check` finds nothing wrong with the
  // answer (check returns why it is wrong, or ""); cancelled ends it at once.
  using Check = std::function<std::string(const std::string& body)>;
  Answer Ask(const std::string& path, const std::function<bool()>& cancelled, const Check& check = {});

 private:
  std::vector<std::string> Order(const std::function<bool()>& cancelled);
  void Answered(const std::string& server);

  base::Mutex mutex_;
  std::vector<std::string> named_, found_;
};

}  // namespace directory
