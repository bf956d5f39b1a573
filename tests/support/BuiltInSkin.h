// The lines of the skin that the program wears before any skin file: its picture, its
// colours and LED text, and where its parts stand.
#pragma once

#include <string>
#include <vector>

inline std::vector<std::string> BuiltInSkinLines() {
  return {"default", "clAqua",   "clTeal",  "OVEXIA TUNORA ONLINE!",
          "clAqua",  "clTeal",   "clBlack", "clSilver",
          "clWhite", "clMaroon", "327",     "16",
          "469",     "9",        "290",     "60",
          "290",     "136",      "290",     "215",
          "480",     "204",      "288",     "285",
          "350",     "285",      "412",     "285",
          "48",      "66",       "48",      "108",
          "48",      "150",      "48",      "192",
          "48",      "235",      "48",      "277",
          "48",      "319"};
}
