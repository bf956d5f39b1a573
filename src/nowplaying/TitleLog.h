// The title log, titles.txt: every title change as one line (see TitleLogRules.h), in
// UTF-8 behind a byte-order mark. A thread of its own writes it, so that a slow or full
// disk never holds up the window or the sound; a failure is kept for the window to
// report once.
#pragma once

#include <deque>
#include <string>

#include "base/Lock.h"
#include "base/Worker.h"

namespace nowplaying {

class TitleLog {
 public:
  explicit TitleLog(std::string path);
  // Writes what is still queued, then ends the writer (the worker goes first).
  ~TitleLog() = default;
  TitleLog(const TitleLog&) = delete;
  TitleLog& operator=(const TitleLog&) = delete;

  const std::string& Path() const { return path_; }
  // Queues a line stamped with the local time now; returns at once.
  void Add(const std::string& station, const std::string& title);
  // Waits until every queued line has been tried (for Exit and the tests).
  void Drain();
  // The failure to report, once per run of failed writes; empty when there is none.
  std::string TakeFailure();

 private:
  // Writes every queued line.
  void Pass();
  // Appends the line and flushes it; drops the older half once the file is too long.
  bool Write(const std::string& line, std::string& why);
  bool Trim(std::string& why);
  // A log of an earlier version, in the ANSI code page, is renamed to titles-ansi.txt
  // beside it rather than converted (or mixed with UTF-8 lines); false when it could not
  // be. Looked at before every line: someone may put an old log back at any time.
  bool SetAsideAnsiLog(std::string& why);

  std::string path_;
  base::Mutex mutex_;
  std::deque<std::string> lines_;
  bool failing_ = false;  // the last write failed
  std::string failure_;   // not yet reported
  base::Worker worker_;  // last: it ends before what its passes use
};

}  // namespace nowplaying
