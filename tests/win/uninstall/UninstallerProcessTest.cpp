// VARNUINS.EXE run as its own process against an installation-like state
// built in the test prefix: files, folders and registry keys recorded the
// way the setup records them, and a log written by WriteUninstallRecords.
#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "setup/InstallSettings.h"
#include "setup/InstallationLock.h"
#include "shell/RegisteredLog.h"
#include "shell/UninstallRecord.h"
#include "support/InstallTestSupport.h"
#include "support/UnixSide.h"
#include "support/UninstallTestSupport.h"

using namespace logtest;

namespace {

const char* kVarnKey = "Software\\VARN";
const char* kOtherKey = "Software\\VARN\\VsetupOther";  // another product's: must survive
const char* kSettingsKey = "Software\\VARN\\Varnplay\\1.0\\Settings";
const char* kEntryName = "vsutest.exe";
const std::string kAppPathsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\vsutest.exe";
const std::string kEntryKey = std::string(kUninstallEntriesKey) + "vsutest.exe";
const char* kExtensionKey = ".vsutest";
const char* kFileTypeKey = "Varnplay Test.Save";

class Uninstaller : public ::testing::Test {
protected:
    void SetUp() override {
        CleanRegistry();
        scratch_ = MakeScratchDirectory("vsetup uninstall");
        programDir_ = scratch_ + "\\Varn Play";
        menuDir_ = installtest::ProgramsFolder() + "\\Vsetup Uninstall Test";
        otherLink_ = installtest::ProgramsFolder() + "\\vsetup other.lnk";
        logPath_ = programDir_ + "\\UnInst0ABC.inf";
        RemoveTree(menuDir_);
        // Present before the installation: must survive.
        WriteBinaryFile(otherLink_, {'o'});
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, kOtherKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegCloseKey(key);
    }
    void TearDown() override {
        RemoveTree(scratch_);
        RemoveTree(menuDir_);
        DeleteFileA(otherLink_.c_str());
        CleanRegistry();
    }
    static void CleanRegistry() {
        RegDeleteTreeA(HKEY_CURRENT_USER, kVarnKey);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kAppPathsKey.c_str());
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kEntryKey.c_str());
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
    // Everything a small installation creates, in the setup's order, with
    // its log registered as the setup registers it.
    void Install(bool partial = false) {
        settings_.WriteRegistryString(HKEY_LOCAL_MACHINE, kAppPathsKey.c_str(), "",
                                      (programDir_ + "\\vsutest.exe").c_str(), 1);
        settings_.WriteRegistryString(HKEY_LOCAL_MACHINE, kEntryKey.c_str(), "DisplayName", "Varnplay Test", 1);
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
        settings_.WriteRegistryString(HKEY_CURRENT_USER, kSettingsKey, "Setup Done", "Yes", 1);
        if (!partial) File(programDir_ + "\\Uninstall Varnplay Test.lnk");
        File(logPath_, false);
        settings_.AddTextRecord(UninstallAppName, "Varnplay Test");
        ASSERT_TRUE(WriteLogFile(settings_, logPath_));
        ASSERT_TRUE(RegisterLog(kEntryName, logPath_));
        ASSERT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, kSettingsKey));
        ASSERT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, kExtensionKey));
        ASSERT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kAppPathsKey.c_str()));
    }
    void ExpectAllRemoved() {
        EXPECT_FALSE(PathExists(programDir_));
        EXPECT_FALSE(PathExists(menuDir_));
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kAppPathsKey.c_str()));
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kEntryKey.c_str()));
        EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, kExtensionKey));
        EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, kFileTypeKey));
        EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, "Software\\VARN\\Varnplay"));
    }
    void ExpectOthersKept() {
        EXPECT_TRUE(PathExists(otherLink_));
        EXPECT_TRUE(PathExists(scratch_));
        EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, kOtherKey));
        EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths"));
    }
    void ExpectNothingRemoved() {
        EXPECT_TRUE(PathExists(logPath_));
        EXPECT_TRUE(PathExists(programDir_ + "\\vsutest.exe"));
        EXPECT_TRUE(PathExists(menuDir_ + "\\Varnplay.lnk"));
        EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kAppPathsKey.c_str()));
        EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kEntryKey.c_str()));
        EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, kSettingsKey));
    }
    // The command line exactly as "UninstallString" writes it.
    ProcessResult RunUninstaller(const std::string& options, const std::string& logPath,
                                 const char* directory = nullptr) {
        return RunProcess("\"" + BuildProgramPath("VARNUINS.exe") + "\" " + options + logPath, 60000, directory);
    }

    InstallSettings settings_{GetModuleHandleA(nullptr), "Varnplay Test", "vsutest.exe", 0, 0, "", "", 0};
    std::string scratch_, programDir_, menuDir_, otherLink_, logPath_;
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
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, kVarnKey));  // existed before: not recorded
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
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kAppPathsKey.c_str()));
}

// A damaged log, one changed after the installation, one without its digest
// and one that no Uninstall entry names: nothing removed, status 1.
TEST_F(Uninstaller, UnusableOrUntrustedLogRemovesNothing) {
    Install();
    std::vector<uint8_t> image = ReadBinaryFile(logPath_);
    struct Case {
        std::vector<uint8_t> log;
        const char* message;
    };
    std::vector<Case> cases = {
        {std::vector<uint8_t>(image.begin(), image.end() - 3), "is damaged at offset "},
        {image, "damaged at offset 0: unknown record kind 5"},
        {image, "was changed after the installation"},
        {{}, "damaged at offset 0: the log is empty"},
    };
    cases[1].log[0] = 5;                    // an unknown kind in the first record
    cases[2].log[image.size() - 20] ^= 1;   // one byte of the oldest record's text
    for (const Case& test : cases) {
        ASSERT_TRUE(WriteBinaryFile(logPath_, test.log));
        ProcessResult run = RunUninstaller("-q ", logPath_);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 1u) << test.message;
        EXPECT_NE(run.errors.find(test.message), std::string::npos) << run.errors;
        EXPECT_NE(run.errors.find("Nothing was removed."), std::string::npos) << run.errors;
        ExpectNothingRemoved();
    }
    ASSERT_TRUE(WriteBinaryFile(logPath_, image));
    std::string copy = scratch_ + "\\copy of the log.inf";
    ASSERT_TRUE(CopyFileA(logPath_.c_str(), copy.c_str(), FALSE));
    ProcessResult run = RunUninstaller("-q ", copy);
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(run.errors.find("belongs to no installed program"), std::string::npos) << run.errors;
    HKEY entry;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kEntryKey.c_str(), 0, KEY_ALL_ACCESS, &entry), ERROR_SUCCESS);
    RegDeleteValueA(entry, kLogDigestValueName);
    RegCloseKey(entry);
    run = RunUninstaller("-q ", logPath_);
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(run.errors.find("stored no digest"), std::string::npos) << run.errors;
    run = RunUninstaller("-q ", programDir_ + "\\UnInst9999.inf");
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(run.errors.find("cannot be read"), std::string::npos) << run.errors;
    // A command line no tool should send: invalid parameter.
    run = RunUninstaller("-q", "");
    EXPECT_EQ(run.exitCode, 5u);
    EXPECT_NE(run.errors.find("No uninstall log"), std::string::npos) << run.errors;
    run = RunUninstaller("-q -l", "");
    EXPECT_EQ(run.exitCode, 5u);
    EXPECT_NE(run.errors.find("The -l switch needs"), std::string::npos) << run.errors;
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

// The log and the entry went last: a second run finds no log and changes
// nothing. A relative path names the log in the folder the run starts in.
TEST_F(Uninstaller, RelativeLogPathThenASecondRun) {
    Install();
    ProcessResult run = RunUninstaller("-q ", "UnInst0ABC.inf", programDir_.c_str());
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    ExpectAllRemoved();
    ProcessResult again = RunUninstaller("-q ", logPath_);
    EXPECT_EQ(again.exitCode, 1u);
    EXPECT_NE(again.errors.find("cannot be read"), std::string::npos) << again.errors;
    ExpectOthersKept();
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

// While a setup or another uninstaller holds the machine's installation
// lock, nothing is removed and the status says why; -l logs it all.
TEST_F(Uninstaller, SecondInstanceIsRefusedAndTheLogSaysSo) {
    Install();
    std::string activity = scratch_ + "\\admin log.txt";
    WriteBinaryFile(activity, {'o', 'l', 'd', '\r', '\n'});
    {
        InstallationLock held;
        ASSERT_EQ(held.Acquire(), LockHeld);
        ProcessResult run = RunUninstaller("-l \"" + activity + "\" -q ", logPath_);
        EXPECT_EQ(run.exitCode, 3u);
        EXPECT_NE(run.errors.find("Another installation or removal is in progress."), std::string::npos) << run.errors;
        ExpectNothingRemoved();
    }
    ProcessResult run = RunUninstaller("-q -l \"" + activity + "\" ", logPath_);
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    ExpectAllRemoved();
    std::string text = installtest::ReadWholeFile(activity);
    EXPECT_EQ(text.compare(0, 5, "old\r\n"), 0) << text;  // appended to, never overwritten
    for (const char* line : {"Message suppressed: Another installation or removal is in progress.",
                             "ended with exit status 3\r\n", "of Varnplay Test\r\n",
                             "Removed 19 items; 0 could not be removed, 0 go at the next restart",  // 6 files, 3 folders, 10 keys
                             "ended with exit status 0\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
}

// A lock whose security shuts administrators out was not made by a setup:
// the message says so, rather than that another setup runs.
TEST_F(Uninstaller, PlantedLockIsNamedAsSuch) {
    Install();
    PSECURITY_DESCRIPTOR denyAll = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(D;;GA;;;WD)", SDDL_REVISION_1, &denyAll,
                                                                     nullptr));
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, denyAll, FALSE};
    HANDLE planted = CreateMutexA(&attributes, FALSE, kInstallationLockName);
    LocalFree(denyAll);
    ASSERT_NE(planted, nullptr);
    ProcessResult run = RunUninstaller("-q ", logPath_);
    CloseHandle(planted);
    EXPECT_EQ(run.exitCode, 3u);
    EXPECT_NE(run.errors.find("A program without administrator rights holds the lock"), std::string::npos)
        << run.errors;
    ExpectNothingRemoved();
}

// The elevated uninstaller appends to a path a user may have prepared: a
// second name of another file, or a device, is left alone with a warning,
// and the removal goes on.
TEST_F(Uninstaller, LogFileThatIsALinkOrDeviceIsNotWritten) {
    Install();
    std::string target = scratch_ + "\\precious.txt", link = scratch_ + "\\planted.log";
    ASSERT_TRUE(WriteBinaryFile(target, {'k', 'e', 'e', 'p'}));
    ASSERT_TRUE(CreateHardLinkA(link.c_str(), target.c_str(), nullptr)) << GetLastError();
    ProcessResult run = RunUninstaller("-q -l \"" + link + "\" ", logPath_);
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    EXPECT_NE(run.errors.find("planted.log is a link, a device or a folder, and was not written."), std::string::npos)
        << run.errors;
    EXPECT_EQ(installtest::ReadWholeFile(target), "keep");
    ExpectAllRemoved();
    Install();
    run = RunUninstaller("-l NUL -q ", logPath_);
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    EXPECT_NE(run.errors.find("The log file NUL is a link, a device or a folder"), std::string::npos) << run.errors;
}

// In use: a removal at restart would go by the path, and under Wine every
// folder on the way is the user's to change (swap for a link before the
// restart), so nothing is scheduled. The file stays, the user is told to
// close the program and run the uninstaller again, and the log and the entry
// stay for that run; once the file is closed, that run removes the rest and
// then the log. Had the user swapped the program folder for a link to
// another folder holding a file of that name before it, the run removes
// nothing there.
TEST_F(Uninstaller, FileInUseKeepsTheLogForASecondRun) {
    PendingRenames restore;
    Install();
    std::string busy = programDir_ + "\\vsutest.exe";
    HANDLE open = CreateFileA(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE) << GetLastError() << " " << busy;
    ProcessResult run = RunUninstaller("-q ", logPath_);
    CloseHandle(open);
    EXPECT_EQ(run.exitCode, 6u);  // close the program, then run again
    EXPECT_NE(run.errors.find("Close the programs that use them, then run the uninstaller again:\r\n" + busy +
                              "\r\n\r\n"),
              std::string::npos)
        << run.errors;
    EXPECT_EQ(run.errors.find("restart Windows:"), std::string::npos) << run.errors;
    std::string pending;
    EXPECT_TRUE(!restore.Read(&pending) || pending.find(busy) == std::string::npos) << "scheduled by path";
    EXPECT_NE(run.errors.find("run the uninstaller again to finish"), std::string::npos) << run.errors;
    EXPECT_TRUE(PathExists(busy));
    EXPECT_TRUE(PathExists(logPath_));
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kEntryKey.c_str()));
    EXPECT_FALSE(PathExists(programDir_ + "\\readme.txt"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kAppPathsKey.c_str()));

    std::string moved = scratch_ + "\\moved", other = scratch_ + "\\other";
    std::string victim = other + "\\vsutest.exe";
    ASSERT_TRUE(MoveFileA(programDir_.c_str(), moved.c_str()));
    CreateDirectoryA(other.c_str(), nullptr);
    ASSERT_TRUE(WriteBinaryFile(victim, {'v'}));
    ASSERT_TRUE(CopyFileA((moved + "\\UnInst0ABC.inf").c_str(), (other + "\\UnInst0ABC.inf").c_str(), FALSE));
    ASSERT_TRUE(RunUnixProgram("/bin/ln -s", UnixPathOf(other), UnixPathOf(programDir_)));
    ASSERT_TRUE(Eventually([&] { return PathExists(busy); }));
    ProcessResult swapped = RunUninstaller("-q ", logPath_);
    RunUnixProgram("/bin/rm", UnixPathOf(programDir_), "");
    ASSERT_TRUE(Eventually([&] { return !PathExists(programDir_); }));
    EXPECT_NE(swapped.exitCode, 0u) << swapped.errors;
    EXPECT_TRUE(PathExists(victim));
    ASSERT_TRUE(MoveFileA(moved.c_str(), programDir_.c_str()));
    if (swapped.exitCode != 2u) return;  // refused the log as a whole: nothing else to see
    EXPECT_NE(swapped.errors.find("outside the folders"), std::string::npos) << swapped.errors;
}

// The same with the file closed before the second run.
TEST_F(Uninstaller, FileInUseThenClosedGoesOnTheSecondRun) {
    Install();
    std::string busy = programDir_ + "\\vsutest.exe";
    HANDLE open = CreateFileA(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE) << GetLastError() << " " << busy;
    EXPECT_EQ(RunUninstaller("-q ", logPath_).exitCode, 6u);  // in use: close it, then run again
    CloseHandle(open);
    ProcessResult second = RunUninstaller("-q ", logPath_);
    EXPECT_EQ(second.exitCode, 0u) << second.errors;
    ExpectAllRemoved();
    ExpectOthersKept();
}

// Records that a hostile installation set or a changed log could hold, in a
// log whose digest is registered: none of their targets is touched, the
// installation itself still goes, status 2.
TEST_F(Uninstaller, RecordsOutsideTheInstallationAreRefused) {
    std::string windows = installtest::WindowsDirectory(), system = windows + "\\system32";
    std::string otherUser = "C:\\users\\vsetup-other-user";
    std::string linked = windows + "\\vsetup-linked";  // reached through a link in the program directory
    std::vector<std::string> victims = {system + "\\vsetup-victim.dll", scratch_ + "\\vsetup-victim2.txt",
                                        windows + "\\vsetup-victim3.txt", windows + "\\vsetup-victim5.txt",
                                        otherUser + "\\Documents\\letter.txt", linked + "\\victim6.dll"};
    for (const std::string& folder : {otherUser, otherUser + "\\Documents", linked})
        CreateDirectoryA(folder.c_str(), nullptr);
    for (const std::string& victim : victims) ASSERT_TRUE(WriteBinaryFile(victim, {'v'})) << victim;
    SetFileAttributesA(victims[3].c_str(), FILE_ATTRIBUTE_READONLY);
    std::string emptyDir = windows + "\\vsetup-emptydir";
    CreateDirectoryA(emptyDir.c_str(), nullptr);
    const char* run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const char* victimKey = "Software\\AuditVictim";
    settings_.WriteRegistryString(HKEY_CURRENT_USER, victimKey, "One", "1", 1);
    settings_.WriteRegistryString(HKEY_CURRENT_USER, victimKey, "Two", "2", 1);
    settings_.WriteRegistryString(HKEY_CURRENT_USER, run, "VsetupVictim", "victim.exe", 1);
    settings_.WriteRegistryString(HKEY_CURRENT_USER, "Environment", "VSETUP_VICTIM", "1", 1);
    settings_.AddTextRecord(UninstallFile, victims[0].c_str());
    settings_.AddTextRecord(UninstallFile, (programDir_ + "\\..\\vsetup-victim2.txt").c_str());
    settings_.AddTextRecord(UninstallFile, ("\\\\?\\" + victims[2]).c_str());
    settings_.AddTextRecord(UninstallFile, victims[3].c_str());
    settings_.AddTextRecord(UninstallFile, victims[4].c_str());
    settings_.AddTextRecord(UninstallFile, (programDir_ + "\\NUL").c_str());
    settings_.AddTextRecord(UninstallDirectory, emptyDir.c_str());
    settings_.AddTextRecord(UninstallFile, (programDir_ + "\\link\\victim6.dll").c_str());
    Install();
    std::string link = UnixPathOf(programDir_) + "/link", windowsLink = programDir_ + "\\link";
    ASSERT_TRUE(RunUnixProgram("/bin/ln -s", UnixPathOf(linked), link));
    ASSERT_TRUE(Eventually([&] { return PathExists(windowsLink); }));
    ASSERT_TRUE(GetFileAttributesA(windowsLink.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
    ProcessResult result = RunUninstaller("-q ", logPath_);
    RunUnixProgram("/bin/rm", link, "");
    EXPECT_TRUE(Eventually([&] { return !PathExists(windowsLink); }));
    // The log and the entry stay: Windows' list must not forget items that are still there.
    EXPECT_TRUE(PathExists(logPath_));
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kEntryKey.c_str()));
    EXPECT_NE(result.errors.find("stays in the list of installed programs"), std::string::npos) << result.errors;
    DeleteFileA(logPath_.c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kEntryKey.c_str());
    EXPECT_TRUE(RemoveDirectoryA(programDir_.c_str())) << "only the link and the log were left in it";
    EXPECT_EQ(result.exitCode, 2u) << result.errors;
    for (const std::string& victim : victims) EXPECT_TRUE(PathExists(victim)) << victim;
    EXPECT_TRUE(GetFileAttributesA(victims[3].c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(PathExists(emptyDir));
    EXPECT_EQ(installtest::ReadRegistryString(HKEY_CURRENT_USER, victimKey, "Two"), "2");
    EXPECT_EQ(installtest::ReadRegistryString(HKEY_CURRENT_USER, run, "VsetupVictim"), "victim.exe");
    EXPECT_EQ(installtest::ReadRegistryString(HKEY_CURRENT_USER, "Environment", "VSETUP_VICTIM"), "1");
    size_t list = result.errors.find("outside the folders and registry keys that the installation uses.  They were not "
                                     "touched:\r\n");
    EXPECT_NE(list, std::string::npos) << result.errors;
    for (const std::string& item : {victims[0], emptyDir, std::string("HKEY_CURRENT_USER\\Environment")})
        EXPECT_NE(result.errors.find("\r\n" + item + "\r\n", list), std::string::npos) << item;
    ExpectAllRemoved();
    ExpectOthersKept();

    SetFileAttributesA(victims[3].c_str(), FILE_ATTRIBUTE_NORMAL);
    for (const std::string& victim : victims) DeleteFileA(victim.c_str());
    RemoveDirectoryA(emptyDir.c_str());
    RemoveDirectoryA(linked.c_str());
    RemoveTree(otherUser);
    RegDeleteTreeA(HKEY_CURRENT_USER, victimKey);
    HKEY key;
    for (const char* keyPath : {run, "Environment"}) {
        if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) continue;
        RegDeleteValueA(key, keyPath == run ? "VsetupVictim" : "VSETUP_VICTIM");
        RegCloseKey(key);
    }
}

}  // namespace
