#include "ui/Geometry.h"

#include <gtest/gtest.h>

#include <climits>

// A 600-pixel window on a screen from 0 to 1280 (or -1920 to 1280), 32 pixels kept shown.
TEST(Geometry, AWindowOffTheScreenIsBroughtBackAndOnePartlyShownStays) {
  const int cases[][4]{{100, 600, 0, 100},           {-3, 600, 0, -3},           {-568, 600, 0, -568},
                       {1248, 600, 0, 1248},         {-569, 600, 0, 0},          {1249, 600, 0, 680},
                       {INT_MAX, 600, 0, 680},       {INT_MIN, 600, 0, 0},       {INT_MAX, 2000, 0, 0},
                       {INT_MIN, 600, -1920, -1920}, {-1900, 600, -1920, -1900}, {INT_MAX - 599, 600, 0, 680}};
  for (const auto& [start, size, lo, expected] : cases)
    EXPECT_EQ(ui::KeptOnScreen(start, size, lo, 1280, 32), expected) << start;
}
