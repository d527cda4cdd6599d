#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "setup/InstallSettings.h"
#include "setup/PathHelpers.h"
#include "setup/SetupDatFile.h"
#include "setup/Startup.h"

namespace {

const char* kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// Replaces HKLM\...\CurrentVersion "ProgramFilesDir" for one test and puts
// the original value back afterwards.
class ProgramFilesDirValue : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCurrentVersion, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key_),
                  ERROR_SUCCESS);
        originalSize_ = sizeof original_;
        hadValue_ = RegQueryValueExA(key_, "ProgramFilesDir", nullptr, &originalType_, original_, &originalSize_) ==
                    ERROR_SUCCESS;
    }
    void TearDown() override {
        if (hadValue_) {
            RegSetValueExA(key_, "ProgramFilesDir", 0, originalType_, original_, originalSize_);
        } else {
            RegDeleteValueA(key_, "ProgramFilesDir");
        }
        RegCloseKey(key_);
    }
    void Set(DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExA(key_, "ProgramFilesDir", 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }
    void SetText(DWORD type, const char* text) { Set(type, text, static_cast<DWORD>(strlen(text) + 1)); }
    std::string Read() {
        char buffer[kPathBufferSize];
        memset(buffer, 'Q', sizeof buffer);
        InstallSettingsBase::GetProgramFilesDir(buffer);
        return buffer;
    }

    HKEY key_ = nullptr;
    BYTE original_[1024] = {};
    DWORD originalSize_ = 0, originalType_ = 0;
    bool hadValue_ = false;
};

TEST_F(ProgramFilesDirValue, PlainStringIsTakenAsIs) {
    SetText(REG_SZ, "D:\\Apps\\");
    EXPECT_EQ(Read(), "D:\\Apps\\");
}

TEST_F(ProgramFilesDirValue, ExpandableStringIsExpanded) {
    SetEnvironmentVariableA("VSETUP_TEST_DRIVE", "E:");
    SetText(REG_EXPAND_SZ, "%VSETUP_TEST_DRIVE%\\Programme");
    EXPECT_EQ(Read(), "E:\\Programme");
}

TEST_F(ProgramFilesDirValue, NumberOrMissingValueGivesTheDefault) {
    DWORD number = 42;
    Set(REG_DWORD, &number, sizeof number);
    EXPECT_EQ(Read(), "C:\\Program Files");
    RegDeleteValueA(key_, "ProgramFilesDir");
    EXPECT_EQ(Read(), "C:\\Program Files");
}

TEST_F(ProgramFilesDirValue, OverlongValueNeverOverrunsTheBuffer) {
    std::string longest(300, 'x');
    SetText(REG_SZ, longest.c_str());
    EXPECT_EQ(Read(), "C:\\Program Files");
    SetEnvironmentVariableA("VSETUP_TEST_LONG", std::string(400, 'y').c_str());
    SetText(REG_EXPAND_SZ, "C:\\%VSETUP_TEST_LONG%");
    EXPECT_EQ(Read(), "C:\\Program Files");
}

TEST(InstallSettings, ConstructionSetsDefaultsAndProductBits) {
    InstallSettings settings(GetModuleHandleA(nullptr), "Varnplay", "varnplay.exe", 3, 0, nullptr, "", 1);
    EXPECT_STREQ(settings.appName.Get(), "Varnplay");
    EXPECT_STREQ(settings.mainExe.Get(), "varnplay.exe");
    EXPECT_STREQ(settings.licenseFile.Get(), "LICENSE.TXT");
    EXPECT_EQ(settings.options, static_cast<DWORD>(OptionLicensePage | OptionCreateAssociations));
    EXPECT_EQ(settings.outcome, 0u);
    EXPECT_EQ(settings.product, static_cast<DWORD>(ProductDebugger | ProductV3));  // only the low bit counts
    EXPECT_TRUE(settings.readmeFile.IsEmpty());
    EXPECT_FALSE(settings.saveSuffix.IsSet());
    EXPECT_NE(settings.arrowCursor, nullptr);
    EXPECT_NE(settings.waitCursor, nullptr);
    WNDCLASSEXA cls = {};
    cls.cbSize = sizeof cls;
    EXPECT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "EDIT_VSETUP_RO", &cls));
    settings.SetLicenseFile("EULA.TXT");
    EXPECT_STREQ(settings.licenseFile.Get(), "EULA.TXT");
    EXPECT_TRUE(settings.options & OptionLicensePage);
}

// A scratch directory under the prefix's temp folder, made current for one test.
class ScratchDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        GetCurrentDirectoryA(sizeof previous_, previous_);
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        dir_ = std::string(temp) + "vsetup-startup-test";
        CreateDirectoryA(dir_.c_str(), nullptr);
        ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
    }
    void TearDown() override {
        DeleteFileA("SETUP.DAT");
        SetCurrentDirectoryA(previous_);
        RemoveDirectoryA(dir_.c_str());
    }
    void Write(const std::string& bytes) {
        HANDLE file = CreateFileA("SETUP.DAT", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    char previous_[MAX_PATH] = {};
    std::string dir_;
};

TEST_F(ScratchDirectory, SetupDatIsReadFromTheCurrentDirectory) {
    Write("appname=Devi Dezir\r\ngame\r\n");
    SetupConfig config;
    ReadSetupDatFile("SETUP.DAT", config);
    EXPECT_STREQ(config.appname.Get(), "Devi Dezir");
    EXPECT_TRUE(config.game);
}

TEST_F(ScratchDirectory, LockedOrMissingSetupDatLeavesDefaults) {
    SetupConfig missing;
    ReadSetupDatFile("SETUP.DAT", missing);
    EXPECT_STREQ(missing.appname.Get(), "Varnplay");
    Write("appname=Locked\n");
    HANDLE holder = CreateFileA("SETUP.DAT", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    SetupConfig locked;
    ReadSetupDatFile("SETUP.DAT", locked);
    CloseHandle(holder);
    EXPECT_STREQ(locked.appname.Get(), "Varnplay");
}

TEST(Startup, ModulePathIsCutAtTheLastSeparator) {
    wchar_t path[kPathBufferSize] = L"C:\\Sets\\Varn/disk1\\setup.exe";
    CutAtLastSeparator(path);
    EXPECT_STREQ(path, L"C:\\Sets\\Varn/disk1");
    wchar_t root[kPathBufferSize] = L"D:\\setup.exe";
    CutAtLastSeparator(root);
    EXPECT_STREQ(root, L"D:");
    wchar_t bare[kPathBufferSize] = L"setup.exe";
    CutAtLastSeparator(bare);
    EXPECT_STREQ(bare, L"setup.exe");
    // Characters, not bytes: no part of a name is taken for a separator.
    wchar_t named[kPathBufferSize] = L"C:\\\u0417\u0430\u0433\\\u30bd\u8868\\setup.exe";
    CutAtLastSeparator(named);
    EXPECT_STREQ(named, L"C:\\\u0417\u0430\u0433\\\u30bd\u8868");
}

TEST(Startup, DllSearchIsRestrictedAndShellStillWorks) {
    ASSERT_TRUE(RestrictDllSearchToSystem());
    // A DLL name that exists only in the current directory must not load.
    char temp[MAX_PATH], planted[MAX_PATH], system[MAX_PATH], previous[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    GetCurrentDirectoryA(sizeof previous, previous);
    GetSystemDirectoryA(system, sizeof system);
    std::string source = std::string(system) + "\\version.dll";
    snprintf(planted, sizeof planted, "%svsetup_planted.dll", temp);
    ASSERT_TRUE(CopyFileA(source.c_str(), planted, FALSE));
    SetCurrentDirectoryA(temp);
    HMODULE loaded = LoadLibraryA("vsetup_planted.dll");
    SetCurrentDirectoryA(previous);
    if (loaded) FreeLibrary(loaded);
    DeleteFileA(planted);
    EXPECT_EQ(loaded, nullptr);
    // System DLLs that the wizard and the shortcuts need still load.
    for (const char* dll : {"comctl32.dll", "ole32.dll", "shell32.dll"}) {
        HMODULE module = LoadLibraryA(dll);
        EXPECT_NE(module, nullptr) << dll;
        if (module) FreeLibrary(module);
    }
}

}  // namespace
