#include "base/PathRules.h"

#include <gtest/gtest.h>

TEST(PathRules, PathsToOtherComputersAndDevicesAreToldApart) {
  for (const char* path : {"\\\\host\\share\\x.bmp", "//host/share/x.bmp", "\\/host\\x.bmp", "\\\\?\\C:\\x.bmp",
                           "\\\\?\\UNC\\host\\share\\x.bmp", "\\\\.\\PhysicalDrive0", "\\??\\C:\\x.bmp",
                           "\\??\\UNC\\host\\s\\x.mp3", "/\?\?/C:/x.mp3", "C:\\skins\\COM1.bmp", "C:\\skins\\nul",
                           "CON", "lpt\xB9.bmp", "COM1:", "C:\\x\\LPT1.mp3", "com\xC2\xB3.mp3"})
    EXPECT_TRUE(base::IsNetworkOrDevicePath(path)) << path;
  for (const char* path : {"C:\\skins\\x.bmp", "C:/skins/x.bmp", "\\skins\\x.bmp", "skins\\x.bmp", "default", "",
                           "C:\\COM1\\x.bmp", "C:\\skins\\COM10.bmp", "C:\\skins\\console.bmp", "\\?\\x.bmp"})
    EXPECT_FALSE(base::IsNetworkOrDevicePath(path)) << path;
}

TEST(PathRules, DeviceNamesAreTheirPartBeforeTheFirstDotInAnyCase) {
  for (const char* device : {"CON", "prn", "Aux", "NUL", "nul.txt", "nul .txt", "NUL.tar.gz", "COM0", "COM1", "com9",
                             "LPT1", "lpt9.x", "COM\xB2", "LPT\xC2\xB9", "CONIN$", "conout$"})
    EXPECT_TRUE(base::IsReservedDeviceName(device)) << device;
  for (const char* name :
       {"", "CO", "CONS", "COM", "COM10", "LPT", "NULL", " NUL", "x.NUL", "COM\xB4", "COM\xC2\xB4", "COM\xC2", "AUX1"})
    EXPECT_FALSE(base::IsReservedDeviceName(name)) << name;
  EXPECT_EQ(base::ReservedDeviceNameLength("Nul .mp3"), 3u);
  EXPECT_EQ(base::ReservedDeviceNameLength("LPT\xC2\xB9.x"), 5u);
}
