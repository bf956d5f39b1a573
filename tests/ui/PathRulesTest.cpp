#include "ui/PathRules.h"

#include <gtest/gtest.h>

TEST(PathRules, PathsToOtherComputersAndDevicesAreToldApart) {
  for (const char* path : {"\\\\host\\share\\x.bmp", "//host/share/x.bmp", "\\/host\\x.bmp", "\\\\?\\C:\\x.bmp",
                           "\\\\?\\UNC\\host\\share\\x.bmp", "\\\\.\\PhysicalDrive0", "\\??\\C:\\x.bmp",
                           "C:\\skins\\COM1.bmp", "C:\\skins\\nul", "lpt\xB9.bmp", "COM1:"})
    EXPECT_TRUE(ui::IsNetworkOrDevicePath(path)) << path;
  for (const char* path : {"C:\\skins\\x.bmp", "C:/skins/x.bmp", "\\skins\\x.bmp", "skins\\x.bmp", "default", "",
                           "C:\\COM1\\x.bmp", "C:\\skins\\COM10.bmp", "C:\\skins\\console.bmp"})
    EXPECT_FALSE(ui::IsNetworkOrDevicePath(path)) << path;
}

TEST(PathRules, DeviceNamesAreTheirPartBeforeTheFirstDotInAnyCase) {
  for (const char* device : {"CON", "prn", "Aux", "NUL", "nul.txt", "nul .txt", "NUL.tar.gz", "COM1", "com9", "LPT1",
                             "lpt9.x", "COM\xB2", "CONIN$", "conout$"})
    EXPECT_TRUE(ui::IsReservedDeviceName(device)) << device;
  for (const char* name : {"", "CO", "CONS", "COM", "COM0", "COM10", "LPT", "NULL", " NUL", "x.NUL", "COM\xB4", "AUX1"})
    EXPECT_FALSE(ui::IsReservedDeviceName(name)) << name;
}
