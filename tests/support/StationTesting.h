// The local test station in a test: its addresses come from the environment (set by
// tests/playback/with-station.sh). A test that needs the station is skipped where it is
// not running, but under CI (CI=true) a station that did not come up is a broken run:
// the test fails instead of passing quietly.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <cstdio>
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

// Sets the ICY title of the station's MP3 mount to these bytes, as they are (with
// `charset`, Icecast converts them from it to the mount's own); true once the station
// took it.
inline bool SetStationTitle(const std::string& bytes, const char* charset = nullptr) {
  const char* base = std::getenv("TUNORA_STATION_URL");
  const char* path = std::getenv("TUNORA_STATION_TITLE_PATH");
  const char* auth = std::getenv("TUNORA_STATION_ADMIN_AUTH");
  if (!base || !path || !auth) return false;
  std::string url = std::string(base) + path;
  for (unsigned char c : bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%%%02X", c);
    url += hex;
  }
  if (charset) url += std::string("&charset=") + charset;
  const std::string header = std::string("Authorization: Basic ") + auth + "\r\n";
  HINTERNET net = InternetOpenA("tunora-test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET req = InternetOpenUrlA(net, url.c_str(), header.c_str(), DWORD(header.size()),
                                   INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
  std::string reply;
  char buf[1024];
  DWORD n = 0;
  while (req && InternetReadFile(req, buf, sizeof buf, &n) && n > 0) reply.append(buf, n);
  if (req) InternetCloseHandle(req);
  InternetCloseHandle(net);
  return reply.find("Metadata update successful") != std::string::npos;
}
