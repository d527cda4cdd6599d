#include <algorithm>
#include <cctype>

#include "ShellFixture.h"
#include "shell/Sha256.h"
#include "shell/UninstallJournal.h"

namespace {

using installtest::ExpectShortcut;
using installtest::ReadRegistryString;

const char kAppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\varnplay.exe";
const char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\varnplay.exe";
const char kSaveError[] =
    "Error saving uninstall information.  You may be low on disk space.  The uninstaller will not be able to remove "
    "all application files.";
const char kCopyError[] = "Error copying file: VARNUINS.EXE.  You may be low on disk space.";

bool IsLogName(const std::string& name) {
    if (name.size() != 14 || name.compare(0, 6, "UnInst") != 0 || name.compare(10, 4, ".inf") != 0) return false;
    if (name[6] < '0' || name[6] > '7') return false;
    for (int i = 6; i < 10; ++i)
        if (!std::isdigit(static_cast<unsigned char>(name[i])) && (name[i] < 'A' || name[i] > 'F')) return false;
    return true;
}

class UninstallInfo : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        uninstallerCopy_ = installtest::WindowsDirectory() + "\\VARNUINS.EXE";
        ASSERT_FALSE(logtest::PathExists(uninstallerCopy_)) << "the test would replace a real uninstaller";
        ownsUninstallerCopy_ = true;
        set_ = scratch_ + "\\set";
        ASSERT_TRUE(CreateDirectoryA(set_.c_str(), nullptr));
        ASSERT_TRUE(installtest::WriteTextFile(set_ + "\\VARNUINS.EXE", "uninstaller bytes"));
        previousDir_ = installtest::CurrentDirectory();
        ASSERT_TRUE(SetCurrentDirectoryA(set_.c_str()));
    }
    void TearDown() override {
        SetCurrentDirectoryA(previousDir_.c_str());
        if (ownsUninstallerCopy_) DeleteFileA(uninstallerCopy_.c_str());
        ShellFixture::TearDown();
    }
    std::string Prepare(InstallSettings& settings, const char* programDir, const char* appName = "Varnplay") {
        char name[260];
        memset(name, 'Q', sizeof name);
        settings.PrepareUninstallInfo("varnplay.exe", appName, "varnplay.exe", programDir, name);
        return name;
    }

    std::string uninstallerCopy_, set_, previousDir_;
    bool ownsUninstallerCopy_ = false;
    installtest::DialogAnswerer answerer_;
};

TEST_F(UninstallInfo, PrepareNamesAFreeLogAndWritesTheFourValues) {
    auto settings = MakeSettings("Varnplay", "varnplay.exe", 0, 0, "", "", 0);
    std::string name = Prepare(*settings, programDir_.c_str());
    EXPECT_TRUE(IsLogName(name)) << name;
    // The log exists before the entry names it, nobody else can open it while
    // the installation runs, and the entry holds its digest.
    std::string logPath = programDir_ + "\\" + name;
    EXPECT_TRUE(logtest::PathExists(logPath));
    EXPECT_TRUE(logtest::ReadBinaryFile(logPath).empty());
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kAppPaths, ""), programDir_ + "\\varnplay.exe");
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kAppPaths, "Path"), programDir_);
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstall, "DisplayName"), "Varnplay");
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstall, "UninstallString"),
              "\"" + installtest::WindowsDirectory() + "\\VARNUINS.EXE\" " + programDir_ + "\\" + name);
    auto records = logtest::ListedRecords(*settings);
    ASSERT_GE(records.size(), 4u);
    LoggedRecord uninstall = Key(HKEY_LOCAL_MACHINE, kUninstall), appPaths = Key(HKEY_LOCAL_MACHINE, kAppPaths);
    // The entry first, so that App Paths is never written unrecorded.
    EXPECT_EQ(records[0], appPaths);
    EXPECT_EQ(records[1], appPaths);
    EXPECT_EQ(records[2], uninstall);
    EXPECT_EQ(records[3], uninstall);  // its parents exist in every Windows
    settings.reset();  // as when setup ends without finishing
    std::vector<uint8_t> journal = logtest::ReadBinaryFile(logPath);
    EXPECT_TRUE(IsJournalImage(journal.data(), journal.size()));
    char digest[kSha256TextSize];
    ASSERT_TRUE(Sha256Text(journal.data(), journal.size(), digest));
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstall, "UninstallJournalSHA256"), digest);
}

TEST_F(UninstallInfo, TrailingBackslashIsNotDoubledButPathKeepsIt) {
    auto settings = MakeSettings("Varnplay", "varnplay.exe", 0, 0, "", "", 0);
    std::string withSlash = programDir_ + "\\";
    std::string name = Prepare(*settings, withSlash.c_str());
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kAppPaths, ""), programDir_ + "\\varnplay.exe");
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kAppPaths, "Path"), withSlash);
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstall, "UninstallString"),
              "\"" + installtest::WindowsDirectory() + "\\VARNUINS.EXE\" " + programDir_ + "\\" + name);
}

TEST_F(UninstallInfo, FinishWritesShortcutsLogAndUninstaller) {
    ASSERT_TRUE(CreateDirectoryA(groupPath_.c_str(), nullptr));
    auto settings = MakeSettings("Varnplay", "varnplay.exe", 0, 0, "", "", 0);
    settings->startMenuPath.Assign((groupPath_ + "\\").c_str());
    std::string name = Prepare(*settings, programDir_.c_str());
    settings->FinishUninstallInfo(programDir_.c_str(), "Varnplay", name.c_str());

    std::string logPath = programDir_ + "\\" + name, uninstaller = installtest::WindowsDirectory() + "\\VARNUINS.EXE";
    std::string programLink = programDir_ + "\\Uninstall Varnplay.lnk", menuLink = groupPath_ + "\\Uninstall Varnplay.lnk";
    ExpectShortcut(programLink, uninstaller, logPath, "\"Uninstall Varnplay\"");
    ExpectShortcut(menuLink, uninstaller, logPath, "\"Uninstall Varnplay\"");
    EXPECT_EQ(installtest::ReadWholeFile(uninstallerCopy_), "uninstaller bytes");
    EXPECT_TRUE(answerer_.Seen().empty());

    std::vector<std::string> expected;
    for (const LoggedRecord& record : logtest::ListedRecords(*settings))
        expected.push_back(installtest::LogLine(record.kind, record.root, record.text));
    ASSERT_GE(expected.size(), 6u);
    EXPECT_EQ(expected[0], "APPNAME Varnplay");
    EXPECT_EQ(expected[1], "FILE " + logPath);
    EXPECT_EQ(expected[2], "FILE " + menuLink);
    EXPECT_EQ(expected[3], "FILE " + programLink);
    EXPECT_EQ(expected[4], "KEY HKEY_LOCAL_MACHINE " + std::string(kAppPaths));
    EXPECT_EQ(installtest::LogToolLines(logPath), expected);
    std::vector<uint8_t> image = logtest::ReadBinaryFile(logPath);
    char digest[kSha256TextSize];
    ASSERT_TRUE(Sha256Text(image.data(), image.size(), digest));
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstall, "UninstallLogSHA256"), digest);
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstall, "UninstallJournalSHA256"), "<missing>");
    EXPECT_FALSE(logtest::PathExists(logPath + ".new"));
}

// A second installation of the same application into the same folder takes
// the first one's log over; another application's log is left alone, and
// nobody can write to the log while the installation runs.
TEST_F(UninstallInfo, ReinstallationCarriesTheEarlierLogOver) {
    auto install = [this](const char* appName, const std::string& file, bool clash = false) {
        auto settings = MakeSettings(appName, "varnplay.exe", 0, 0, "", "", 0);
        std::string name = Prepare(*settings, programDir_.c_str(), appName);
        settings->AddTextRecord(UninstallDirectory, (programDir_ + "\\games").c_str());
        settings->AddTextRecord(UninstallFile, (programDir_ + "\\games\\" + file).c_str());
        if (clash) {
            EXPECT_FALSE(installtest::WriteTextFile(programDir_ + "\\" + name, "somebody else's"));
        }
        settings->FinishUninstallInfo(programDir_.c_str(), appName, name.c_str());
        return programDir_ + "\\" + name;
    };
    std::string first = install("Varnplay", "old.gam");
    std::string second = install("Varnplay", "new.gam");
    EXPECT_FALSE(logtest::PathExists(first));
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstall, "UninstallString"),
              "\"" + installtest::WindowsDirectory() + "\\VARNUINS.EXE\" " + second);
    std::vector<std::string> lines = installtest::LogToolLines(second);
    std::vector<std::string> carried(lines.end() - 2, lines.end());
    EXPECT_EQ(carried, (std::vector<std::string>{"FILE " + first, "FILE " + programDir_ + "\\games\\old.gam"}));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "DIR " + programDir_ + "\\games"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "APPNAME Varnplay"), 1);

    std::string other = install("Other Game", "other.gam");
    EXPECT_TRUE(logtest::PathExists(second));
    std::vector<std::string> otherLines = installtest::LogToolLines(other);
    EXPECT_EQ(otherLines.size(), 9u);  // its own records only
    EXPECT_EQ(std::count(otherLines.begin(), otherLines.end(), "DIR " + programDir_), 0);  // it was there before
    EXPECT_TRUE(answerer_.Seen().empty());

    std::string clashing = install("Other Game", "clash.gam", true);
    EXPECT_TRUE(answerer_.Seen().empty());
    EXPECT_EQ(installtest::LogToolLines(clashing)[0], "APPNAME Other Game");
}

// Without a log nothing may be created: what was made for it goes again,
// and no entry names a log that does not exist.
TEST_F(UninstallInfo, UnwritableProgramDirectoryReportsAndInstallsNothing) {
    auto settings = MakeSettings("Varnplay", "varnplay.exe", 0, 0, "", "", 0);
    ASSERT_TRUE(installtest::WriteTextFile(programDir_ + "\\afile", "x"));
    std::string blocked = programDir_ + "\\new\\afile\\Varnplay";
    ASSERT_TRUE(CreateDirectoryA((programDir_ + "\\new").c_str(), nullptr));
    ASSERT_TRUE(installtest::WriteTextFile(programDir_ + "\\new\\afile", "x"));
    settings->startMenuPath.Assign((groupPath_ + "\\").c_str());
    char name[260];
    EXPECT_FALSE(settings->PrepareUninstallInfo("varnplay.exe", "Varnplay", "varnplay.exe", blocked.c_str(), name));
    ASSERT_EQ(answerer_.Seen().size(), 1u);
    EXPECT_EQ(answerer_.Seen()[0].text, kSaveError);
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstall, "UninstallString"), "<missing>");
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kAppPaths, ""), "<missing>");
    EXPECT_FALSE(settings->AddTextRecord(UninstallFile, (programDir_ + "\\x").c_str()));  // nothing more is recorded
    settings->FinishUninstallInfo(blocked.c_str(), "Varnplay", name);
    EXPECT_FALSE(logtest::PathExists(uninstallerCopy_));
    EXPECT_FALSE(logtest::PathExists(groupPath_ + "\\Uninstall Varnplay.lnk"));
}

TEST_F(UninstallInfo, MissingUninstallerIsReportedAfterACompleteLog) {
    ASSERT_TRUE(DeleteFileA((set_ + "\\VARNUINS.EXE").c_str()));
    auto settings = MakeSettings("Varnplay", "varnplay.exe", 0, 0, "", "", 0);
    std::string name = Prepare(*settings, programDir_.c_str());
    settings->startMenuPath.Assign((programDir_ + "\\").c_str());
    settings->FinishUninstallInfo(programDir_.c_str(), "Varnplay", name.c_str());
    ASSERT_EQ(answerer_.Seen().size(), 1u);
    EXPECT_EQ(answerer_.Seen()[0].text, kCopyError);
    auto lines = installtest::LogToolLines(programDir_ + "\\" + name);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "APPNAME Varnplay");
}

TEST_F(UninstallInfo, NoFreeLogNameOverwritesNothing) {
    auto settings = MakeSettings("Varnplay", "varnplay.exe", 0, 0, "", "", 0);
    settings->startMenuPath.Assign((programDir_ + "\\").c_str());
    settings->FinishUninstallInfo(programDir_.c_str(), "Varnplay", "");
    EXPECT_TRUE(answerer_.Seen().empty());  // Prepare told the user, and nothing was installed
    EXPECT_TRUE(logtest::ListedRecords(*settings).empty());
    EXPECT_FALSE(logtest::PathExists(programDir_ + "\\Uninstall Varnplay.lnk"));
    EXPECT_FALSE(logtest::PathExists(uninstallerCopy_));
}

}  // namespace
