// Splitting one fuzzer input into the values a target needs: numbers taken from its
// front, the rest as the bytes to parse. Deterministic, so a saved input replays alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace fuzz {

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  // The next byte, or 0 once the input is used up.
  std::uint8_t Byte() {
    if (size_ == 0) return 0;
    --size_;
    return *data_++;
  }
  // The next 16 bits, little-endian.
  std::uint16_t Word() { return std::uint16_t(Byte() | (Byte() << 8)); }
  std::uint32_t Long() { return std::uint32_t(Word()) | (std::uint32_t(Word()) << 16); }
  // A piece of the input up to the next byte `end` (left out), or all that is left.
  std::string_view Piece(char end) {
    const std::string_view all = Rest();
    const std::size_t at = all.find(end);
    const std::string_view piece = all.substr(0, at);
    const std::size_t used = at == std::string_view::npos ? all.size() : at + 1;
    data_ += used;
    size_ -= used;
    return piece;
  }
  std::string_view Rest() const { return {reinterpret_cast<const char*>(data_), size_}; }
  const std::uint8_t* Data() const { return data_; }
  std::size_t Size() const { return size_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

}  // namespace fuzz

// A broken promise of a parser: fails the run at once, so the fuzzer saves the input.
#define FUZZ_CHECK(condition) \
  do {                         \
    if (!(condition)) __builtin_trap(); \
  } while (0)
