// The station directory's answer to a search comes from a server on the internet. Its
// parse must hold whatever arrives: every station kept has an address, is not broken
// unless asked for, leads to a stream no other kept station leads to, and the list is
// in the order of the votes; a directory file written from it reads back the same.
#include <set>

#include "FuzzInput.h"
#include "directory/AnswerRules.h"
#include "directory/DirectoryFileRules.h"

namespace {

constexpr std::size_t kMaxInput = 256 * 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  fuzz::Input in(data, size);
  const bool showBroken = in.Byte() & 1;
  std::vector<directory::Station> stations;
  try {
    stations = directory::ParseAnswer(in.Rest(), showBroken);
  } catch (const directory::AnswerError&) {
    return 0;
  }
  std::set<std::string> streams;
  directory::DirectoryFile file;
  for (std::size_t i = 0; i < stations.size(); ++i) {
    const directory::Station& s = stations[i];
    FUZZ_CHECK(!s.url.empty() && !s.name.empty());
    FUZZ_CHECK(showBroken || !s.broken);
    FUZZ_CHECK(s.bitrate >= 0 && s.votes >= 0 && s.clicks >= 0);
    FUZZ_CHECK(i == 0 || stations[i - 1].votes >= s.votes);
    FUZZ_CHECK(streams.insert(directory::StreamKey(s.url)).second);
    FUZZ_CHECK(directory::ResultRow(s, s.name, 20).size() >= 20);
    directory::KeepPresetStation(file, "Band", 1 + int(i % 100), 1 + int(i % 7), s.id, directory::AsciiUrl(s.url));
  }
  FUZZ_CHECK(directory::ParseDirectoryFile(directory::DirectoryFileText(file)) == file);
  return 0;
}
