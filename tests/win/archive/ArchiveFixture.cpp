#include "ArchiveFixture.h"

#include <cstring>

#include "shell/UninstallRecord.h"

void ArchiveOnDisk::SetUp() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::string(temp) + "vsa_" + info->name();
    RemoveTree(root_);
    ASSERT_TRUE(CreateDirectoryA(root_.c_str(), nullptr));
    destination_ = Path("dest");
    ASSERT_TRUE(CreateDirectoryA(destination_.c_str(), nullptr));
}

void ArchiveOnDisk::TearDown() {
    RemoveTree(root_);
}

void ArchiveOnDisk::WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
}

bool ArchiveOnDisk::IsDirectory(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int ArchiveOnDisk::Extract(const archive_test::Bytes& archive, const std::string& destination) {
    std::string archivePath = Path("insfiles.vsa");
    WriteFileBytes(archivePath, std::string(archive.begin(), archive.end()));
    ExtractCallbacks callbacks = {OnRange, OnStep, OnDirectory, OnFile, nullptr};
    return ExtractArchive(archivePath.c_str(), destination.c_str(), callbacks, this);
}

// Newest first in the list; returned oldest first.
std::vector<std::string> ArchiveOnDisk::RecordedPaths(uint8_t kind) const {
    std::vector<std::string> paths;
    for (const UninstallRecordNode* node = settings_->uninstallRecords; node; node = node->next)
        if (node->record[0] == kind) paths.insert(paths.begin(), reinterpret_cast<const char*>(node->record + 8));
    return paths;
}

void ArchiveOnDisk::OnRange(void* context, uint32_t steps) {
    ArchiveOnDisk* self = static_cast<ArchiveOnDisk*>(context);
    self->range_ = steps;
    self->rangeCalled_ = true;
}

void ArchiveOnDisk::OnStep(void* context) { static_cast<ArchiveOnDisk*>(context)->steps_++; }

int ArchiveOnDisk::OnDirectory(void* context, const char* path) {
    ArchiveOnDisk* self = static_cast<ArchiveOnDisk*>(context);
    self->directories_.push_back(path);
    return self->settings_->CreateDirectoryLogged(path, TRUE);
}

// As the install records extracted files: kept files are not recorded.
int ArchiveOnDisk::OnFile(void* context, const char* path, int keep) {
    if (!keep) static_cast<ArchiveOnDisk*>(context)->settings_->AddTextRecord(UninstallFile, path);
    return 0;
}
