#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/UninstallTestSupport.h"
#include "support/UnixSide.h"
#include "uninstall/FolderAccess.h"
#include "uninstall/Win32RemovalTarget.h"

using namespace logtest;

namespace {

const char* kTestKey = "Software\\VsetupRemovalTargetTest";

class Win32Removal : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = MakeScratchDirectory("vsetup-removal-target");
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
    }
    void TearDown() override {
        RemoveTree(dir_);
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
    }
    std::string MakeFile(const char* name) {
        std::string path = dir_ + "\\" + name;
        WriteBinaryFile(path, {'x'});
        return path;
    }
    void MakeKey(const std::string& path) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "Value", 0, REG_SZ, reinterpret_cast<const BYTE*>("v"), 2);
        RegCloseKey(key);
    }

    Win32RemovalTarget target_;
    std::string dir_;
};

TEST_F(Win32Removal, ReadOnlyFileIsDeletedAndMissingOneIsAbsent) {
    std::string path = MakeFile("read only.txt");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(target_.RemoveFile(path.c_str()), RemovalDone);
    EXPECT_FALSE(PathExists(path));
    EXPECT_EQ(target_.RemoveFile(path.c_str()), RemovalAbsent);
    EXPECT_EQ(target_.RemoveFile((dir_ + "\\no such folder\\x.txt").c_str()), RemovalAbsent);
}

TEST_F(Win32Removal, FileRecordNamingAFolderLeavesTheFolder) {
    std::string folder = dir_ + "\\folder";
    CreateDirectoryA(folder.c_str(), nullptr);
    EXPECT_EQ(target_.RemoveFile(folder.c_str()), RemovalFailed);
    EXPECT_TRUE(PathExists(folder));
}

// In use: left to the remover's decision, which may schedule it by path.
// Under Wine every folder belongs to the user, so the way to any file is
// one an ordinary user could change.
TEST_F(Win32Removal, FileInUseIsLeftAndCanBeScheduledForRestart) {
    PendingRenames restore;
    std::string path = MakeFile("in use.exe");
    HANDLE open = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);
    EXPECT_EQ(target_.RemoveFile(path.c_str()), RemovalInUse);
    EXPECT_TRUE(target_.UsersCanChangeWayTo(path.c_str()));
    EXPECT_TRUE(UsersCanChangeFolder(dir_.c_str()));
    EXPECT_TRUE(UsersCanChangeFolder((dir_ + "\\no such folder").c_str()));  // unknown: assume so
    EXPECT_EQ(target_.RemoveAtRestart(path.c_str()), RemovalScheduled);
    CloseHandle(open);
    EXPECT_TRUE(PathExists(path));  // still there until the restart
    std::string pending;
    ASSERT_TRUE(restore.Read(&pending));
    EXPECT_NE(pending.find(path), std::string::npos);
}

// A folder on the way swapped for a link (under Wine a Linux symbolic link,
// standing in for a junction), or the file itself swapped for one: the
// handle reaches another path, and nothing there is removed.
TEST_F(Win32Removal, NothingIsRemovedThroughALink) {
    std::string elsewhere = dir_ + "\\elsewhere", victim = elsewhere + "\\victim.txt";
    std::string victimFolder = elsewhere + "\\empty";
    CreateDirectoryA(elsewhere.c_str(), nullptr);
    CreateDirectoryA(victimFolder.c_str(), nullptr);
    WriteBinaryFile(victim, {'v'});
    std::string folderLink = dir_ + "\\program", fileLink = dir_ + "\\varnplay.exe";
    ASSERT_TRUE(RunUnixProgram("/bin/ln -s", UnixPathOf(elsewhere), UnixPathOf(dir_) + "/program"));
    ASSERT_TRUE(RunUnixProgram("/bin/ln -s", UnixPathOf(victim), UnixPathOf(dir_) + "/varnplay.exe"));
    ASSERT_TRUE(Eventually([&] { return PathExists(folderLink) && PathExists(fileLink); }));
    EXPECT_EQ(target_.RemoveFile((folderLink + "\\victim.txt").c_str()), RemovalOutside);
    EXPECT_EQ(target_.RemoveFolder((folderLink + "\\empty").c_str()), RemovalOutside);
    target_.RemoveFile(fileLink.c_str());  // Windows removes the link itself; Wine's handle reaches the victim
    EXPECT_TRUE(PathExists(victim));
    EXPECT_TRUE(PathExists(victimFolder));
    RunUnixProgram("/bin/rm", UnixPathOf(dir_) + "/program", UnixPathOf(dir_) + "/varnplay.exe");
    EXPECT_TRUE(Eventually([&] { return !PathExists(folderLink) && !PathExists(fileLink); }));
}

TEST_F(Win32Removal, FolderGoesOnlyWhenEmpty) {
    std::string folder = dir_ + "\\program";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string userFile = folder + "\\mine.txt";
    WriteBinaryFile(userFile, {'u'});
    EXPECT_EQ(target_.RemoveFolder(folder.c_str()), RemovalKept);
    EXPECT_TRUE(PathExists(userFile));
    DeleteFileA(userFile.c_str());
    EXPECT_EQ(target_.RemoveFolder(folder.c_str()), RemovalDone);
    EXPECT_FALSE(PathExists(folder));
    EXPECT_EQ(target_.RemoveFolder(folder.c_str()), RemovalAbsent);
}

TEST_F(Win32Removal, KeyGoesWithItsValuesOnlyWithoutSubkeys) {
    std::string parent = std::string(kTestKey) + "\\Parent";
    std::string child = parent + "\\Child";
    MakeKey(child);
    EXPECT_EQ(target_.RemoveKey(0x80000001u, parent.c_str()), RemovalKept);
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, child.c_str()));
    EXPECT_EQ(target_.RemoveKey(0x80000001u, child.c_str()), RemovalDone);
    EXPECT_EQ(target_.RemoveKey(0x80000001u, parent.c_str()), RemovalDone);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, parent.c_str()));
    EXPECT_EQ(target_.RemoveKey(0x80000001u, parent.c_str()), RemovalAbsent);
}

// Whose an extension is: the text of its default value, if it has one; and
// its content type. Both are set back or deleted, each on its own.
TEST_F(Win32Removal, ValuesOfAKey) {
    std::string key = std::string(kTestKey) + "\\.ext";
    const char* type = "Content Type";
    MakeKey(key);
    std::string value = "unchanged";
    EXPECT_EQ(target_.ReadKeyValue(0x80000001u, key.c_str(), "", value), KeyValueNone);
    ASSERT_EQ(RegSetValueA(HKEY_CURRENT_USER, key.c_str(), REG_SZ, "VARN.Game", 9), ERROR_SUCCESS);
    EXPECT_EQ(target_.ReadKeyValue(0x80000001u, key.c_str(), "", value), KeyValueText);
    EXPECT_EQ(value, "VARN.Game");
    EXPECT_EQ(target_.ReadKeyValue(0x80000001u, (key + "\\missing").c_str(), "", value), KeyValueMissingKey);
    EXPECT_EQ(target_.ReadKeyValue(0x80000001u, key.c_str(), type, value), KeyValueNone);

    EXPECT_EQ(target_.SetKeyValue(0x80000001u, key.c_str(), type, "text/x-other"), RemovalDone);
    EXPECT_EQ(target_.ReadKeyValue(0x80000001u, key.c_str(), type, value), KeyValueText);
    EXPECT_EQ(value, "text/x-other");
    EXPECT_EQ(target_.SetKeyValue(0x80000001u, key.c_str(), "", "Other.Type"), RemovalDone);
    EXPECT_EQ(target_.ReadKeyValue(0x80000001u, key.c_str(), "", value), KeyValueText);
    EXPECT_EQ(value, "Other.Type");
    EXPECT_EQ(target_.SetKeyValue(0x80000001u, key.c_str(), type, nullptr), RemovalDone);
    EXPECT_EQ(target_.ReadKeyValue(0x80000001u, key.c_str(), type, value), KeyValueNone);
    EXPECT_EQ(target_.SetKeyValue(0x80000001u, key.c_str(), type, nullptr), RemovalDone);  // none already
    EXPECT_EQ(target_.ReadKeyValue(0x80000001u, key.c_str(), "", value), KeyValueText);  // the default stays
    EXPECT_EQ(value, "Other.Type");
    EXPECT_EQ(target_.SetKeyValue(0x80000001u, key.c_str(), "", nullptr), RemovalDone);
    EXPECT_EQ(target_.ReadKeyValue(0x80000001u, key.c_str(), "", value), KeyValueNone);
    EXPECT_EQ(target_.SetKeyValue(0x80000001u, (key + "\\missing").c_str(), type, "x"), RemovalAbsent);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, (key + "\\missing").c_str()));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, key.c_str()));
}

TEST_F(Win32Removal, RootsAreMappedAndRootItselfIsRefused) {
    MakeKey(std::string(kTestKey) + "\\X");
    EXPECT_EQ(target_.RemoveKey(0x80000003u, kTestKey), RemovalFailed);
    EXPECT_EQ(target_.RemoveKey(0x80000001u, ""), RemovalFailed);
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, kTestKey));
    EXPECT_EQ(target_.RemoveKey(0x80000002u, "Software\\VsetupNoSuchKey"), RemovalAbsent);
}

}  // namespace
