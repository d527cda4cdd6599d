// The install sequence against a model of the disk and the registry that
// fails, or stops dead at, its Nth change, for every N: whatever exists must
// have been in the log file before it was created, and the uninstaller (the
// plain removal code, working from the log its entry vouches for) or a second
// installation and then the uninstaller must leave nothing behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "archive/ArchiveSource.h"
#include "install/ArchiveExtraction.h"
#include "install/RecordedInstall.h"
#include "shell/UninstallLogMerge.h"
#include "shell/UninstallLogName.h"
#include "shell/UninstallLogReader.h"
#include "shell/UninstallRecord.h"
#include "tests/pure/archive/ArchiveTestSupport.h"
#include "uninstall/UninstallRemover.h"

namespace {

const std::string kDir = "C:\\Games\\Varn", kPrograms = "C:\\Menu", kDocuments = "C:\\Docs";
const std::string kEntriesKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kEntry = kEntriesKey + "varnplay.exe";
const std::string kAppPaths = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\varnplay.exe";
// A "$Keep\" member: never recorded, the user's from the start.
const std::string kKept = kDir + "\\games\\saved.sav";

struct Killed {};

// FNV-1a over everything added: enough to tell one byte sequence from another here.
class FakeDigest : public RunningDigest {
public:
    void Add(const void* data, size_t size) override {
        for (size_t i = 0; i < size; ++i) hash_ = (hash_ ^ static_cast<const uint8_t*>(data)[i]) * 1099511628211ull;
    }
    bool TextSoFar(char* text) override {
        std::snprintf(text, 65, "%016llx", static_cast<unsigned long long>(hash_));
        return true;
    }

private:
    unsigned long long hash_ = 1469598103934665603ull;
};

std::string DigestOf(const uint8_t* data, size_t size) {
    FakeDigest digest;
    digest.Add(data, size);
    char text[65];
    digest.TextSoFar(text);
    return text;
}

std::string Root(uint32_t root) {
    return root == kRootClasses ? "HKCR:" : root == kRootCurrentUser ? "HKCU:" : "HKLM:";
}

bool Below(const std::string& path, const std::string& parent) {
    return path.size() > parent.size() && path.compare(0, parent.size(), parent) == 0 && path[parent.size()] == '\\';
}

// The disk and the registry. Every change counts as one operation; the
// failing one reports failure, the killing one throws before it happens.
class FakeSystem : public InstallSystem, public ExtractTarget {
public:
    std::set<std::string> folders{"C:\\", kPrograms, kDocuments};
    std::map<std::string, std::string> files;
    std::map<std::string, std::map<std::string, std::string>> keys{
        {"HKLM:Software", {}}, {"HKLM:Software\\Microsoft", {}}, {"HKLM:Software\\Microsoft\\Windows", {}},
        {"HKLM:Software\\Microsoft\\Windows\\CurrentVersion", {}},
        {"HKLM:" + kEntriesKey.substr(0, kEntriesKey.size() - 1), {}},
        {"HKLM:Software\\Microsoft\\Windows\\CurrentVersion\\App Paths", {}},
        {"HKCU:Software", {}}};
    int operations = 0, failAt = 0, killAt = 0;
    std::vector<std::string> unrecorded;  // items created while no log named them

    // The invariant, at the moment each item is created.
    void Creating(const std::string& item) {
        if (!NamedByOpenLog(item) && !(logPath_.empty() && IsLevelOrLog(item)) && item != kKept)
            unrecorded.push_back(item);
    }

    bool Step() {
        ++operations;
        if (operations == killAt) throw Killed();
        return operations != failAt;
    }

    PathState StateOf(const char* path) override {
        if (folders.count(path)) return PathFolder;
        return files.count(path) ? PathOther : PathMissing;
    }
    bool MakeFolder(const char* path) override {
        if (!Step()) return false;
        Creating(path);
        return folders.insert(path).second;
    }
    void RemoveEmptyFolder(const char* path) override {
        Step();
        if (!HasChildren(path)) folders.erase(path);
    }
    bool HoldsOnly(const char* folder, const std::vector<std::string>& items) override {
        for (const std::string& child : Children(folder))
            if (std::find(items.begin(), items.end(), child) == items.end()) return false;
        return true;
    }
    std::vector<std::string> UnclaimedJournals(const char* folder) override {
        std::vector<std::string> journals;
        for (const auto& file : files) {
            const std::string& path = file.first;
            bool log = Below(path, folder) && path.find('\\', std::strlen(folder) + 1) == std::string::npos &&
                       path.compare(std::strlen(folder) + 1, 6, "UnInst") == 0 && path.size() == std::strlen(folder) + 15;
            const uint8_t* bytes = reinterpret_cast<const uint8_t*>(file.second.data());
            if (log && BeginsAsJournal(bytes, file.second.size()) && !Claimed(path)) journals.push_back(path);
        }
        return journals;
    }
    bool KeyExists(uint32_t root, const char* keyPath) override { return keys.count(Root(root) + keyPath) != 0; }
    bool SetValue(uint32_t root, const char* keyPath, const char* name, const char* text) override {
        if (!Step()) return false;
        std::string key = Root(root) + keyPath;
        if (!keys.count(key)) {
            Creating(key);
            for (size_t at = key.find('\\'); at != std::string::npos; at = key.find('\\', at + 1))
                if (!keys.count(key.substr(0, at))) Creating(key.substr(0, at)), keys[key.substr(0, at)];
        }
        keys[key][name] = text;
        return true;
    }
    void DeleteKey(uint32_t root, const char* keyPath) override {
        Step();
        std::string key = Root(root) + keyPath;
        for (const auto& other : keys)
            if (Below(other.first, key)) return;
        keys.erase(key);
    }
    void DeleteValue(uint32_t root, const char* keyPath, const char* name) override {
        Step();
        auto key = keys.find(Root(root) + keyPath);
        if (key != keys.end()) key->second.erase(name);
    }
    bool OpenNewLog(const char* path) override {
        if (!Step() || files.count(path)) return false;
        Creating(path);
        logPath_ = path;
        files[path];
        return true;
    }
    bool AppendLog(const uint8_t* data, uint32_t length) override {
        if (logPath_.empty()) return false;
        if (!Step()) {
            files[logPath_].append(reinterpret_cast<const char*>(data), length / 2);  // a disk that filled up
            return false;
        }
        files[logPath_].append(reinterpret_cast<const char*>(data), length);
        return true;
    }
    void CloseLog() override { logPath_.clear(); }
    // A killed process's handles close.
    void ProcessEnded() {
        logPath_.clear();
        output_.clear();
    }
    bool WriteWholeFile(const char* path, const uint8_t* data, size_t size) override {
        if (!Step()) return false;
        if (!files.count(path)) Creating(path);
        files[path].assign(reinterpret_cast<const char*>(data), size);
        return true;
    }
    bool PutInPlace(const char* from, const char* to) override {
        if (!Step() || !files.count(from)) return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    void RemoveFile(const char* path) override {
        Step();
        files.erase(path);
    }
    bool DigestText(const uint8_t* data, size_t size, char* text) override {
        std::snprintf(text, 65, "%s", DigestOf(data, size).c_str());
        return true;
    }

    // ExtractTarget: the member files.
    bool FileExists(const char* path) override { return files.count(path) != 0; }
    int CreateOutput(const char* path) override {
        if (!Step()) return ExtractCreateError;
        if (!files.count(path)) Creating(path);
        files[path].clear();
        output_ = path;
        return ExtractOk;
    }
    bool WriteOutput(const void* data, uint32_t length) override {
        if (!Step()) return false;
        files[output_].append(static_cast<const char*>(data), length);
        return true;
    }
    // Not a change of its own (and called while a kill unwinds): the data is written.
    void CloseOutput() override { output_.clear(); }
    int GetDocumentsFolder(char* buffer) override {
        std::snprintf(buffer, 260, "%s", kDocuments.c_str());
        return ExtractOk;
    }

    std::vector<std::string> Children(const std::string& folder) const {
        std::vector<std::string> children;
        for (const std::string& path : folders)
            if (Below(path, folder) && path.find('\\', folder.size() + 1) == std::string::npos) children.push_back(path);
        for (const auto& file : files)
            if (Below(file.first, folder) && file.first.find('\\', folder.size() + 1) == std::string::npos)
                children.push_back(file.first);
        return children;
    }
    bool HasChildren(const std::string& folder) const { return !Children(folder).empty(); }

    // Whether an entry's "UninstallString" names the log.
    bool Claimed(const std::string& log) const {
        for (const auto& key : keys) {
            auto value = key.second.find("UninstallString");
            char path[260];
            if (Below(key.first, "HKLM:" + kEntriesKey.substr(0, kEntriesKey.size() - 1)) && value != key.second.end() &&
                LogPathOfUninstallString(value->second.c_str(), path, sizeof path) && log == path)
                return true;
        }
        return false;
    }

private:
    bool NamedByOpenLog(const std::string& item) const {
        if (logPath_.empty()) return false;
        const std::string& log = files.at(logPath_);
        if (log.size() < kJournalMarkLength) return false;
        const uint8_t* image = reinterpret_cast<const uint8_t*>(log.data());
        UninstallLogReader reader(image + kJournalMarkLength, log.size() - kJournalMarkLength);
        UninstallLogRecord record;
        while (reader.Next(record)) {
            std::string text(record.text, record.textLength);
            if ((record.kind == UninstallKey ? Root(record.rootKey) + text : text) == item) return true;
        }
        return false;
    }
    bool IsLevelOrLog(const std::string& item) const {
        return item == "C:\\Games" || item == kDir || item.compare(0, kDir.size() + 7, kDir + "\\UnInst") == 0;
    }

    std::string logPath_, output_;
};

// The records the setup keeps in memory, newest first.
class MemoryRecords : public RecordSink {
public:
    uint8_t* NewRecord(uint8_t kind, uint32_t totalLength) override {
        records.insert(records.begin(), std::vector<uint8_t>(totalLength));
        records.front()[0] = kind;
        StoreLittleEndian32(records.front().data() + 4, totalLength);
        return records.front().data();
    }
    std::vector<std::vector<uint8_t>> records;
};

void AddRecord(std::vector<uint8_t>& image, uint8_t kind, const std::string& text) {
    std::vector<uint8_t> record(TextRecordLength(text.size()));
    EncodeTextRecord(record.data(), kind, text.c_str(), text.size());
    image.insert(image.end(), record.begin(), record.end());
}

// The log the entry vouches for, as the setup and the uninstaller check it:
// a journal as far as its digest reaches, a completed log by its whole digest.
bool TrustedLog(const FakeSystem& system, const std::string& entry, std::string& logPath,
                std::vector<uint8_t>& image) {
    auto key = system.keys.find("HKLM:" + entry);
    if (key == system.keys.end() || !key->second.count("UninstallString")) return false;
    char path[260];
    if (!LogPathOfUninstallString(key->second.at("UninstallString").c_str(), path, sizeof path) ||
        !system.files.count(path))
        return false;
    logPath = path;
    const std::string& file = system.files.at(path);
    image.assign(file.begin(), file.end());
    auto value = [&](const char* name) { return key->second.count(name) ? key->second.at(name) : std::string(); };
    if (IsJournalImage(image.data(), image.size())) {
        FakeDigest digest;
        std::vector<uint8_t> completed;
        if (CheckJournal(image.data(), image.size(), value(kJournalDigestValueName).c_str(), digest, completed) !=
            JournalAccepted)
            return false;
        image.swap(completed);
        return true;
    }
    return ValidateUninstallLog(image.data(), image.size(), nullptr, nullptr) &&
           DigestOf(image.data(), image.size()) == value("UninstallLogSHA256");
}

InstallPlan MakePlan(const FakeSystem& system, const std::vector<uint8_t>& earlier) {
    InstallPlan plan;
    plan.programDir = kDir;
    for (unsigned number = 1; plan.logPath.empty() || system.files.count(plan.logPath); ++number) {
        char name[kUninstallLogNameSize];
        FormatUninstallLogName(number, name);
        plan.logPath = kDir + "\\" + name;
    }
    plan.entryKey = kEntry;
    plan.appPathsKey = kAppPaths;
    plan.appPathsDefault = kDir + "\\varnplay.exe";
    plan.displayName = plan.appName = "Varnplay";
    plan.uninstallString = UninstallStringValue("C:\\windows", plan.logPath.c_str()).Get();
    plan.earlierRecords = earlier;
    return plan;
}

// The install sequence's steps in the order setup.exe takes them, on the model.
bool Install(FakeSystem& system, const archive_test::Bytes& archive) {
    std::string earlierPath;
    std::vector<uint8_t> earlier;
    if (!TrustedLog(system, kEntry, earlierPath, earlier) || earlierPath.compare(0, kDir.size() + 1, kDir + "\\") != 0)
        earlier.clear();
    InstallPlan plan = MakePlan(system, earlier);
    FakeDigest digest;
    MemoryRecords memory;
    RecordedInstall run(system, digest, memory);
    if (!run.Begin(plan)) return false;

    struct Context {
        RecordedInstall& run;
    } context{run};
    ExtractCallbacks callbacks = {
        nullptr, nullptr,
        [](void* c, const char* path) { return static_cast<Context*>(c)->run.MakeFolder(path, true); },
        [](void* c, const char* path, int keep) {
            return keep || static_cast<Context*>(c)->run.RecordText(UninstallFile, path) ? 0 : 1;
        },
        nullptr};
    MemoryArchiveSource source(archive.data(), static_cast<uint32_t>(archive.size()));
    std::vector<uint8_t> buffer(kTransferBufferSize);
    int extracted = ExtractFromSource(source, system, kDir.c_str(), callbacks, &context, buffer.data(),
                                      Decompression::OnCallingThread);
    // The Start Menu folder and a shortcut, the associations, the settings flags.
    std::string link = kPrograms + "\\Varnplay\\Varnplay.lnk";
    if (run.MakeFolder((kPrograms + "\\Varnplay").c_str(), false) == 0 && run.RecordText(UninstallFile, link.c_str()) &&
        system.CreateOutput(link.c_str()) == ExtractOk) {
        system.WriteOutput("link", 4);
        system.CloseOutput();
    }
    run.WriteValue(kRootClasses, "VARN.Game\\shell\\open\\command", "", "varnplay.exe %1");
    // What the extension named before travels as a later application-name record.
    run.RecordText(UninstallAppName, "\x01" "earlier default\x01.gam\x01");
    run.WriteValue(kRootClasses, ".gam", "", "VARN.Game");  // after its type, as setup.exe writes them
    run.WriteValue(kRootCurrentUser, "Software\\VARN\\Varnplay\\1.0\\Settings", "SetupDone", "1");

    std::vector<uint8_t> completed;
    AddRecord(completed, UninstallAppName, "Varnplay");
    AddRecord(completed, UninstallFile, plan.logPath);
    for (const auto& record : memory.records) completed.insert(completed.end(), record.begin(), record.end());
    std::vector<const uint8_t*> current;
    UninstallLogReader reader(completed.data(), completed.size());
    UninstallLogRecord parsed;
    while (reader.Next(parsed)) current.push_back(completed.data() + parsed.offset);
    std::vector<uint8_t> carried;
    for (const RecordSpan& span : RecordsToCarryOver(earlier.data(), earlier.size(), current))
        carried.insert(carried.end(), earlier.begin() + span.offset, earlier.begin() + span.offset + span.length);
    completed.insert(completed.end(), carried.begin(), carried.end());
    bool finished = run.Finish(completed);
    if (finished && !earlier.empty()) system.RemoveFile(earlierPath.c_str());
    return finished && extracted == ExtractOk && !run.Broken();
}

// The removal as the uninstaller does it, on the model.
class ModelRemoval : public RemovalTarget {
public:
    explicit ModelRemoval(FakeSystem& system) : system_(system) {}
    RemovalOutcome RemoveFile(const char* path) override {
        return system_.files.erase(path) ? RemovalDone : RemovalAbsent;
    }
    RemovalOutcome RemoveAtRestart(const char*) override { return RemovalFailed; }  // nothing is in use here
    RemovalOutcome SetKeyValue(uint32_t root, const char* keyPath, const char* name, const char* text) override {
        auto key = system_.keys.find(Root(root) + keyPath);
        if (key == system_.keys.end()) return RemovalAbsent;
        if (text)
            key->second[name] = text;
        else
            key->second.erase(name);
        return RemovalDone;
    }
    bool UsersCanChangeWayTo(const char*) override { return false; }
    RemovalOutcome RemoveFolder(const char* path) override {
        if (!system_.folders.count(path)) return RemovalAbsent;
        if (system_.HasChildren(path)) return RemovalKept;
        system_.folders.erase(path);
        return RemovalDone;
    }
    RemovalOutcome RemoveKey(uint32_t root, const char* keyPath) override {
        std::string key = Root(root) + keyPath;
        if (!system_.keys.count(key)) return RemovalAbsent;
        for (const auto& other : system_.keys)
            if (Below(other.first, key)) return RemovalKept;
        system_.keys.erase(key);
        return RemovalDone;
    }
    bool PassesThroughLink(const char*, size_t) override { return false; }
    KeyValueState ReadKeyValue(uint32_t root, const char* keyPath, const char* name, std::string& value) override {
        auto key = system_.keys.find(Root(root) + keyPath);
        if (key == system_.keys.end()) return KeyValueMissingKey;
        if (!key->second.count(name)) return KeyValueNone;
        value = key->second.at(name);
        return KeyValueText;
    }

private:
    FakeSystem& system_;
};

// False when no entry vouches for a log (the uninstaller would refuse).
bool Uninstall(FakeSystem& system, int* status = nullptr) {
    std::string logPath;
    std::vector<uint8_t> image;
    if (!TrustedLog(system, kEntry, logPath, image)) return false;
    RemovalScope scope;
    scope.logPath = logPath;
    scope.programsFolder = kPrograms;
    scope.documentsFolder = kDocuments;
    scope.entryName = "varnplay.exe";
    scope.appName = RecordedAppName(image.data(), image.size());
    ModelRemoval target(system);
    RemovalReport report;
    RemoveRecordedItems(image.data(), image.size(), scope, target, nullptr, nullptr, report);
    if (status) *status = RemovalExitStatus(report);
    return true;
}

// With a "$Keep\" member, whose file and folders stay after an uninstall.
archive_test::Bytes TestArchive(bool kept = false) {
    std::vector<archive_test::Member> members = {{"varnplay.exe", "player"},
                                                 {"doc\\intro.htm", std::string(70000, 'i')},
                                                 {"doc\\deep\\notes.txt", "notes"},
                                                 {"$MyDocuments\\Games\\slot.sav", "slot"}};
    if (kept) members.insert(members.begin() + 3, {"$Keep\\games\\saved.sav", "user's"});
    return archive_test::MakeArchive(members);
}

std::string Describe(const FakeSystem& system) {
    std::string text;
    for (const std::string& folder : system.folders) text += "folder " + folder + "\n";
    for (const auto& file : system.files) text += "file " + file.first + "\n";
    for (const auto& key : system.keys) {
        text += "key " + key.first;
        for (const auto& value : key.second) text += " [" + value.first + "=" + value.second + "]";
        text += "\n";
    }
    return text;
}

// What the model holds before any installation, and the file setup leaves on purpose.
std::string Untouched(const FakeSystem& system) {
    FakeSystem fresh;
    FakeSystem expected = system;
    expected.folders = fresh.folders;
    expected.keys = fresh.keys;
    expected.files.clear();
    if (system.files.count(kKept)) {  // with the folders that hold it
        expected.folders.insert({"C:\\Games", kDir, kDir + "\\games"});
        expected.files[kKept] = system.files.at(kKept);
    }
    return Describe(expected);
}

int CountOperations() {
    FakeSystem system;
    EXPECT_TRUE(Install(system, TestArchive()));
    EXPECT_EQ(system.unrecorded, std::vector<std::string>());
    return system.operations;
}

TEST(RecordedInstall, ACompleteInstallationIsRemovedByOneUninstall) {
    FakeSystem system;
    ASSERT_TRUE(Install(system, TestArchive(true)));
    const std::string& log = system.files.at(kDir + "\\UnInst0001.inf");
    // The completed log has the order and form the uninstaller has always read.
    EXPECT_FALSE(IsJournalImage(reinterpret_cast<const uint8_t*>(log.data()), log.size()));
    EXPECT_EQ(system.keys.at("HKLM:" + kEntry).count(kJournalDigestValueName), 0u);
    EXPECT_EQ(system.keys.at("HKLM:" + kAppPaths).at("Path"), kDir);
    int status = -1;
    ASSERT_TRUE(Uninstall(system, &status));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Describe(system), Untouched(system));
}

TEST(RecordedInstall, EveryFailingChangeLeavesARemovableInstallation) {
    const int total = CountOperations();
    ASSERT_GT(total, 20);
    for (int n = 1; n <= total; ++n) {
        FakeSystem system;
        system.failAt = n;
        Install(system, TestArchive());
        EXPECT_EQ(system.unrecorded, std::vector<std::string>()) << "failing change " << n;
        if (!Uninstall(system)) {
            // No entry: nothing may have been left (what came first was taken back).
            EXPECT_EQ(Describe(system), Untouched(system)) << "failing change " << n;
            continue;
        }
        EXPECT_EQ(Describe(system), Untouched(system)) << "failing change " << n;
    }
}

TEST(RecordedInstall, SetupKilledAtEveryChangeIsCompletedByASecondRunAndRemovedByOneUninstall) {
    const int total = CountOperations();
    for (int n = 1; n <= total; ++n) {
        FakeSystem system;
        system.killAt = n;
        EXPECT_THROW(Install(system, TestArchive()), Killed) << n;
        EXPECT_EQ(system.unrecorded, std::vector<std::string>()) << "killed at change " << n;
        system.ProcessEnded();
        // Killed before its log began: the empty levels it made cannot be told
        // from a user's own folders, which are never taken over, so they stay.
        std::set<std::string> strayLevels;
        if (system.files.empty())
            for (const std::string& folder : system.folders)
                if (!FakeSystem().folders.count(folder)) strayLevels.insert(folder);
        FakeSystem killed = system;
        // The entry removes what the killed run made, once the entry names its log.
        if (Uninstall(killed)) {
            EXPECT_EQ(Describe(killed), Untouched(killed)) << "killed at change " << n;
        }
        system.killAt = 0;
        ASSERT_TRUE(Install(system, TestArchive())) << "second run after a kill at change " << n;
        EXPECT_EQ(system.unrecorded, std::vector<std::string>()) << "second run, killed at change " << n;
        int status = -1;
        ASSERT_TRUE(Uninstall(system, &status)) << n;
        EXPECT_EQ(status, 0) << "killed at change " << n;
        for (const std::string& level : strayLevels)
            EXPECT_EQ(system.folders.erase(level), 1u) << level << ", killed at change " << n;
        EXPECT_EQ(Describe(system), Untouched(system)) << "killed at change " << n;
    }
}

TEST(RecordedInstall, FoldersThatWereThereBeforeStayEvenWhenEmpty) {
    FakeSystem system;
    system.folders.insert({"C:\\Games", kDir});
    ASSERT_TRUE(Install(system, TestArchive()));
    ASSERT_TRUE(Uninstall(system));
    EXPECT_EQ(system.folders.count("C:\\Games"), 1u);
    EXPECT_EQ(system.folders.count(kDir), 1u);
    system.folders.erase("C:\\Games");
    system.folders.erase(kDir);
    EXPECT_EQ(Describe(system), Untouched(system));
}

TEST(RecordedInstall, AJournalTrustsOnlyWhatItsDigestCovers) {
    FakeSystem system;
    system.killAt = CountOperations() - 10;  // after the associations, before the completed log
    EXPECT_THROW(Install(system, TestArchive()), Killed);
    system.ProcessEnded();
    std::string logPath;
    std::vector<uint8_t> image;
    ASSERT_TRUE(TrustedLog(system, kEntry, logPath, image));
    EXPECT_EQ(RecordedAppName(image.data(), image.size()), "Varnplay");  // the name first, as completed logs have it
    std::string& journal = system.files[logPath];
    std::string& digest = system.keys["HKLM:" + kEntry][kJournalDigestValueName];
    const std::string intact = journal, intactDigest = digest;
    // One record the setup was writing when it stopped, whole or in part, is passed over.
    uint8_t extra[32] = {};
    std::snprintf(reinterpret_cast<char*>(extra + 8), 20, "C:\\Windows\\x");
    extra[0] = UninstallFile;
    StoreLittleEndian32(extra + 4, TextRecordLength(12));
    for (size_t cut = 0; cut <= TextRecordLength(12); ++cut) {
        journal = intact + std::string(reinterpret_cast<char*>(extra), cut);
        EXPECT_TRUE(TrustedLog(system, kEntry, logPath, image)) << cut;
    }
    // More than that, or any changed byte, and nothing is trusted.
    journal = intact + std::string(reinterpret_cast<char*>(extra), TextRecordLength(12)) + std::string(4, '\0');
    EXPECT_FALSE(TrustedLog(system, kEntry, logPath, image));
    journal = intact + std::string(reinterpret_cast<char*>(extra), TextRecordLength(12)) +
              std::string(reinterpret_cast<char*>(extra), TextRecordLength(12));
    EXPECT_FALSE(TrustedLog(system, kEntry, logPath, image));
    for (size_t at = 0; at < intact.size(); at += 7) {
        journal = intact;
        journal[at] = static_cast<char>(journal[at] ^ 0x20);
        EXPECT_FALSE(TrustedLog(system, kEntry, logPath, image)) << at;
    }
    journal = intact.substr(0, intact.size() - 1);  // a byte less than its digest covers
    EXPECT_FALSE(TrustedLog(system, kEntry, logPath, image));
    journal = intact;
    digest.clear();
    EXPECT_FALSE(TrustedLog(system, kEntry, logPath, image));
    digest = intactDigest;
    EXPECT_TRUE(TrustedLog(system, kEntry, logPath, image));
}

// Once a record could not be written, nothing more is created, not even
// what was asked for again.
TEST(RecordedInstall, NothingIsCreatedOnceTheLogCannotBeWritten) {
    FakeSystem system;
    FakeDigest digest;
    MemoryRecords memory;
    RecordedInstall run(system, digest, memory);
    ASSERT_TRUE(run.Begin(MakePlan(system, {})));
    system.failAt = system.operations + 1;  // the next change: the folder's record
    std::string folder = kDir + "\\sub";
    EXPECT_EQ(run.MakeFolder(folder.c_str(), true), 1);
    EXPECT_TRUE(run.Broken());
    EXPECT_EQ(run.MakeFolder(folder.c_str(), true), 1);
    EXPECT_EQ(run.MakeFolder(folder.c_str(), false), 1);
    EXPECT_FALSE(run.RecordText(UninstallFile, (kDir + "\\x.txt").c_str()));
    EXPECT_FALSE(run.WriteValue(kRootCurrentUser, "Software\\VARN", "x", "1"));
    EXPECT_EQ(system.folders.count(folder), 0u);
    EXPECT_EQ(system.keys.count("HKCU:Software\\VARN"), 0u);
    EXPECT_EQ(system.unrecorded, std::vector<std::string>());
    EXPECT_FALSE(run.Finish({}));  // the log stays as far as it got
    int status = -1;
    ASSERT_TRUE(Uninstall(system, &status));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Describe(system), Untouched(system));
}

TEST(RecordedInstall, SecondInstallationsOfAProgramGetEntriesOfTheirOwn) {
    EXPECT_STREQ(EntryKeyName("varnplay.exe", 1).Get(), "varnplay.exe");
    EXPECT_STREQ(EntryKeyName("varnplay.exe", 2).Get(), "varnplay.exe (2)");
    EXPECT_STREQ(EntryKeyName("lost pig.exe", 99).Get(), "lost pig.exe (99)");
    for (unsigned number = 1; number <= kMaxEntryNumber; ++number) {
        SetupString name = EntryKeyName("varnplay.exe", number);
        EXPECT_EQ(MainProgramLength(name.Get()), 12u) << name.Get();
    }
    for (const char* name : {"x (0)", "x (01)", "x(2)", "x ()", "x (2", "(2)", "x (2)y", "x.exe"})
        EXPECT_EQ(MainProgramLength(name), std::strlen(name)) << name;
}

}  // namespace
