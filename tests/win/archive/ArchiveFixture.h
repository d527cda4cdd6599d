#pragma once
// A scratch folder in the prefix's temp directory, an archive file written
// into it, and callbacks wired the way the install wires them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "install/ExtractArchive.h"
#include "pure/archive/ArchiveTestSupport.h"
#include "setup/InstallSettings.h"

class ArchiveOnDisk : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string Path(const std::string& relative) const { return root_ + "\\" + relative; }
    void WriteFileBytes(const std::string& path, const std::string& bytes);
    bool IsDirectory(const std::string& path);
    // Writes the archive to root\insfiles.vsa and extracts it into destination.
    int Extract(const archive_test::Bytes& archive, const std::string& destination);
    int Extract(const archive_test::Bytes& archive) { return Extract(archive, destination_); }

    std::vector<std::string> RecordedPaths(uint8_t kind) const;

    static void OnRange(void* context, uint32_t steps);
    static void OnStep(void* context);
    static int OnDirectory(void* context, const char* path);
    static int OnFile(void* context, const char* path, int keep);

    std::string root_, destination_;
    InstallSettings settingsObject_{GetModuleHandleA(nullptr), "Varnplay", "varnplay.exe", 0, 0, nullptr, "", 0};
    InstallSettings* settings_ = &settingsObject_;
    std::vector<std::string> directories_;
    uint32_t range_ = 0;
    int steps_ = 0;
    bool rangeCalled_ = false;
};

#include "support/InstallTestSupport.h"  // ReadWholeFile
#include "support/TempTree.h"  // RemoveTree, shared with the other suites
