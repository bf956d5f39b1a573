// The cue sheets of the recordings, written by a thread of their own: at most once a
// second while a recording runs (a station that changes its title every moment never
// holds up the window or the capture), and at once when it ends. Only a sheet written here
// for the same WAVE file is replaced or removed: where another file holds the sheet's name
// (a CD rip's own sheet beside its album.wav), ours is written beside it under a free name
// ("album (2).cue"), and the user is told which.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <thread>

namespace recording {

class CueSheetWriter {
 public:
  static constexpr unsigned kIntervalMs = 1000;
  // The longest the window's end waits for the last sheets.
  static constexpr unsigned kEndWaitMs = 1000;

  CueSheetWriter();
  // Writes what is due, waiting at most kEndWaitMs.
  ~CueSheetWriter();
  CueSheetWriter(const CueSheetWriter&) = delete;
  CueSheetWriter& operator=(const CueSheetWriter&) = delete;

  // A recording into wavePath begins, its sound at bytesPerSecond; no title is known yet.
  void Begin(const std::string& wavePath, std::uint32_t bytesPerSecond);
  // The title heard at this point of the recording (empty: none), in the ANSI code page,
  // and in UTF-8 where the ANSI text lacks some of its characters (else empty).
  void Heard(const std::string& title, std::int64_t atBytes, const std::string& utf8 = "");
  // The recording is over: its sheets are written now. One that heard no title leaves no
  // sheet, and removes ours of an earlier recording into the same file.
  void End();
  // Waits up to timeoutMs until every recording that ended has its sheets written.
  bool WaitEnded(unsigned timeoutMs);
  // What the user is to be told of the sheets of a recording that ended: that they
  // could not be written, or the other name they were written under. Empty when nothing.
  std::string TakeReport();

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
  std::thread worker_;
};

}  // namespace recording
