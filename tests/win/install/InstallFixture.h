#pragma once
#include <gtest/gtest.h>
#include <objbase.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "archive/ArchiveWriter.h"
#include "install/ProgressPage.h"
#include "resource.h"
#include "setup/InstallSettings.h"
#include "shell/UninstallRecord.h"
#include "support/InstallTestSupport.h"
#include "support/MessagePump.h"
#include "support/UninstallTestSupport.h"
#include "support/WizardSheet.h"

// What the progress page showed when Finish became usable.
struct PageState {
    bool finishEnabled = false;
    std::vector<int> markBitmaps;  // controls 1051-1056: 105, 106, 107, or 0 when hidden / unknown
    bool resultVisible = false, barVisible = false, copyingVisible = false, item5Visible = true, item6Visible = true;
    std::string resultLine, title;
};

using Members = std::vector<std::pair<std::string, std::string>>;  // name, data

// An installation set in a scratch folder (the current directory during the
// run), a program directory two levels below it, and a Start Menu group of
// the test's own; the registry keys, the Start Menu group and the copied
// uninstaller are removed before and after.
class InstallRun : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<InstallSettings> MakeSettings(const char* appName, const char* mainExe, int debugger, int game,
                                                  const char* readme, int v3);
    void WriteArchive(const Members& members, bool damage = false);
    // Opens the progress page alone in a wizard sheet, as quiet mode does,
    // waits for Finish, records the page, presses Finish.
    PageState RunSheet(InstallSettings& settings, ProgressPage& page, const std::function<void()>& whileRunning = {});

    static int MarkBitmapOf(HWND control, HINSTANCE instance);
    std::vector<std::string> LogLines(const std::string& logName) {
        return installtest::LogToolLines(programDir_ + "\\" + logName);
    }
    std::string LogNameIn(const std::string& directory);

    std::string scratch_, set_, programFiles_, programDir_, group_, groupPath_, uninstallerCopy_, previousDir_;
    bool ownsUninstallerCopy_ = false;
    installtest::DialogAnswerer answerer_;
};
