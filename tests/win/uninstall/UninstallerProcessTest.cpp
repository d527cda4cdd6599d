// VARNUINS.EXE run as its own process against an installation-like state
// built in the test prefix: files, folders and registry keys recorded the
// way the setup records them, and a log written by WriteUninstallRecords.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "setup/InstallSettings.h"
#include "shell/UninstallRecord.h"
#include "support/UninstallTestSupport.h"

using namespace logtest;

namespace {

const char* kUserBase = "Software\\VsetupUninstallTest";
const char* kSettingsKey = "Software\\VsetupUninstallTest\\Varnplay\\1.0\\Settings";
const char* kAppPathsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\vsutest.exe";
const char* kExtensionKey = ".vsutest";
const char* kFileTypeKey = "VsetupTest.Save";

class Uninstaller : public ::testing::Test {
protected:
    void SetUp() override {
        CleanRegistry();
        scratch_ = MakeScratchDirectory("vsetup uninstall");
        programDir_ = scratch_ + "\\Varn Play";
        menuDir_ = scratch_ + "\\Programs\\Varnplay";
        logPath_ = programDir_ + "\\UnInst0ABC.inf";
        // Present before the installation: must survive.
        CreateDirectoryA((scratch_ + "\\Programs").c_str(), nullptr);
        WriteBinaryFile(scratch_ + "\\Programs\\other.lnk", {'o'});
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kUserBase) + "\\Other").c_str(), 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegCloseKey(key);
    }
    void TearDown() override {
        RemoveTree(scratch_);
        CleanRegistry();
    }
    static void CleanRegistry() {
        RegDeleteTreeA(HKEY_CURRENT_USER, kUserBase);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kAppPathsKey);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kExtensionKey);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kFileTypeKey);
    }

    void Folder(const std::string& path, bool create = true) {
        settings_.AddTextRecord(UninstallDirectory, path.c_str());
        if (create) CreateDirectoryA(path.c_str(), nullptr);
    }
    void File(const std::string& path, bool create = true) {
        if (create) WriteBinaryFile(path, {'d', 'a', 't', 'a'});
        settings_.AddTextRecord(UninstallFile, path.c_str());
    }
    // Everything a small installation creates, in the setup's order.
    void Install(bool partial = false) {
        settings_.WriteRegistryString(HKEY_LOCAL_MACHINE, kAppPathsKey, "", (programDir_ + "\\vsutest.exe").c_str(), 1);
        settings_.WriteRegistryString(HKEY_LOCAL_MACHINE, kAppPathsKey, "Path", programDir_.c_str(), 1);
        Folder(programDir_);
        Folder(programDir_ + "\\games");
        File(programDir_ + "\\vsutest.exe");
        File(programDir_ + "\\games\\story.v5", !partial);  // a partial run stopped before this file
        File(programDir_ + "\\readme.txt");
        Folder(menuDir_);
        File(menuDir_ + "\\Varnplay.lnk");
        settings_.WriteRegistryString(HKEY_CLASSES_ROOT, kExtensionKey, "", kFileTypeKey, 1);
        settings_.WriteRegistryString(HKEY_CLASSES_ROOT, (std::string(kFileTypeKey) + "\\shell\\open\\command").c_str(),
                                      "", "vsutest.exe \"%1\"", 1);
        settings_.WriteRegistryString(HKEY_CURRENT_USER, kSettingsKey, "SetupDone", "1", 1);
        if (!partial) File(programDir_ + "\\Uninstall Varnplay.lnk");
        File(logPath_, false);
        settings_.AddTextRecord(UninstallAppName, "Varnplay Test");
        ASSERT_TRUE(WriteLogFile(settings_, logPath_));
        ASSERT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, kSettingsKey));
        ASSERT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, kExtensionKey));
        ASSERT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kAppPathsKey));
    }
    void ExpectAllRemoved() {
        EXPECT_FALSE(PathExists(programDir_));
        EXPECT_FALSE(PathExists(menuDir_));
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kAppPathsKey));
        EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, kExtensionKey));
        EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, kFileTypeKey));
        EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, (std::string(kUserBase) + "\\Varnplay").c_str()));
    }
    void ExpectOthersKept() {
        EXPECT_TRUE(PathExists(scratch_ + "\\Programs\\other.lnk"));
        EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, (std::string(kUserBase) + "\\Other").c_str()));
        EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths"));
    }
    void ExpectNothingRemoved() {
        EXPECT_TRUE(PathExists(logPath_));
        EXPECT_TRUE(PathExists(programDir_ + "\\vsutest.exe"));
        EXPECT_TRUE(PathExists(menuDir_ + "\\Varnplay.lnk"));
        EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kAppPathsKey));
        EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, kSettingsKey));
    }
    // The command line exactly as "UninstallString" writes it.
    ProcessResult RunUninstaller(const std::string& options, const std::string& logPath) {
        return RunProcess("\"" + BuildProgramPath("VARNUINS.exe") + "\" " + options + logPath);
    }

    InstallSettings settings_{GetModuleHandleA(nullptr), "Varnplay Test", "vsutest.exe", 0, 0, "", "", 0};
    std::string scratch_, programDir_, menuDir_, logPath_;
};

TEST_F(Uninstaller, RemovesEverythingRecordedAndNothingElse) {
    Install();
    ASSERT_TRUE(PathExists(programDir_ + "\\games\\story.v5"));
    ProcessResult run = RunUninstaller("-q ", logPath_);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    EXPECT_EQ(run.errors, "");
    ExpectAllRemoved();
    ExpectOthersKept();
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, kUserBase));  // existed before: not recorded
}

TEST_F(Uninstaller, UserFileSurvivesWithItsFolder) {
    Install();
    std::string notes = programDir_ + "\\my notes.txt";
    WriteBinaryFile(notes, {'m', 'i', 'n', 'e'});
    ProcessResult run = RunUninstaller("-q ", logPath_);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    EXPECT_EQ(ReadBinaryFile(notes), (std::vector<uint8_t>{'m', 'i', 'n', 'e'}));
    EXPECT_FALSE(PathExists(programDir_ + "\\vsutest.exe"));
    EXPECT_FALSE(PathExists(programDir_ + "\\games"));
    EXPECT_FALSE(PathExists(logPath_));
    EXPECT_FALSE(PathExists(menuDir_));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kAppPathsKey));
}

TEST_F(Uninstaller, DamagedOrMissingLogRemovesNothing) {
    Install();
    std::vector<uint8_t> image = ReadBinaryFile(logPath_);
    std::vector<uint8_t> damaged(image.begin(), image.end() - 3);  // the last record cut short
    ASSERT_TRUE(WriteBinaryFile(logPath_, damaged));
    ProcessResult run = RunUninstaller("-q ", logPath_);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(run.errors.find("is damaged at offset "), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("Nothing was removed."), std::string::npos) << run.errors;
    ExpectNothingRemoved();

    damaged = image;
    damaged[0] = 5;  // an unknown kind in the first record
    ASSERT_TRUE(WriteBinaryFile(logPath_, damaged));
    run = RunUninstaller("-q ", logPath_);
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(run.errors.find("damaged at offset 0: unknown record kind 5"), std::string::npos) << run.errors;
    ExpectNothingRemoved();

    run = RunUninstaller("-q ", programDir_ + "\\UnInst9999.inf");
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(run.errors.find("cannot be read"), std::string::npos) << run.errors;
    run = RunUninstaller("-q", "");
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(run.errors.find("No uninstall log"), std::string::npos) << run.errors;
    ExpectNothingRemoved();
}

TEST_F(Uninstaller, PartialInstallationIsRemovedCompletely) {
    Install(true);
    ProcessResult run = RunUninstaller("-q ", logPath_);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    ExpectAllRemoved();
    ExpectOthersKept();
}

TEST_F(Uninstaller, RunningTwiceIsHarmless) {
    Install();
    std::string copy = scratch_ + "\\saved log.inf";
    ASSERT_TRUE(CopyFileA(logPath_.c_str(), copy.c_str(), FALSE));
    ASSERT_EQ(RunUninstaller("-q ", logPath_).exitCode, 0u);
    // The log removed itself: a second run finds no log and changes nothing.
    ProcessResult again = RunUninstaller("-q ", logPath_);
    EXPECT_EQ(again.exitCode, 1u);
    // With a copy of the log every record names something already gone.
    again = RunUninstaller("-q ", copy);
    EXPECT_EQ(again.exitCode, 0u) << again.errors;
    EXPECT_EQ(again.errors, "");
    ExpectAllRemoved();
    ExpectOthersKept();
    EXPECT_TRUE(PathExists(copy));
}

TEST_F(Uninstaller, AsksFirstAndDecliningRemovesNothing) {
    Install();
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(StartProcess("\"" + BuildProgramPath("VARNUINS.exe") + "\" " + logPath_, &process));
    HWND box = WaitForMessageBox(process);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "Are you sure you want to remove Varnplay Test and all of its components?");
    EXPECT_NE(GetDlgItem(box, IDNO), nullptr);
    PressButton(box, IDNO);
    EXPECT_EQ(FinishProcess(process), 1u);
    ExpectNothingRemoved();
}

TEST_F(Uninstaller, AgreeingRemovesAndTellsTheUser) {
    Install();
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(StartProcess("\"" + BuildProgramPath("VARNUINS.exe") + "\" " + logPath_, &process));
    HWND box = WaitForMessageBox(process);
    ASSERT_NE(box, nullptr);
    PressButton(box, IDYES);
    for (int round = 0; round < 200 && IsWindow(box); ++round) WaitForSingleObject(process.hProcess, 50);
    ASSERT_FALSE(IsWindow(box));
    box = WaitForMessageBox(process);
    ASSERT_NE(box, nullptr);
    std::string text = MessageBoxText(box);
    EXPECT_EQ(text, "Varnplay Test was removed from your computer.");
    PressButton(box, IDOK);
    EXPECT_EQ(FinishProcess(process), 0u);
    ExpectAllRemoved();
}

TEST_F(Uninstaller, DamagedLogIsShownWithItsOffset) {
    Install();
    std::vector<uint8_t> image = ReadBinaryFile(logPath_);
    image[4] = 0xFF;  // the first record's length now runs past the end
    image[5] = image[6] = image[7] = 0xFF;
    ASSERT_TRUE(WriteBinaryFile(logPath_, image));
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(StartProcess("\"" + BuildProgramPath("VARNUINS.exe") + "\" " + logPath_, &process));
    HWND box = WaitForMessageBox(process);
    ASSERT_NE(box, nullptr);
    std::string text = MessageBoxText(box);
    EXPECT_NE(text.find("is damaged at offset 0: truncated record: length 4294967295"), std::string::npos) << text;
    PressButton(box, IDOK);
    EXPECT_EQ(FinishProcess(process), 1u);
    ExpectNothingRemoved();
}

TEST_F(Uninstaller, FileInUseIsLeftForTheRestartAndReported) {
    Install();
    std::string busy = programDir_ + "\\vsutest.exe";
    HKEY sessionManager;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0,
                            KEY_ALL_ACCESS, &sessionManager),
              ERROR_SUCCESS);
    std::vector<char> pending(65536);
    DWORD pendingSize = static_cast<DWORD>(pending.size()), type = 0;
    bool hadPending = RegQueryValueExA(sessionManager, "PendingFileRenameOperations", nullptr, &type,
                                       reinterpret_cast<BYTE*>(pending.data()), &pendingSize) == ERROR_SUCCESS;
    HANDLE open = CreateFileA(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE) << GetLastError() << " " << busy << " " << PathExists(busy);
    ProcessResult run = RunUninstaller("-q ", logPath_);
    CloseHandle(open);
    if (hadPending)
        RegSetValueExA(sessionManager, "PendingFileRenameOperations", 0, REG_MULTI_SZ,
                       reinterpret_cast<const BYTE*>(pending.data()), pendingSize);
    else
        RegDeleteValueA(sessionManager, "PendingFileRenameOperations");
    RegCloseKey(sessionManager);
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_NE(run.errors.find("removed when you restart Windows:\r\n" + busy + "\r\n" + programDir_),
              std::string::npos)
        << run.errors;
    EXPECT_TRUE(PathExists(busy));
    EXPECT_FALSE(PathExists(programDir_ + "\\readme.txt"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kAppPathsKey));
}

}  // namespace
