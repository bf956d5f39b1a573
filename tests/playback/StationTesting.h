// The local test station in a test: its addresses come from the environment (set by
// tests/playback/with-station.sh). A test that needs the station is skipped where it is
// not running, but under CI (CI=true) a station that did not come up is a broken run:
// the test fails instead of passing quietly.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

// The address in the environment variable var, or nullptr when it is not set.
inline const char* StationAddress(const char* var) {
  const char* v = std::getenv(var);
  return v && *v ? v : nullptr;
}

// Whether the run is a CI run, where every station test has to run.
inline bool StationRequired() {
  const char* ci = std::getenv("CI");
  if (!ci) return false;
  const std::string v = ci;
  return v == "true" || v == "TRUE" || v == "True" || v == "1" || v == "yes";
}

// In a test body: ends the test (skipped, or failed under CI) when the environment
// variable var does not name a station address.
#define REQUIRE_STATION(var)                                                                      \
  do {                                                                                            \
    if (!StationAddress(var)) {                                                                   \
      if (StationRequired()) FAIL() << "the local test station is not running (" << (var) << ")"; \
      GTEST_SKIP() << "no local test station (" << (var) << " is not set)";                       \
    }                                                                                             \
  } while (0)
