#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "setup/ActivityLog.h"

namespace {

// A message of several lines stays one line of the log, so that a tool
// reading it line by line sees each entry whole.
TEST(ActivityLog, OneEntryIsOneStampedLine) {
    SYSTEMTIME time = {};
    time.wYear = 2026;
    time.wMonth = 3;
    time.wDay = 7;
    time.wHour = 9;
    time.wMinute = 5;
    time.wSecond = 1;
    EXPECT_EQ(ActivityLogLine(time, "Removed.\r\n\r\nThese files:\r\nC:\\a\nC:\\b\r"),
              "2026-03-07 09:05:01  Removed. These files: C:\\a C:\\b \r\n");
    EXPECT_EQ(ActivityLogLine(time, ""), "2026-03-07 09:05:01  \r\n");
}

}  // namespace
