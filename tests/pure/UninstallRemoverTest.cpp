#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "pure/NameCharsSupport.h"
#include "shell/EarlierDefault.h"
#include "shell/UninstallRecord.h"
#include "uninstall/FolderAccessRules.h"
#include "uninstall/UninstallRemover.h"

namespace {

constexpr uint32_t kClassesRoot = 0x80000000u, kCurrentUser = 0x80000001u, kLocalMachine = 0x80000002u;
const std::string kDir = "C:\\Apps\\Varn", kLog = kDir + "\\UnInst0001.inf";
const std::string kPrograms = "C:\\Users\\u\\Start Menu\\Programs", kDocuments = "C:\\Users\\u\\Documents";
const std::string kEntry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\varnplay.exe";
const std::string kAppPaths = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\varnplay.exe";
const std::string kSettings = "Software\\VARN\\Varnplay\\1.0\\Settings";

RemovalScope TestScope() {
    RemovalScope scope;
    scope.logPath = kLog;
    scope.programsFolder = kPrograms;
    scope.documentsFolder = kDocuments;
    scope.entryName = "varnplay.exe";
    scope.appName = "Varnplay";
    return scope;
}

// A small model of a disk and a registry: folders and keys go only when
// nothing lies below them, files in use are scheduled, some items refuse.
class FakeTarget : public RemovalTarget {
public:
    std::set<std::string> files, folders, inUse, refusing, links;
    std::set<std::string> userFolders;  // folders an ordinary user can change
    std::set<std::string> atRestart;    // removals scheduled by path
    std::map<std::string, std::string> keys;  // "HKCR:path" -> default value
    std::map<std::string, std::string> values;  // "HKCR:path|name" -> a named value's text
    std::vector<std::string> calls;

    RemovalOutcome RemoveFile(const char* path) override {
        calls.push_back(std::string("file ") + path);
        if (!files.count(path)) return RemovalAbsent;
        if (refusing.count(path)) return RemovalFailed;
        if (inUse.count(path)) return RemovalInUse;
        files.erase(path);
        return RemovalDone;
    }
    RemovalOutcome RemoveAtRestart(const char* path) override {
        calls.push_back(std::string("restart ") + path);
        atRestart.insert(path);
        return RemovalScheduled;
    }
    bool UsersCanChangeWayTo(const char* path) override {
        for (const std::string& folder : userFolders)
            if (std::string(path).compare(0, folder.size() + 1, folder + "\\") == 0) return true;
        return false;
    }
    RemovalOutcome RemoveFolder(const char* path) override {
        calls.push_back(std::string("folder ") + path);
        if (!folders.count(path)) return RemovalAbsent;
        if (HasChildren(files, path) || HasChildren(folders, path)) return RemovalKept;
        folders.erase(path);
        return RemovalDone;
    }
    RemovalOutcome RemoveKey(uint32_t root, const char* keyPath) override {
        std::string key = RootPrefix(root) + keyPath;
        calls.push_back("key " + key);
        if (!keys.count(key)) return RemovalAbsent;
        if (refusing.count(key)) return RemovalFailed;
        for (const auto& other : keys)
            if (other.first.compare(0, key.size() + 1, key + "\\") == 0) return RemovalKept;
        keys.erase(key);
        values.erase(values.lower_bound(key + "|"), values.lower_bound(key + "}"));  // '}' follows '|'
        return RemovalDone;
    }
    bool PassesThroughLink(const char* path, size_t trustedLength) override {
        for (const std::string& link : links)
            if (link.size() > trustedLength && std::string(path).compare(0, link.size() + 1, link + "\\") == 0)
                return true;
        return false;
    }
    // A default value is none when empty; named values are none when absent.
    KeyValueState ReadKeyValue(uint32_t root, const char* keyPath, const char* name, std::string& value) override {
        std::string key = RootPrefix(root) + keyPath;
        auto found = keys.find(key);
        if (found == keys.end()) return KeyValueMissingKey;
        if (!*name) {
            value = found->second;
            return value.empty() ? KeyValueNone : KeyValueText;
        }
        auto named = values.find(key + "|" + name);
        if (named == values.end()) return KeyValueNone;
        value = named->second;
        return KeyValueText;
    }
    RemovalOutcome SetKeyValue(uint32_t root, const char* keyPath, const char* name, const char* text) override {
        std::string key = RootPrefix(root) + keyPath;
        calls.push_back((*name ? std::string(name) + " " : std::string("default ")) + key + " = " +
                        (text ? text : "(none)"));
        if (!keys.count(key)) return RemovalAbsent;
        if (refusing.count(key) || refusing.count(key + "|" + name)) return RemovalFailed;
        if (!*name)
            keys[key] = text ? text : "";
        else if (text)
            values[key + "|" + name] = text;
        else
            values.erase(key + "|" + name);
        return RemovalDone;
    }
    static std::string RootPrefix(uint32_t root) {
        return root == kClassesRoot ? "HKCR:" : root == kCurrentUser ? "HKCU:" : "HKLM:";
    }
    bool Called(const std::string& call) const {
        for (const std::string& made : calls)
            if (made == call) return true;
        return false;
    }

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
    LogBuilder& Earlier(const std::string& extension, const std::string& type) {
        return Text(UninstallAppName, EncodeEarlierDefault(extension, type));
    }
    LogBuilder& EarlierContentType(const std::string& extension, const std::string* type) {
        return Text(UninstallAppName, EncodeEarlierContentType(extension, type));
    }
    LogBuilder& Key(uint32_t root, const std::string& path) {
        size_t at = image.size();
        image.resize(at + KeyRecordLength(path.size()));
        EncodeKeyRecord(&image[at], root, path.data(), path.size());
        return *this;
    }
    std::vector<uint8_t> image;
};

RemovalReport RunRemoval(const LogBuilder& log, FakeTarget& target, const RemovalScope& scope = TestScope()) {
    RemovalReport report;
    RemoveRecordedItems(log.image.data(), log.image.size(), scope, target, nullptr, nullptr, report);
    return report;
}

// An installation as the setup records it, in file order: 16 items.
LogBuilder InstalledLog() {
    LogBuilder log;
    log.Text(UninstallAppName, "Varnplay")
        .File(kLog)
        .File(kPrograms + "\\Varnplay\\Varnplay.lnk")
        .Folder(kPrograms + "\\Varnplay")
        .Key(kCurrentUser, kSettings)
        .Key(kCurrentUser, "Software\\VARN\\Varnplay\\1.0")
        .Key(kClassesRoot, ".GAM")
        .Key(kClassesRoot, "VARN.Game\\shell\\open")
        .Key(kClassesRoot, "VARN.Game\\shell")
        .Key(kClassesRoot, "VARN.Game")
        .Key(kClassesRoot, ".GAM")
        .File(kDocuments + "\\Games\\slot1.sav")
        .Folder(kDocuments + "\\Games")
        .File(kDir + "\\sub\\game.dat")
        .Folder(kDir + "\\sub")
        .File(kDir + "\\varnplay.exe")
        .Folder(kDir)
        .Folder("C:\\Apps")  // a new program directory's new parent
        .Key(kLocalMachine, kEntry)
        .Key(kLocalMachine, kAppPaths);
    return log;
}

FakeTarget InstalledState() {
    FakeTarget target;
    target.files = {kLog, kPrograms + "\\Varnplay\\Varnplay.lnk", kDocuments + "\\Games\\slot1.sav",
                    kDir + "\\sub\\game.dat", kDir + "\\varnplay.exe"};
    target.folders = {"C:\\Apps", kDir, kDir + "\\sub", kPrograms + "\\Varnplay", kDocuments + "\\Games"};
    target.keys = {{"HKCR:.GAM", "VARN.Game"},      {"HKCR:VARN.Game", "VARN Game"},
                   {"HKCR:VARN.Game\\shell", ""},   {"HKCR:VARN.Game\\shell\\open", ""},
                   {"HKCU:" + kSettings, ""},       {"HKCU:Software\\VARN\\Varnplay\\1.0", ""},
                   {"HKLM:" + kEntry, ""},          {"HKLM:" + kAppPaths, "C:\\Apps\\Varn\\varnplay.exe"}};
    return target;
}

void ExpectNothingLeft(const FakeTarget& target) {
    EXPECT_TRUE(target.files.empty());
    EXPECT_TRUE(target.folders.empty());
    EXPECT_TRUE(target.keys.empty());
}

TEST(UninstallRemover, RemovesEverythingRecordedWithTheEntryAndTheLogLast) {
    FakeTarget target = InstalledState();
    RemovalReport report = RunRemoval(InstalledLog(), target);
    ExpectNothingLeft(target);
    EXPECT_EQ(report.removed, 18u);  // the duplicate key counts once
    EXPECT_TRUE(report.failed.empty() && report.kept.empty() && report.outside.empty());
    EXPECT_FALSE(report.logKept);
    EXPECT_TRUE(report.associationsChanged);
    EXPECT_EQ(RemovalExitStatus(report), 0);
    // The log's folder held the log until the end, and its parent held it.
    ASSERT_GE(target.calls.size(), 4u);
    size_t last = target.calls.size() - 1;
    EXPECT_EQ(target.calls[last - 3], "key HKLM:" + kEntry);
    EXPECT_EQ(target.calls[last - 2], "file " + kLog);
    EXPECT_EQ(target.calls[last - 1], "folder " + kDir);
    EXPECT_EQ(target.calls[last], "folder C:\\Apps");
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
    target.files.insert(kDir + "\\my notes.txt");
    RemovalReport report = RunRemoval(InstalledLog(), target);
    EXPECT_EQ(target.files, std::set<std::string>{kDir + "\\my notes.txt"});
    EXPECT_EQ(target.folders, (std::set<std::string>{"C:\\Apps", kDir}));
    EXPECT_EQ(report.kept, (std::vector<std::string>{kDir, "C:\\Apps"}));
    EXPECT_FALSE(report.logKept);  // a second run could not do more
    EXPECT_EQ(RemovalExitStatus(report), 0);
}

TEST(UninstallRemover, KeyKeptForASubkeyGoesWhenALaterRecordRemovesTheSubkey) {
    // Two writes: "VARN.Game" first, then "VARN.Game\sub" (new).
    LogBuilder log;
    log.Key(kClassesRoot, "VARN.Game").Key(kClassesRoot, "VARN.Game\\sub").Key(kClassesRoot, "VARN.Game");
    FakeTarget target;
    target.keys = {{"HKCR:VARN.Game", "x"}, {"HKCR:VARN.Game\\sub", ""}};
    RemovalReport report = RunRemoval(log, target);
    EXPECT_TRUE(target.keys.empty());
    EXPECT_TRUE(report.kept.empty());
    EXPECT_EQ(report.removed, 2u);
}

// A log that also carries an earlier installation's records may list a
// container before some of its contents.
TEST(UninstallRemover, ContainersListedBeforeTheirContentsGoAtTheEnd) {
    LogBuilder log;
    log.Folder(kDir + "\\games").Key(kCurrentUser, "Software\\VARN\\Varnplay\\1.0").File(kDir + "\\games\\old.gam");
    log.Folder(kDir + "\\games\\old").Key(kCurrentUser, kSettings);
    FakeTarget target;
    target.files = {kDir + "\\games\\old.gam"};
    target.folders = {kDir + "\\games", kDir + "\\games\\old"};
    target.keys = {{"HKCU:Software\\VARN\\Varnplay\\1.0", ""}, {"HKCU:" + kSettings, ""}};
    RemovalReport report = RunRemoval(log, target);
    ExpectNothingLeft(target);
    EXPECT_TRUE(report.kept.empty());
    EXPECT_EQ(RemovalExitStatus(report), 0);
}

TEST(UninstallRemover, KeyWithForeignSubkeysIsKept) {
    LogBuilder log;
    log.Key(kCurrentUser, "Software\\VARN\\Varnplay");
    FakeTarget target;
    target.keys = {{"HKCU:Software\\VARN\\Varnplay", ""}, {"HKCU:Software\\VARN\\Varnplay\\Other", ""}};
    RemovalReport report = RunRemoval(log, target);
    EXPECT_EQ(target.keys.size(), 2u);
    EXPECT_EQ(report.kept, std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\VARN\\Varnplay"});
    EXPECT_FALSE(report.associationsChanged);
}

// A removal at restart goes by the path, long after the checks: where an
// ordinary user can change a folder on the way (the program folder, or one
// above it, like C:\\Apps here), a link swapped in before the restart would
// take it elsewhere. The file is then left for a second run instead.
TEST(UninstallRemover, FileInUseIsLeftForASecondRunWhereUsersCanChangeAFolderOnTheWay) {
    for (const char* userFolder : {"", "C:\\Apps", "C:\\Apps\\Varn"}) {
        SCOPED_TRACE(userFolder);
        FakeTarget target = InstalledState();
        std::string busy = kDir + "\\varnplay.exe";
        target.inUse.insert(busy);
        if (*userFolder) target.userFolders.insert(userFolder);
        RemovalReport report = RunRemoval(InstalledLog(), target);
        bool scheduled = !*userFolder;
        EXPECT_EQ(target.Called("restart " + busy), scheduled);
        EXPECT_EQ(report.scheduled, scheduled ? std::vector<std::string>{busy} : std::vector<std::string>{});
        EXPECT_EQ(report.inUse, scheduled ? std::vector<std::string>{} : std::vector<std::string>{busy});
        EXPECT_TRUE(report.logKept);
        // 7: a restart finishes the removal; 6: only a second run, once the program is closed.
        EXPECT_EQ(RemovalExitStatus(report), scheduled ? 7 : 6);
        EXPECT_TRUE(target.files.count(kLog));
        EXPECT_TRUE(target.keys.count("HKLM:" + kEntry));
        std::string text = RemovalSummaryText("Varnplay", report);
        EXPECT_EQ(text.find("Close the programs that use them, then run the uninstaller again:\r\n" + busy) !=
                      std::string::npos,
                  !scheduled)
            << text;
        EXPECT_EQ(text.find("removed when you restart Windows") != std::string::npos, scheduled) << text;
    }
}

// Links count wherever they are on the way: in the program folder, at it,
// and above it, where a user who owns a folder could put one.
TEST(UninstallRemover, LinksAtOrAboveTheLogFolderLeadNowhere) {
    const std::string game = kDir + "\\sub\\game.dat", save = kDocuments + "\\Games\\slot1.sav";
    for (const auto& link : std::vector<std::pair<std::string, std::string>>{
             {kDir + "\\sub", game}, {kDir, game}, {"C:\\Apps", game}, {kDocuments, save}, {"C:\\Users", save}}) {
        SCOPED_TRACE(link.first);
        FakeTarget target = InstalledState();
        target.links.insert(link.first);
        RemovalReport report = RunRemoval(InstalledLog(), target);
        EXPECT_FALSE(target.Called("file " + link.second));
        EXPECT_NE(std::find(report.outside.begin(), report.outside.end(), link.second), report.outside.end());
        EXPECT_TRUE(target.files.count(link.second));
        EXPECT_EQ(RemovalExitStatus(report), 2);
    }
}

// In use and refused items can go on a later run: the log and the entry stay
// for it, and the run after that finishes the job.
TEST(UninstallRemover, ItemsASecondRunCanRemoveKeepTheLogAndTheEntry) {
    for (bool inUse : {true, false}) {
        SCOPED_TRACE(inUse ? "in use" : "refused");
        FakeTarget target = InstalledState();
        std::string busy = kDir + "\\varnplay.exe";
        (inUse ? target.inUse : target.refusing).insert(busy);
        RemovalReport report = RunRemoval(InstalledLog(), target);
        EXPECT_EQ(inUse ? report.scheduled : report.failed, std::vector<std::string>{busy});
        EXPECT_TRUE(report.logKept);
        EXPECT_EQ(RemovalExitStatus(report), inUse ? 7 : 2);  // 7: a restart finishes the removal
        EXPECT_FALSE(target.Called("file " + kLog));
        EXPECT_FALSE(target.Called("key HKLM:" + kEntry));
        EXPECT_EQ(target.files, (std::set<std::string>{kLog, busy}));
        EXPECT_EQ(target.keys.size(), 1u);  // the entry
        EXPECT_NE(RemovalSummaryText("Varnplay", report).find("run the uninstaller again"), std::string::npos);

        target.inUse.clear();
        target.refusing.clear();
        RemovalReport second = RunRemoval(InstalledLog(), target);
        ExpectNothingLeft(target);
        EXPECT_EQ(RemovalExitStatus(second), 0);
    }
}

// Refused, or holding a subkey of someone else's: an entry that stays must
// still name a log, or it could never be used again.
TEST(UninstallRemover, EntryThatCannotBeRemovedKeepsTheLog) {
    for (bool refused : {true, false}) {
        SCOPED_TRACE(refused ? "refused" : "foreign subkey");
        FakeTarget target = InstalledState();
        if (refused)
            target.refusing = {"HKLM:" + kEntry};
        else
            target.keys.insert({"HKLM:" + kEntry + "\\Other", ""});
        RemovalReport report = RunRemoval(InstalledLog(), target);
        EXPECT_TRUE(report.logKept);
        EXPECT_EQ(target.files, std::set<std::string>{kLog});
        const std::vector<std::string>& left = refused ? report.failed : report.kept;  // kept: with the log's folders
        ASSERT_FALSE(left.empty());
        EXPECT_EQ(left.back(), "HKEY_LOCAL_MACHINE\\" + kEntry);
        EXPECT_EQ(RemovalExitStatus(report), 2);
    }
}

// Records a log could hold that name something the installation does not
// own. None is touched; the rest of the installation still goes.
TEST(UninstallRemover, RecordsOutsideTheInstallationAreNeverTouched) {
    const std::vector<std::pair<uint8_t, std::string>> hostileFiles = {
        {UninstallFile, "C:\\windows\\system32\\victim.dll"},
        {UninstallFile, kDir + "\\..\\..\\windows\\victim2.txt"},
        {UninstallFile, "\\\\?\\C:\\windows\\victim3.txt"},
        {UninstallFile, "\\\\?\\" + kDir + "\\varnplay.exe"},
        {UninstallFile, "\\\\.\\" + kDir + "\\varnplay.exe"},
        {UninstallFile, "\\\\server\\share\\victim4.txt"},
        {UninstallFile, "C:\\Users\\other\\Documents\\letter.txt"},
        {UninstallFile, kDir + "\\NUL"},
        {UninstallFile, kDir + "\\com1.txt"},
        {UninstallFile, kDir + "\\sub\\aux .log"},
        {UninstallFile, kDir + "\\game.dat:hidden"},
        {UninstallFile, kDir + "/../../windows/victim6.txt"},
        {UninstallFile, kDir + "\\.\\varnplay.exe"},
        {UninstallFile, kDir + "\\sub.\\game.dat"},
        {UninstallFile, kDir + "\\\\varnplay.exe"},
        {UninstallFile, kDir + "\\linked\\victim.dll"},  // a link to somewhere else on the way
        {UninstallFile, kDir},  // the folder itself as a file: never
        {UninstallFile, "varnplay.exe"},
        {UninstallFile, kDocuments},
        {UninstallDirectory, "C:\\windows\\emptydir"},
        {UninstallDirectory, kDir + "2"},
        {UninstallDirectory, kPrograms},
        {UninstallDirectory, "C:\\Apps\\Other"},
        {UninstallDirectory, ""},
        {UninstallDirectory, "C:\\"},
    };
    const std::vector<std::pair<uint32_t, std::string>> hostileKeys = {
        {kCurrentUser, "Software\\AuditVictim"},
        {kCurrentUser, "Environment"},
        {kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
        {kCurrentUser, "Software\\VARN\\Varnplay\\1.0\\SettingsOther"},
        {kCurrentUser, "Software\\VARN\\Other"},
        {kCurrentUser, ""},
        {kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\other.exe"},
        {kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"},
        {kLocalMachine, "Software\\Classes\\.GAM"},
        {kClassesRoot, "exefile\\shell\\open\\command"},
        {kClassesRoot, ".GAM\\ShellNew"},  // the setup writes no subkeys of extensions
        {kClassesRoot, "Varnplay.Save2"},
        {kClassesRoot, "\\.GAM"},
        {kClassesRoot, ""},
    };
    LogBuilder log = InstalledLog();
    FakeTarget target = InstalledState();
    target.links = {kDir + "\\linked"};
    std::vector<std::string> expected;
    for (const auto& record : hostileFiles) {
        log.Text(record.first, record.second);
        expected.push_back(record.second);
    }
    for (const auto& record : hostileKeys) {
        log.Key(record.first, record.second);
        expected.push_back(std::string(record.first == kCurrentUser    ? "HKEY_CURRENT_USER\\"
                                       : record.first == kLocalMachine ? "HKEY_LOCAL_MACHINE\\"
                                                                       : "HKEY_CLASSES_ROOT\\") +
                           record.second);
    }
    RemovalReport report = RunRemoval(log, target);
    for (const auto& record : hostileFiles)
        EXPECT_FALSE(target.Called((record.first == UninstallFile ? "file " : "folder ") + record.second))
            << record.second;
    for (const auto& record : hostileKeys)
        EXPECT_FALSE(target.Called("key " + FakeTarget::RootPrefix(record.first) + record.second)) << record.second;
    EXPECT_EQ(report.outside, expected);
    // Everything of the installation goes but what keeps it in Windows' list
    // of programs: the list must not forget a log that names items still there.
    EXPECT_EQ(target.files, std::set<std::string>{kLog});
    EXPECT_EQ(target.folders, (std::set<std::string>{"C:\\Apps", kDir}));
    EXPECT_EQ(target.keys.size(), 1u);
    EXPECT_EQ(target.keys.count("HKLM:" + kEntry), 1u);
    EXPECT_TRUE(report.logKept);
    EXPECT_EQ(RemovalExitStatus(report), 2);
    EXPECT_NE(RemovalSummaryText("Varnplay", report).find("stays in the list of installed programs"),
              std::string::npos);
    EXPECT_NE(RemovalSummaryText("Varnplay", report).find("outside the folders and registry keys"),
              std::string::npos);
}

// An extension goes only while it names a file type that this log wrote.
TEST(UninstallRemover, ExtensionTakenOverByAnotherProgramStays) {
    LogBuilder log;
    log.Text(UninstallAppName, "Devi Dezir")
        .Key(kClassesRoot, ".SAV")
        .Key(kClassesRoot, "Devi Dezir.Save")
        .Key(kClassesRoot, ".DDZ")
        .Key(kClassesRoot, ".GAM")
        .Key(kClassesRoot, ".NODEF")
        .Key(kClassesRoot, ".GONE");
    FakeTarget target;
    target.keys = {{"HKCR:.SAV", "devi dezir.save"}, {"HKCR:Devi Dezir.Save", "Devi Dezir Saved Game"},
                   {"HKCR:.DDZ", "Other.Save"},      {"HKCR:.GAM", "VARN.Game"},  // a type this log did not write
                   {"HKCR:.NODEF", ""}};
    RemovalScope scope = TestScope();
    scope.appName = "Devi Dezir";
    RemovalReport report = RunRemoval(log, target, scope);
    EXPECT_EQ(target.keys.count("HKCR:.SAV"), 0u);
    EXPECT_EQ(target.keys.count("HKCR:Devi Dezir.Save"), 0u);
    EXPECT_EQ(report.kept, (std::vector<std::string>{"HKEY_CLASSES_ROOT\\.DDZ", "HKEY_CLASSES_ROOT\\.GAM",
                                                     "HKEY_CLASSES_ROOT\\.NODEF"}));
    EXPECT_FALSE(target.Called("key HKCR:.DDZ") || target.Called("key HKCR:.GAM") || target.Called("key HKCR:.NODEF"));
    EXPECT_EQ(RemovalExitStatus(report), 0);
}

// Another program's extension goes back to its type; one that named none
// goes, or, kept for another program's subkeys, names none again; without a
// record (an older setup's log) it is kept as it always was.
TEST(UninstallRemover, OtherProgramsExtensionsAreHandedBack) {
    LogBuilder log;
    log.Text(UninstallAppName, "Devi Dezir")
        .Key(kClassesRoot, ".SAV")  // twice, as for the default and the content type
        .Key(kClassesRoot, "Devi Dezir.Save")
        .Key(kClassesRoot, ".SAV")
        .Earlier(".SAV", "OtherGame.SaveFile")
        .Key(kClassesRoot, ".LPS")
        .Earlier(".LPS", "Taken.Later")
        .Key(kClassesRoot, ".TXT")
        .Earlier(".TXT", "")
        .Key(kClassesRoot, ".NEW")
        .Earlier(".NEW", "")
        .Key(kClassesRoot, ".OLD");
    FakeTarget target;
    target.keys = {{"HKCR:.SAV", "Devi Dezir.Save"},  {"HKCR:.SAV\\ShellNew", "x"},
                   {"HKCR:Devi Dezir.Save", "Devi Dezir Saved Game"},
                   {"HKCR:.LPS", "Someone.Else"},      // taken over since: stays as it is
                   {"HKCR:.TXT", "Devi Dezir.Save"},   {"HKCR:.TXT\\OpenWithProgids", "x"},
                   {"HKCR:.NEW", "devi dezir.save"},
                   {"HKCR:.OLD", "Devi Dezir.Save"},   {"HKCR:.OLD\\ShellNew", "x"}};
    RemovalScope scope = TestScope();
    scope.appName = "Devi Dezir";
    RemovalReport report = RunRemoval(log, target, scope);
    EXPECT_EQ(target.keys["HKCR:.SAV"], "OtherGame.SaveFile");
    EXPECT_EQ(target.keys.count("HKCR:.SAV\\ShellNew"), 1u);
    EXPECT_EQ(target.keys.count("HKCR:Devi Dezir.Save"), 0u);
    EXPECT_EQ(target.keys["HKCR:.LPS"], "Someone.Else");
    EXPECT_FALSE(target.Called("default HKCR:.LPS = Taken.Later"));
    ASSERT_EQ(target.keys.count("HKCR:.TXT"), 1u);  // kept for its subkey, naming no type
    EXPECT_EQ(target.keys["HKCR:.TXT"], "");
    EXPECT_EQ(target.keys.count("HKCR:.NEW"), 0u);
    EXPECT_EQ(target.keys["HKCR:.OLD"], "Devi Dezir.Save");
    EXPECT_FALSE(target.Called("default HKCR:.OLD = (none)"));
    EXPECT_EQ(report.kept, (std::vector<std::string>{"HKEY_CLASSES_ROOT\\.LPS", "HKEY_CLASSES_ROOT\\.TXT",
                                                     "HKEY_CLASSES_ROOT\\.OLD"}));
    EXPECT_TRUE(report.failed.empty());
    EXPECT_TRUE(report.associationsChanged);
    EXPECT_EQ(RemovalExitStatus(report), 0);
}

// The content type goes back with the extension, or goes when there was
// none, but only while it holds what the setup wrote; a log without the
// record (an older setup's) leaves it, as it always did. The records spell
// the extension in another case than the keys.
TEST(UninstallRemover, ContentTypesGoBackWithTheirExtensions) {
    const std::string none = "(none)", ours = "application/x-varn-save";
    struct Case {
        const char* what;
        std::string earlierType;  // what the default named before
        bool subkey;              // another program's subkey below the extension
        const char* recorded;     // the record's content type: null for no record, "(none)" for none
        const char* now;          // the value before the uninstall: null for none
        const char* refusing;     // a value the registry refuses to change: "" for none
        bool keyStays;
        std::string typeAfter;
        const char* after;  // null for none
        bool failed;
    } cases[] = {
        {"handed back", "OtherGame.SaveFile", false, "text/x-other", ours.c_str(), "", true, "OtherGame.SaveFile",
         "text/x-other", false},
        {"none before: deleted", "OtherGame.SaveFile", true, none.c_str(), ours.c_str(), "", true, "OtherGame.SaveFile",
         nullptr, false},
        {"changed since: kept", "OtherGame.SaveFile", false, none.c_str(), "text/x-later", "", true,
         "OtherGame.SaveFile", "text/x-later", false},
        {"removed since: stays none", "OtherGame.SaveFile", false, "text/x-other", nullptr, "", true,
         "OtherGame.SaveFile", nullptr, false},
        {"an older setup's log: as before", "OtherGame.SaveFile", false, nullptr, ours.c_str(), "", true,
         "OtherGame.SaveFile", ours.c_str(), false},
        {"kept for subkeys, named nothing", "", true, none.c_str(), ours.c_str(), "", true, "", nullptr, false},
        {"named nothing and had nothing: goes", "", false, none.c_str(), ours.c_str(), "", false, "", nullptr, false},
        {"held only a content type: stays", "", false, "text/plain", ours.c_str(), "", true, "", "text/plain", false},
        {"refused: still ours for a second run", "OtherGame.SaveFile", false, "text/x-other", ours.c_str(),
         "HKCR:.SAV|Content Type", true, "VARN.Save", ours.c_str(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LogBuilder log;
        log.Text(UninstallAppName, "Varnplay").Key(kClassesRoot, "VARN.Save").Key(kClassesRoot, ".SAV");
        std::string recorded = c.recorded ? c.recorded : "";
        if (c.recorded) log.EarlierContentType(".sav", recorded == none ? nullptr : &recorded);
        log.Key(kClassesRoot, ".SAV").Earlier(".SAV", c.earlierType);
        FakeTarget target;
        target.keys = {{"HKCR:.SAV", "VARN.Save"}, {"HKCR:VARN.Save", "VARN Saved Game"}};
        if (c.subkey) target.keys["HKCR:.SAV\\ShellNew"] = "";
        if (c.now) target.values["HKCR:.SAV|Content Type"] = c.now;
        if (*c.refusing) target.refusing.insert(c.refusing);
        RemovalReport report = RunRemoval(log, target);
        EXPECT_EQ(target.keys.count("HKCR:VARN.Save"), 0u);
        ASSERT_EQ(target.keys.count("HKCR:.SAV"), c.keyStays ? 1u : 0u);
        auto value = target.values.find("HKCR:.SAV|Content Type");
        EXPECT_EQ(value == target.values.end() ? "<none>" : value->second, c.after ? c.after : "<none>");
        if (!c.keyStays) continue;
        EXPECT_EQ(target.keys["HKCR:.SAV"], c.typeAfter);
        EXPECT_EQ(report.failed, c.failed ? std::vector<std::string>{"HKEY_CLASSES_ROOT\\.SAV"}
                                          : std::vector<std::string>{});
        EXPECT_EQ(RemovalExitStatus(report), c.failed ? 2 : 0);
    }
}

// Earlier values name only extensions: any other key in such a record is
// never written.
// and only records after the application's name count.
TEST(UninstallRemover, EarlierValuesOfOtherKeysAreIgnored) {
    LogBuilder log;
    log.Earlier(".SAV", "Named.First")  // in the name's place: the name, whatever it holds
        .Key(kClassesRoot, "VARN.Game")
        .Earlier("VARN.Game", "Evil")
        .Key(kClassesRoot, ".SAV")
        .Key(kClassesRoot, "VARN.Save");
    FakeTarget target;
    target.keys = {{"HKCR:VARN.Game", "VARN Game"}, {"HKCR:.SAV", "VARN.Save"}, {"HKCR:VARN.Save", "x"}};
    RunRemoval(log, target);
    EXPECT_EQ(target.keys.count("HKCR:VARN.Game"), 0u);
    EXPECT_EQ(target.keys.count("HKCR:.SAV"), 0u);
    for (const std::string& call : target.calls) EXPECT_EQ(call.find("default"), std::string::npos) << call;
}

// A content type of none has no last separator; an empty one has.
TEST(EarlierDefault, ContentTypeTellsATextFromNone) {
    std::string extension, value = "unchanged", text = "text/x-a\x01b", empty;
    bool had = false;
    std::string encoded = EncodeEarlierContentType(".SAV", &text);
    EXPECT_EQ(encoded, std::string("\x01" "earlier content type\x01.SAV\x01text/x-a\x01b"));
    ASSERT_TRUE(DecodeEarlierContentType(encoded.data(), encoded.size(), &extension, &had, &value));
    EXPECT_EQ(extension, ".SAV");
    EXPECT_TRUE(had);
    EXPECT_EQ(value, "text/x-a\x01b");
    encoded = EncodeEarlierContentType(".GAM", nullptr);
    EXPECT_EQ(encoded, std::string("\x01" "earlier content type\x01.GAM"));
    ASSERT_TRUE(DecodeEarlierContentType(encoded.data(), encoded.size(), &extension, &had, &value));
    EXPECT_EQ(extension, ".GAM");
    EXPECT_FALSE(had);
    EXPECT_EQ(value, "");
    encoded = EncodeEarlierContentType(".GAM", &empty);
    ASSERT_TRUE(DecodeEarlierContentType(encoded.data(), encoded.size(), &extension, &had, &value));
    EXPECT_TRUE(had);
    EXPECT_EQ(value, "");
    // Neither kind is taken for the other, and an older reader takes neither for a default.
    std::string asDefault = EncodeEarlierDefault(".SAV", "x");
    EXPECT_FALSE(DecodeEarlierContentType(asDefault.data(), asDefault.size(), &extension, &had, &value));
    encoded = EncodeEarlierContentType(".SAV", &text);
    EXPECT_FALSE(DecodeEarlierDefault(encoded.data(), encoded.size(), &extension, &value));
    for (const std::string& name : {std::string("\x01" "earlier content type\x01"),
                                    std::string("\x01" "earlier content type\x01\x01text/plain"),
                                    std::string("\x01" "earlier content type.SAV")})
        EXPECT_FALSE(DecodeEarlierContentType(name.data(), name.size(), &extension, &had, &value)) << name;
}

TEST(EarlierDefault, EncodesExtensionAndValueInANameOnlyThisReads) {
    std::string extension, value;
    std::string text = EncodeEarlierDefault(".SAV", "Other\x01Game Save");
    EXPECT_EQ(text, std::string("\x01" "earlier default\x01.SAV\x01Other\x01Game Save"));
    ASSERT_TRUE(DecodeEarlierDefault(text.data(), text.size(), &extension, &value));
    EXPECT_EQ(extension, ".SAV");
    EXPECT_EQ(value, "Other\x01Game Save");
    text = EncodeEarlierDefault(".txt", "");
    ASSERT_TRUE(DecodeEarlierDefault(text.data(), text.size(), &extension, &value));
    EXPECT_EQ(extension, ".txt");
    EXPECT_EQ(value, "");
    for (const std::string& name : {std::string("Varnplay"), std::string("\x01" "earlier default\x01"),
                                    std::string("\x01" "earlier default\x01.SAV"),
                                    std::string("\x01" "earlier default\x01\x01Other"),
                                    std::string("\x01" "earlier defaulT\x01.SAV\x01Other")})
        EXPECT_FALSE(DecodeEarlierDefault(name.data(), name.size(), &extension, &value)) << name;
}

TEST(UninstallRemover, ProgressCountsEveryRecord) {
    struct Seen {
        std::vector<size_t> done;
        size_t total = 0;
    } seen;
    FakeTarget target = InstalledState();
    LogBuilder log = InstalledLog();
    RemovalReport report;
    RemoveRecordedItems(
        log.image.data(), log.image.size(), TestScope(), target,
        [](void* context, size_t done, size_t total, const char*) {
            Seen* s = static_cast<Seen*>(context);
            s->done.push_back(done);
            s->total = total;
        },
        &seen, report);
    EXPECT_EQ(seen.total, 20u);
    ASSERT_EQ(seen.done.size(), 20u);
    EXPECT_EQ(seen.done.front(), 1u);
    EXPECT_EQ(seen.done.back(), 20u);
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

TEST(RemovalScope, CanonicalPaths) {
    ScopedNameCodePage western(1252);  // where \xB9 is the superscript one and \xFC is ü
    for (const char* path : {"C:\\a", "z:\\Program Files\\Varn Play\\a.b.c", "C:\\.profile", "C:\\a\\nul2.txt",
                             "C:\\a\\connect", "C:\\a\\M\xFC" "ller", "C:\\a\\x\ty"})
        EXPECT_TRUE(IsCanonicalPath(path)) << path;
    for (const char* path : {"", "C:", "C:\\", "C:x", "1:\\x", "\\x", "\\\\server\\share\\x", "\\\\?\\C:\\x",
                             "\\\\.\\C:\\x", "C:\\a\\", "C:\\a\\\\b", "C:\\a\\.", "C:\\a\\..\\b", "C:\\a\\...",
                             "C:\\a\\b.", "C:\\a\\b ", "C:\\a/b", "C:\\a\\b:c", "C:\\a\\b::$DATA", "C:\\con",
                             "C:\\a\\CON.txt", "C:\\a\\Lpt9", "C:\\a\\com\xB9", "C:\\a\\conin$", "C:\\a\\prn .x"})
        EXPECT_FALSE(IsCanonicalPath(path)) << path;
}

TEST(RemovalScope, PlacesOfFoldersAndKeys) {
    RemovalScope scope = TestScope();
    EXPECT_TRUE(FolderInScope(scope, kDir.c_str()));
    EXPECT_TRUE(FolderInScope(scope, "c:\\apps"));
    EXPECT_FALSE(FileInScope(scope, "C:\\Apps\\x.txt"));  // beside the program directory
    EXPECT_TRUE(FileInScope(scope, "c:\\APPS\\varn\\X.TXT"));
    scope.logPath = "C:\\UnInst0001.inf";  // a drive root reaches too far
    EXPECT_FALSE(FileInScope(scope, "C:\\x.txt"));
    EXPECT_FALSE(FolderInScope(scope, "C:\\x"));
    scope = TestScope();
    scope.documentsFolder = "D:";  // Documents redirected to a drive's root reaches as far
    EXPECT_FALSE(FileInScope(scope, "D:\\Windows\\x.dll"));

    scope = TestScope();
    const std::vector<std::tuple<uint32_t, const char*, KeyPlace>> keys = {
        {kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\VARNPLAY.EXE", KeyOfInstallation},
        {kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\varnplay.exe2", KeyOutside},
        {kCurrentUser, "Software\\VARN", KeyOfInstallation},
        {kCurrentUser, "Software\\VARN\\Varnplay\\1.0\\Settings\\Sub", KeyOfInstallation},
        {kCurrentUser, "Software\\VARN\\Varnplay\\1.0\\", KeyOutside},
        {kClassesRoot, "VARN.DebugConfig\\shell\\open\\command", KeyOfInstallation},
        {kClassesRoot, "Varnplay.Save\\DefaultIcon", KeyOfInstallation},
        {kClassesRoot, ".vdc", KeyExtension},
        {kClassesRoot, ".", KeyOutside},
        {kClassesRoot, "VARN.Game2", KeyOutside},
        {0x80000003u, "Software\\VARN", KeyOutside},
    };
    for (const auto& key : keys)
        EXPECT_EQ(PlaceOfKey(scope, std::get<0>(key), std::get<1>(key)), std::get<2>(key)) << std::get<1>(key);
    scope.appName = "exefile\\shell";  // a name with a backslash names no file type of ours
    EXPECT_EQ(PlaceOfKey(scope, kClassesRoot, "exefile\\shell.Save"), KeyOutside);
}

// Whether a user could change a folder on the way, from its owner and its
// access list: the answer that lets a removal at restart be scheduled.
TEST(FolderAccess, OnlyAdministrativeFoldersThatGrantUsersNoChangeAreSafe) {
    constexpr uint32_t kFullControl = 0x001F01FFu, kReadExecute = 0x001200A9u, kModify = 0x001301BFu;
    constexpr uint32_t kAddSubfolder = 0x0004u, kDeleteChild = 0x0040u, kWriteDac = 0x00040000u;
    constexpr uint32_t kGenericWrite = 0x40000000u;
    const AccessEntry admins{true, true, false, Trustee::Administrative, kFullControl};
    auto Others = [](uint32_t mask, bool inheritOnly = false, bool allows = true) {
        return AccessEntry{true, allows, inheritOnly, Trustee::Other, mask};
    };
    struct Case {
        const char* what;
        bool known, hasList;
        Trustee owner;
        std::vector<AccessEntry> entries;
        bool changeable;
    } cases[] = {
        {"Program Files: users may read", true, true, Trustee::Administrative, {admins, Others(kReadExecute)}, false},
        {"C:\\: users add folders; modify only inherited", true, true, Trustee::Administrative,
         {admins, Others(kAddSubfolder), Others(kModify, true)}, false},
        {"a folder made under C:\\: users modify", true, true, Trustee::Administrative,
         {admins, Others(kModify)}, true},
        {"users may delete entries", true, true, Trustee::Administrative, {admins, Others(kDeleteChild)}, true},
        {"users may rewrite the list", true, true, Trustee::Administrative, {admins, Others(kWriteDac)}, true},
        {"generic write", true, true, Trustee::Administrative, {Others(kGenericWrite)}, true},
        {"a denial grants nothing", true, true, Trustee::Administrative, {Others(kFullControl, false, false)}, false},
        {"creator owner grants nothing here", true, true, Trustee::Administrative,
         {AccessEntry{true, true, false, Trustee::CreatorOwner, kFullControl}}, false},
        {"an entry not understood", true, true, Trustee::Administrative,
         {admins, AccessEntry{false, true, false, Trustee::Other, 0}}, true},
        {"owned by a user (as every folder under Wine)", true, true, Trustee::Other, {admins}, true},
        {"no access list", true, false, Trustee::Administrative, {}, true},
        {"security unreadable", false, false, Trustee::Administrative, {}, true},
    };
    for (const Case& c : cases) {
        FolderAccessFacts facts;
        facts.known = c.known;
        facts.hasList = c.hasList;
        facts.owner = c.owner;
        facts.entries = c.entries;
        EXPECT_EQ(UsersCanChange(facts), c.changeable) << c.what;
    }
}

}  // namespace
