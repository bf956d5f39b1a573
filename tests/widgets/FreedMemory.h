// While a FreedMemoryPoison lives, memory given back through operator delete is
// overwritten before it is freed: a use of a destroyed object then reads garbage (and
// calls through garbage) instead of quietly finding the old values.
#pragma once

namespace testing_support {

class FreedMemoryPoison {
 public:
  FreedMemoryPoison();
  ~FreedMemoryPoison();
  FreedMemoryPoison(const FreedMemoryPoison&) = delete;
  FreedMemoryPoison& operator=(const FreedMemoryPoison&) = delete;
};

}  // namespace testing_support
