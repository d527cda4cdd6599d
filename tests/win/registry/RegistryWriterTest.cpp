#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "install/LinkGuard.h"
#include "install/Win32InstallSystem.h"
#include "setup/InstallSettings.h"
#include "shell/UninstallRecord.h"
#include "support/UninstallTestSupport.h"

using namespace logtest;

namespace {

constexpr uint32_t kCurrentUser = 0x80000001u;
const char* kBase = "Software\\VsetupRegistryTest";

LoggedRecord Key(const std::string& path) { return LoggedRecord{UninstallKey, kCurrentUser, path}; }

// A fresh InstallSettings per test and a clean test key under
// HKEY_CURRENT_USER\Software, removed again afterwards.
class RegistryWriter : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kBase);
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Alpha");
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kBase, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kBase);
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Alpha");
    }
    std::string Sub(const char* name) { return std::string(kBase) + "\\" + name; }
    // Type and stored size of a value, or an error status.
    LONG QueryValue(const std::string& keyPath, const char* name, DWORD* type, std::string* data) {
        HKEY key;
        LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_QUERY_VALUE, &key);
        if (status != ERROR_SUCCESS) return status;
        char buffer[512];
        DWORD size = sizeof buffer;
        status = RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(key);
        if (status == ERROR_SUCCESS) data->assign(buffer, size);
        return status;
    }

    InstallSettings settings{GetModuleHandleA(nullptr), "Varnplay", "varnplay.exe", 0, 0, "", "", 0};
    InstallSettings* settings_ = &settings;
};

TEST_F(RegistryWriter, MissingAncestorsAreRecordedTopmostFirstAndFiledInReverse) {
    ASSERT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, "Software"));
    ASSERT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, "Software\\Alpha"));
    EXPECT_EQ(settings_->WriteRegistryString(HKEY_CURRENT_USER, "Software\\Alpha\\Beta\\Gamma", "Name", "Value", 1),
              ERROR_SUCCESS);
    // The list is newest first: Gamma was added last.
    std::vector<LoggedRecord> expected = {Key("Software\\Alpha\\Beta\\Gamma"), Key("Software\\Alpha\\Beta"),
                                          Key("Software\\Alpha")};
    EXPECT_EQ(ListedRecords(*settings_), expected);

    std::string scratch = MakeScratchDirectory("vsetup-registry-log");
    std::string logPath = scratch + "\\UnInst0001.inf";
    ASSERT_TRUE(WriteLogFile(*settings_, logPath));
    EXPECT_EQ(ParsedRecords(ReadBinaryFile(logPath)), expected);  // child before parent in the file
    RemoveTree(scratch);

    DWORD type = 0;
    std::string data;
    ASSERT_EQ(QueryValue("Software\\Alpha\\Beta\\Gamma", "Name", &type, &data), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, std::string("Value\0", 6));
}

TEST_F(RegistryWriter, ExistingKeyWithAlwaysLogGivesExactlyOneRecord) {
    EXPECT_EQ(settings_->WriteRegistryString(HKEY_CURRENT_USER, kBase, "Name", "x", 1), ERROR_SUCCESS);
    EXPECT_EQ(ListedRecords(*settings_), std::vector<LoggedRecord>{Key(kBase)});
}

TEST_F(RegistryWriter, TwoValuesIntoOneNewKeyGiveTwoRecords) {
    std::string key = Sub("New");
    EXPECT_EQ(settings_->WriteRegistryString(HKEY_CURRENT_USER, key.c_str(), "One", "1", 1), ERROR_SUCCESS);
    EXPECT_EQ(settings_->WriteRegistryString(HKEY_CURRENT_USER, key.c_str(), "Two", "2", 1), ERROR_SUCCESS);
    EXPECT_EQ(ListedRecords(*settings_), (std::vector<LoggedRecord>{Key(key), Key(key)}));
}

TEST_F(RegistryWriter, EmptyNameSetsTheDefaultValueAndSizesCountTheNul) {
    std::string key = Sub("Values");
    ASSERT_EQ(settings_->WriteRegistryString(HKEY_CURRENT_USER, key.c_str(), "", "C:\\Apps\\varnplay.exe", 1),
              ERROR_SUCCESS);
    ASSERT_EQ(settings_->WriteRegistryString(HKEY_CURRENT_USER, key.c_str(), "Empty", "", 1), ERROR_SUCCESS);
    DWORD type = 0;
    std::string data;
    ASSERT_EQ(QueryValue(key, nullptr, &type, &data), ERROR_SUCCESS);  // the default value
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, std::string("C:\\Apps\\varnplay.exe\0", 21));
    ASSERT_EQ(QueryValue(key, "Empty", &type, &data), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data.size(), 1u);
}

TEST_F(RegistryWriter, KeyThatCannotBeCreatedReturnsTheErrorAndStaysRecorded) {
    // A volatile key cannot hold a non-volatile child.
    std::string parent = Sub("Volatile");
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, parent.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    std::string child = parent + "\\Child";
    LONG status = settings_->WriteRegistryString(HKEY_CURRENT_USER, child.c_str(), "Name", "x", 1);
    EXPECT_EQ(status, ERROR_CHILD_MUST_BE_VOLATILE);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, child.c_str()));
    EXPECT_EQ(ListedRecords(*settings_), std::vector<LoggedRecord>{Key(child)});
}

TEST_F(RegistryWriter, WithoutAlwaysLogOnlyMissingKeysAreRecorded) {
    settings_->LogNewRegistryKey(HKEY_CURRENT_USER, kBase, 0);
    EXPECT_TRUE(ListedRecords(*settings_).empty());
    std::string deep = Sub("One\\Two");
    settings_->LogNewRegistryKey(HKEY_CURRENT_USER, deep.c_str(), 0);
    EXPECT_EQ(ListedRecords(*settings_), (std::vector<LoggedRecord>{Key(deep), Key(Sub("One"))}));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, Sub("One").c_str()));  // logging creates nothing
}

TEST_F(RegistryWriter, RootsAreRecordedByTheirThirtyTwoBitValue) {
    settings_->LogNewRegistryKey(HKEY_CLASSES_ROOT, ".vsetuptest", 1);
    settings_->LogNewRegistryKey(HKEY_LOCAL_MACHINE, "Software", 1);
    std::vector<LoggedRecord> expected = {LoggedRecord{UninstallKey, 0x80000002u, "Software"},
                                          LoggedRecord{UninstallKey, 0x80000000u, ".vsetuptest"}};
    EXPECT_EQ(ListedRecords(*settings_), expected);
}

// The setup keeps the key of its last value open, as the journal's digest
// goes into one entry after every record: a value set after the key was
// deleted (by the setup or anyone) still reaches a key of that name.
TEST_F(RegistryWriter, ValuesReachTheirKeyAfterItWasDeleted) {
    LinkGuard guard;
    Win32InstallSystem system(guard);
    std::string entry = Sub("Entry");
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(system.SetValue(kCurrentUser, entry.c_str(), "Digest", "one"));
    ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, entry.c_str()), ERROR_SUCCESS);
    EXPECT_TRUE(system.SetValue(kCurrentUser, entry.c_str(), "Digest", "two"));
    ASSERT_EQ(QueryValue(entry, "Digest", &type, &data), ERROR_SUCCESS);
    EXPECT_EQ(data, std::string("two", 4));
    system.DeleteKey(kCurrentUser, entry.c_str());
    EXPECT_EQ(QueryValue(entry, "Digest", &type, &data), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(system.SetValue(kCurrentUser, entry.c_str(), "Digest", "three"));
    ASSERT_EQ(QueryValue(entry, "Digest", &type, &data), ERROR_SUCCESS);
    EXPECT_EQ(data, std::string("three", 6));
}

}  // namespace
