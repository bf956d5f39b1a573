// The WAVE reader over a memory buffer: the RIFF header, the walk over its chunks, the
// format block, and reading and seeking in the data chunk. The data read must lie inside
// the data chunk and inside the file.
#include <vector>

#include "FuzzInput.h"
#include "recording/WaveRules.h"

namespace {

constexpr std::size_t kMaxInput = 64 * 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  recording::TMemoryStream file(std::vector<std::uint8_t>(data, data + size));
  recording::TWaveStream wave(file);
  try {
    wave.OpenRead();
  } catch (const recording::EReadError&) {
    return 0;
  } catch (const recording::EWaveStreamError&) {
    return 0;
  }
  FUZZ_CHECK(wave.Opened() && wave.ReadMode());
  const std::int64_t dataSize = wave.GetDataSize();
  FUZZ_CHECK(dataSize >= 0 && dataSize <= std::int64_t(size));
  FUZZ_CHECK(wave.GetFormatSize() >= 0 && wave.GetFormatSize() <= std::int64_t(size));
  if (wave.GetFormatSize() >= recording::kPcmFormatSize) (void)recording::ReadPcmFormat(wave.GetFormat());

  // Read the data in pieces, as playback does, then from a place beyond it.
  std::vector<std::uint8_t> buffer(4096);
  std::int64_t total = 0;
  for (int i = 0; i < 64; ++i) {
    const std::int64_t n = wave.Read(buffer.data(), std::int64_t(buffer.size()));
    FUZZ_CHECK(n >= 0 && n <= std::int64_t(buffer.size()));
    if (n == 0) break;
    total += n;
  }
  FUZZ_CHECK(total <= dataSize);
  wave.Seek(dataSize / 2, recording::soBeginning);
  (void)wave.Read(buffer.data(), 16);
  wave.Seek(dataSize + 100, recording::soBeginning);
  FUZZ_CHECK(wave.Read(buffer.data(), 16) <= 0);
  return 0;
}
