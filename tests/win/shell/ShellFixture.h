#pragma once
#include <gtest/gtest.h>
#include <objbase.h>

#include <memory>
#include <string>
#include <vector>

#include "install/ProgressPage.h"
#include "setup/InstallSettings.h"
#include "shell/UninstallRecord.h"
#include "support/InstallTestSupport.h"
#include "support/ModalResponder.h"
#include "support/UninstallTestSupport.h"

using logtest::LoggedRecord;

inline LoggedRecord Dir(const std::string& path) { return {UninstallDirectory, 0, path}; }
inline LoggedRecord File(const std::string& path) { return {UninstallFile, 0, path}; }
inline LoggedRecord Key(HKEY root, const std::string& path) {
    return {UninstallKey, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(root)), path};
}

// A program directory with a blank in its name, a Start Menu folder of the
// test's own, and every registry key the shell steps write removed before
// and after.
class ShellFixture : public ::testing::Test {
protected:
    void SetUp() override {
        installtest::KeepWineMenuBuilderAway();
        CoInitialize(nullptr);
        scratch_ = logtest::MakeScratchDirectory("vsetup-shell-test");
        programDir_ = scratch_ + "\\Varn Play";
        ASSERT_TRUE(CreateDirectoryA(programDir_.c_str(), nullptr));
        group_ = "vsetup shell test " + std::to_string(GetCurrentProcessId());
        groupPath_ = installtest::ProgramsFolder() + "\\" + group_;
        CleanRegistry();
    }
    void TearDown() override {
        logtest::RemoveTree(groupPath_);
        logtest::RemoveTree(scratch_);
        CleanRegistry();
        CoUninitialize();
    }
    static void CleanRegistry() {
        for (const char* key : {".GAM", ".SAV", ".VDC", ".DDZ", "VARN.Game", "VARN.Save", "VARN.DebugConfig",
                                "Devi Dezir.Save"})
            installtest::DeleteRegistryTree(HKEY_CLASSES_ROOT, key);
        installtest::DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\VARN");
        installtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE,
                                        "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\varnplay.exe");
        installtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE,
                                        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\varnplay.exe");
    }
    std::unique_ptr<InstallSettings> MakeSettings(const char* appName, const char* mainExe, int debugger, int game,
                                                  const char* readme, const char* readmeTitle, int v3) {
        auto settings = std::make_unique<InstallSettings>(GetModuleHandleA(nullptr), appName, mainExe, debugger, game,
                                                          readme, readmeTitle, v3);
        settings->programDir.Assign(programDir_.c_str());
        settings->startFolder.Assign(group_.c_str());
        settings->saveSuffix.Assign("SAV");
        return settings;
    }

    std::string scratch_, programDir_, group_, groupPath_;
};
