// Feeds saved inputs to a fuzz target once each: the seed corpus and the regression
// inputs of its findings, named as files or folders on the command line (a folder that
// does not exist is passed over). Built without
// libFuzzer, so that every test run replays them under the sanitizers, in a fixed order.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> InputsOf(const std::filesystem::path& place) {
  std::vector<std::filesystem::path> files;
  if (std::filesystem::is_directory(place)) {
    for (const auto& entry : std::filesystem::directory_iterator(place))
      if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
  } else if (std::filesystem::is_regular_file(place)) {
    files.push_back(place);
  }
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t replayed = 0;
  for (int i = 1; i < argc; ++i) {
    // A target without findings has no regressions folder yet.
    if (!std::filesystem::exists(argv[i])) continue;
    for (const std::filesystem::path& file : InputsOf(argv[i])) {
      std::ifstream in(file, std::ios::binary);
      const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
      std::printf("%s (%zu bytes)\n", file.c_str(), bytes.size());
      std::fflush(stdout);  // a crash names the input it died on
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ++replayed;
    }
  }
  if (replayed == 0) {
    std::fprintf(stderr, "no inputs to replay\n");
    return 2;
  }
  std::printf("%zu inputs replayed\n", replayed);
  return 0;
}
