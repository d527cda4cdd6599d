#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "setup/InstallSettings.h"
#include "shell/UninstallRecord.h"
#include "support/UninstallTestSupport.h"

using namespace logtest;

namespace {

class UninstallLogFile : public ::testing::Test {
protected:
    void SetUp() override {
        scratch_ = MakeScratchDirectory("vsetup-log-file");
        logPath_ = scratch_ + "\\UnInst0A0B.inf";
    }
    void TearDown() override {
        RemoveTree(scratch_);
    }
    InstallSettings settings{GetModuleHandleA(nullptr), "Varnplay", "varnplay.exe", 0, 0, "", "", 0};
    InstallSettings* settings_ = &settings;
    std::string scratch_, logPath_;
};

// The bytes are written out by hand: n + 12 for texts, n + 16 for keys, zero
// filler, newest record first.
TEST_F(UninstallLogFile, RecordsAreWrittenNewestFirstWithTheExactLayout) {
    settings_->AddTextRecord(UninstallDirectory, "C:\\x");     // 4 characters: 16 bytes
    settings_->AddKeyRecord(HKEY_CURRENT_USER, "Soft\\A");    // 6 characters: 22 bytes
    settings_->AddTextRecord(UninstallAppName, "Varnplay");    // 8 characters: 20 bytes
    ASSERT_TRUE(WriteLogFile(*settings_, logPath_));
    const std::vector<uint8_t> expected = {
        6, 0, 0, 0, 20, 0, 0, 0, 'V', 'a', 'r', 'n', 'p', 'l', 'a', 'y', 0, 0, 0, 0,
        1, 0, 0, 0, 22, 0, 0, 0, 0x01, 0x00, 0x00, 0x80, 'S', 'o', 'f', 't', '\\', 'A', 0, 0, 0, 0,
        2, 0, 0, 0, 16, 0, 0, 0, 'C', ':', '\\', 'x', 0, 0, 0, 0,
    };
    EXPECT_EQ(ReadBinaryFile(logPath_), expected);
}

TEST_F(UninstallLogFile, CallerFilledRecordsGetZeroFiller) {
    uint8_t* record = settings_->AddRecord(UninstallFile, 5 + 12);
    memcpy(record + 8, "C:\\ab", 6);  // payload and NUL only, as a caller following the format would
    ASSERT_TRUE(WriteLogFile(*settings_, logPath_));
    const std::vector<uint8_t> expected = {3, 0, 0, 0, 17, 0, 0, 0, 'C', ':', '\\', 'a', 'b', 0, 0, 0, 0};
    EXPECT_EQ(ReadBinaryFile(logPath_), expected);
}

TEST_F(UninstallLogFile, EmptyLogWritesAnEmptyFileAndFreeingEmptiesTheList) {
    ASSERT_TRUE(WriteLogFile(*settings_, logPath_));
    EXPECT_TRUE(ReadBinaryFile(logPath_).empty());
    settings_->AddTextRecord(UninstallFile, "C:\\a");
    settings_->FreeUninstallRecords();
    EXPECT_EQ(settings_->uninstallRecords, nullptr);
}

TEST_F(UninstallLogFile, FailedWriteIsReported) {
    settings_->AddTextRecord(UninstallFile, "C:\\a");
    HANDLE readOnly = CreateFileA(logPath_.c_str(), GENERIC_READ, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(readOnly, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(settings_->WriteUninstallRecords(readOnly));
    CloseHandle(readOnly);
}

// The log tool as publishers and later tests use it: one line per record.
TEST_F(UninstallLogFile, ToolListsRecordsInFileOrder) {
    settings_->AddTextRecord(UninstallDirectory, "C:\\Program Files\\Varnplay");
    settings_->AddTextRecord(UninstallFile, "C:\\Program Files\\Varnplay\\read me.txt");
    settings_->AddKeyRecord(HKEY_CLASSES_ROOT, ".vsav");
    settings_->AddKeyRecord(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\v.exe");
    settings_->AddTextRecord(UninstallAppName, "Varn\tplay 100%");  // one line whatever the text holds
    ASSERT_TRUE(WriteLogFile(*settings_, logPath_));
    ProcessResult run = RunProcess("\"" + BuildProgramPath("uninstlog.exe") + "\" \"" + logPath_ + "\"");
    ASSERT_TRUE(run.started);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    EXPECT_EQ(run.output,
              "APPNAME Varn%09play 100%25\n"
              "KEY HKEY_LOCAL_MACHINE Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\v.exe\n"
              "KEY HKEY_CLASSES_ROOT .vsav\n"
              "FILE C:\\Program Files\\Varnplay\\read me.txt\n"
              "DIR C:\\Program Files\\Varnplay\n");
    EXPECT_EQ(run.errors, "");
}

TEST_F(UninstallLogFile, ToolReportsDamageWithTheOffsetAndAFailingStatus) {
    settings_->AddTextRecord(UninstallFile, "C:\\a");      // 16 bytes, second in the file
    settings_->AddTextRecord(UninstallAppName, "Varnplay");  // 20 bytes, first
    ASSERT_TRUE(WriteLogFile(*settings_, logPath_));
    std::vector<uint8_t> image = ReadBinaryFile(logPath_);
    image.resize(image.size() - 2);
    ASSERT_TRUE(WriteBinaryFile(logPath_, image));
    ProcessResult run = RunProcess("\"" + BuildProgramPath("uninstlog.exe") + "\" \"" + logPath_ + "\"");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.output, "APPNAME Varnplay\n");
    EXPECT_NE(run.errors.find("offset 20:"), std::string::npos) << run.errors;

    ASSERT_TRUE(WriteBinaryFile(logPath_, {}));
    run = RunProcess("\"" + BuildProgramPath("uninstlog.exe") + "\" \"" + logPath_ + "\"");
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(run.errors.find("offset 0: the log is empty"), std::string::npos) << run.errors;

    run = RunProcess("\"" + BuildProgramPath("uninstlog.exe") + "\" \"" + scratch_ + "\\missing.inf\"");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_NE(run.errors.find("cannot read"), std::string::npos) << run.errors;
}

}  // namespace
