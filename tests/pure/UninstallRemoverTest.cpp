#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "shell/UninstallRecord.h"
#include "uninstall/UninstallRemover.h"

namespace {

constexpr uint32_t kClassesRoot = 0x80000000u, kCurrentUser = 0x80000001u;

// A small model of a disk and a registry: folders and keys go only when
// nothing lies below them, files in use are scheduled, some items refuse.
class FakeTarget : public RemovalTarget {
public:
    std::set<std::string> files, folders, keys, inUse, refusing;
    std::vector<std::string> calls;
    std::vector<std::string> scheduledFolders;

    RemovalOutcome RemoveFile(const char* path) override {
        calls.push_back(std::string("file ") + path);
        if (!files.count(path)) return RemovalAbsent;
        if (refusing.count(path)) return RemovalFailed;
        if (inUse.count(path)) return RemovalScheduled;
        files.erase(path);
        return RemovalDone;
    }
    RemovalOutcome RemoveFolder(const char* path) override {
        calls.push_back(std::string("folder ") + path);
        if (!folders.count(path)) return RemovalAbsent;
        if (HasChildren(files, path) || HasChildren(folders, path)) return RemovalKept;
        folders.erase(path);
        return RemovalDone;
    }
    RemovalOutcome RemoveFolderAtRestart(const char* path) override {
        scheduledFolders.push_back(path);
        return RemovalScheduled;
    }
    RemovalOutcome RemoveKey(uint32_t root, const char* keyPath) override {
        std::string key = RootPrefix(root) + keyPath;
        calls.push_back("key " + key);
        if (!keys.count(key)) return RemovalAbsent;
        if (HasChildren(keys, key)) return RemovalKept;
        keys.erase(key);
        return RemovalDone;
    }
    static std::string RootPrefix(uint32_t root) { return root == kClassesRoot ? "HKCR:" : "HKCU:"; }

private:
    static bool HasChildren(const std::set<std::string>& items, const std::string& parent) {
        for (const std::string& item : items)
            if (item.size() > parent.size() + 1 && item.compare(0, parent.size() + 1, parent + "\\") == 0) return true;
        return false;
    }
};

class LogBuilder {
public:
    LogBuilder& Text(uint8_t kind, const std::string& text) {
        size_t at = image.size();
        image.resize(at + TextRecordLength(text.size()));
        EncodeTextRecord(&image[at], kind, text.data(), text.size());
        return *this;
    }
    LogBuilder& File(const std::string& path) { return Text(UninstallFile, path); }
    LogBuilder& Folder(const std::string& path) { return Text(UninstallDirectory, path); }
    LogBuilder& Key(uint32_t root, const std::string& path) {
        size_t at = image.size();
        image.resize(at + KeyRecordLength(path.size()));
        EncodeKeyRecord(&image[at], root, path.data(), path.size());
        return *this;
    }
    std::vector<uint8_t> image;
};

RemovalReport RunRemoval(const LogBuilder& log, FakeTarget& target) {
    RemovalReport report;
    RemoveRecordedItems(log.image.data(), log.image.size(), target, nullptr, nullptr, report);
    return report;
}

// An installation as the setup records it, in file order.
LogBuilder InstalledLog() {
    LogBuilder log;
    log.Text(UninstallAppName, "Varnplay")
        .File("C:\\Apps\\Varn\\UnInst0001.inf")
        .Key(kClassesRoot, ".vsav\\shell\\open")
        .Key(kClassesRoot, ".vsav\\shell")
        .Key(kClassesRoot, ".vsav")
        .File("C:\\Apps\\Varn\\sub\\game.dat")
        .Folder("C:\\Apps\\Varn\\sub")
        .File("C:\\Apps\\Varn\\varnplay.exe")
        .Folder("C:\\Apps\\Varn")
        .Key(kCurrentUser, "Software\\Varn")
        .Key(kCurrentUser, "Software\\Varn");
    return log;
}

FakeTarget InstalledState() {
    FakeTarget target;
    target.files = {"C:\\Apps\\Varn\\UnInst0001.inf", "C:\\Apps\\Varn\\sub\\game.dat", "C:\\Apps\\Varn\\varnplay.exe"};
    target.folders = {"C:\\Apps", "C:\\Apps\\Varn", "C:\\Apps\\Varn\\sub"};
    target.keys = {"HKCR:.vsav", "HKCR:.vsav\\shell", "HKCR:.vsav\\shell\\open", "HKCU:Software\\Varn"};
    return target;
}

TEST(UninstallRemover, RemovesEverythingRecordedInFileOrder) {
    FakeTarget target = InstalledState();
    RemovalReport report = RunRemoval(InstalledLog(), target);
    EXPECT_TRUE(target.files.empty());
    EXPECT_EQ(target.folders, std::set<std::string>{"C:\\Apps"});  // not recorded, so not touched
    EXPECT_TRUE(target.keys.empty());
    EXPECT_EQ(report.removed, 9u);  // the duplicate key counts once
    EXPECT_TRUE(report.failed.empty());
    EXPECT_TRUE(report.kept.empty());
    EXPECT_TRUE(report.associationsChanged);
    EXPECT_EQ(RemovalExitStatus(report), 0);
    ASSERT_EQ(target.calls.size(), 10u);  // the application name is no item
    EXPECT_EQ(target.calls[0], "file C:\\Apps\\Varn\\UnInst0001.inf");
    EXPECT_EQ(target.calls[9], "key HKCU:Software\\Varn");
}

TEST(UninstallRemover, RunningTwiceFindsEverythingGone) {
    FakeTarget target = InstalledState();
    RunRemoval(InstalledLog(), target);
    RemovalReport again = RunRemoval(InstalledLog(), target);
    EXPECT_EQ(again.removed, 0u);
    EXPECT_TRUE(again.failed.empty() && again.kept.empty() && again.scheduled.empty());
    EXPECT_FALSE(again.associationsChanged);
    EXPECT_EQ(RemovalExitStatus(again), 0);
}

TEST(UninstallRemover, UserFilesKeepTheirFolderWhichIsReportedNotFailed) {
    FakeTarget target = InstalledState();
    target.files.insert("C:\\Apps\\Varn\\my notes.txt");
    RemovalReport report = RunRemoval(InstalledLog(), target);
    EXPECT_EQ(target.files, std::set<std::string>{"C:\\Apps\\Varn\\my notes.txt"});
    EXPECT_TRUE(target.folders.count("C:\\Apps\\Varn"));
    EXPECT_FALSE(target.folders.count("C:\\Apps\\Varn\\sub"));
    EXPECT_EQ(report.kept, std::vector<std::string>{"C:\\Apps\\Varn"});
    EXPECT_EQ(RemovalExitStatus(report), 0);
}

TEST(UninstallRemover, KeyKeptForASubkeyGoesWhenALaterRecordRemovesTheSubkey) {
    // Two writes: ".x" (existing, always logged) first, then ".x\sub" (new).
    LogBuilder log;
    log.Key(kClassesRoot, ".x").Key(kClassesRoot, ".x\\sub").Key(kClassesRoot, ".x");
    FakeTarget target;
    target.keys = {"HKCR:.x", "HKCR:.x\\sub"};
    RemovalReport report = RunRemoval(log, target);
    EXPECT_TRUE(target.keys.empty());
    EXPECT_TRUE(report.kept.empty());
    EXPECT_EQ(report.removed, 2u);
}

TEST(UninstallRemover, KeyWithForeignSubkeysIsKept) {
    LogBuilder log;
    log.Key(kCurrentUser, "Software\\Varn");
    FakeTarget target;
    target.keys = {"HKCU:Software\\Varn", "HKCU:Software\\Varn\\Other"};
    RemovalReport report = RunRemoval(log, target);
    EXPECT_EQ(target.keys.size(), 2u);
    EXPECT_EQ(report.kept, std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\Varn"});
    EXPECT_FALSE(report.associationsChanged);
}

TEST(UninstallRemover, FileInUseIsScheduledOnceAndItsFolderWithIt) {
    LogBuilder log;
    log.File("C:\\Apps\\Varn\\varnplay.exe").File("C:\\apps\\varn\\VARNPLAY.EXE").Folder("C:\\Apps\\Varn");
    FakeTarget target;
    target.files = {"C:\\Apps\\Varn\\varnplay.exe"};
    target.folders = {"C:\\Apps\\Varn"};
    target.inUse = target.files;
    RemovalReport report = RunRemoval(log, target);
    EXPECT_EQ(target.calls.size(), 2u);  // the second record of the same file is not tried again
    EXPECT_EQ(target.scheduledFolders, std::vector<std::string>{"C:\\Apps\\Varn"});
    EXPECT_EQ(report.scheduled, (std::vector<std::string>{"C:\\Apps\\Varn\\varnplay.exe", "C:\\Apps\\Varn"}));
    EXPECT_EQ(RemovalExitStatus(report), 2);
}

TEST(UninstallRemover, FolderWithUserFilesBesideAFileInUseIsNotScheduled) {
    LogBuilder log;
    log.File("C:\\A\\in use.exe").Folder("C:\\Other");
    FakeTarget target;
    target.files = {"C:\\A\\in use.exe", "C:\\Other\\mine.txt"};
    target.folders = {"C:\\Other"};
    target.inUse = {"C:\\A\\in use.exe"};
    RemovalReport report = RunRemoval(log, target);
    EXPECT_TRUE(target.scheduledFolders.empty());
    EXPECT_EQ(report.kept, std::vector<std::string>{"C:\\Other"});
}

TEST(UninstallRemover, FailuresAreListedAndGiveStatusTwo) {
    LogBuilder log;
    log.File("C:\\A\\locked.dll").File("C:\\A\\fine.txt");
    FakeTarget target;
    target.files = {"C:\\A\\locked.dll", "C:\\A\\fine.txt"};
    target.refusing = {"C:\\A\\locked.dll"};
    RemovalReport report = RunRemoval(log, target);
    EXPECT_EQ(report.failed, std::vector<std::string>{"C:\\A\\locked.dll"});
    EXPECT_EQ(report.removed, 1u);
    EXPECT_EQ(RemovalExitStatus(report), 2);
}

TEST(UninstallRemover, RelativePathsAndEmptyKeysAreNeverTouched) {
    LogBuilder log;
    log.File("varnplay.exe").Folder("").Folder("\\Apps").Key(kCurrentUser, "");
    FakeTarget target;
    RemovalReport report = RunRemoval(log, target);
    EXPECT_TRUE(target.calls.empty());
    EXPECT_EQ(report.failed, (std::vector<std::string>{"varnplay.exe", "", "\\Apps"}));
}

TEST(UninstallRemover, ProgressCountsEveryRecord) {
    struct Seen {
        std::vector<size_t> done;
        size_t total = 0;
        std::string last;
    } seen;
    FakeTarget target = InstalledState();
    LogBuilder log = InstalledLog();
    RemovalReport report;
    RemoveRecordedItems(
        log.image.data(), log.image.size(), target,
        [](void* context, size_t done, size_t total, const char* item) {
            Seen* s = static_cast<Seen*>(context);
            s->done.push_back(done);
            s->total = total;
            s->last = item;
        },
        &seen, report);
    EXPECT_EQ(seen.total, 11u);
    ASSERT_EQ(seen.done.size(), 11u);
    EXPECT_EQ(seen.done.front(), 1u);
    EXPECT_EQ(seen.done.back(), 11u);
    EXPECT_EQ(seen.last, "Software\\Varn");
}

TEST(UninstallRemover, AppNameAndFullPaths) {
    EXPECT_EQ(RecordedAppName(InstalledLog().image.data(), InstalledLog().image.size()), "Varnplay");
    LogBuilder none;
    none.File("C:\\a");
    EXPECT_EQ(RecordedAppName(none.image.data(), none.image.size()), "");
    EXPECT_TRUE(IsFullPath("C:\\"));
    EXPECT_TRUE(IsFullPath("z:\\x"));
    EXPECT_TRUE(IsFullPath("\\\\server\\share\\x"));
    EXPECT_FALSE(IsFullPath("C:x"));
    EXPECT_FALSE(IsFullPath("\\x"));
    EXPECT_FALSE(IsFullPath("\\\\\\x"));
    EXPECT_FALSE(IsFullPath(""));
    EXPECT_FALSE(IsFullPath("1:\\x"));
}

TEST(UninstallRemover, SummaryNamesWhatIsLeftAndCutsLongLists) {
    RemovalReport report;
    EXPECT_EQ(RemovalSummaryText("Varnplay", report), "Varnplay was removed from your computer.");
    for (int i = 0; i < 20; ++i) report.failed.push_back("C:\\f" + std::to_string(i));
    report.scheduled.push_back("C:\\busy.exe");
    std::string text = RemovalSummaryText("Varnplay", report);
    EXPECT_EQ(text.find("Not all of Varnplay could be removed."), 0u);
    EXPECT_NE(text.find("\r\nC:\\f14\r\n(and 5 more)"), std::string::npos) << text;
    EXPECT_EQ(text.find("C:\\f15"), std::string::npos);
    EXPECT_NE(text.find("restart Windows:\r\nC:\\busy.exe"), std::string::npos) << text;
}

}  // namespace
