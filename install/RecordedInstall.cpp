#include "install/RecordedInstall.h"

#include <cstring>

#include "install/DirectoryChain.h"
#include "setup/PathHelpers.h"
#include "shell/UninstallRecord.h"
#include "setup/NameChars.h"

const char kJournalDigestValueName[] = "UninstallJournalSHA256";

namespace {

const char kCompletedDigestValueName[] = "UninstallLogSHA256";
const char kReplacementSuffix[] = ".new";

std::vector<uint8_t> TextRecord(uint8_t kind, const std::string& text) {
    std::vector<uint8_t> record(TextRecordLength(text.size()));
    EncodeTextRecord(record.data(), kind, text.c_str(), text.size());
    return record;
}

void CollectLevel(void* context, const char* level) {
    static_cast<std::vector<std::string>*>(context)->push_back(level);
}

}  // namespace

bool RecordedInstall::StoreJournalDigest(const char* text) {
    return system_.SetValue(kRootLocalMachine, entryKey_.c_str(), kJournalDigestValueName, text);
}

// A folder counts as recorded only once its record is kept.
bool RecordedInstall::Keep(const uint8_t* record) {
    if (!Persist(record)) return false;
    if (record[0] == UninstallDirectory)
        directories_.push_back(reinterpret_cast<const char*>(record + kRecordHeaderSize));
    return true;
}

bool RecordedInstall::Persist(const uint8_t* record) {
    if (stopped_) return false;
    if (journalOpened_) return journal_.Persist(record);
    pending_.push_back(record);  // goes into the journal when it is opened
    return true;
}

bool RecordedInstall::RecordText(uint8_t kind, const char* text) {
    size_t length = std::strlen(text);
    uint8_t* record = sink_.NewRecord(kind, TextRecordLength(length));
    EncodeTextRecord(record, kind, text, length);
    return Keep(record);
}

bool RecordedInstall::RecordKey(uint32_t root, const char* keyPath, bool alwaysLog) {
    if (!alwaysLog && system_.KeyExists(root, keyPath)) return true;  // so do its ancestors
    const char* lastBackslash = FindLastChar(keyPath, '\\');
    if (lastBackslash && !RecordKey(root, std::string(keyPath, lastBackslash).c_str(), false)) return false;
    size_t length = std::strlen(keyPath);
    uint8_t* record = sink_.NewRecord(UninstallKey, KeyRecordLength(length));
    EncodeKeyRecord(record, root, keyPath, length);
    return Persist(record);
}

bool RecordedInstall::HasDirectoryRecord(const char* path) const {
    for (const std::string& directory : directories_)
        if (EqualsNoCase(directory.c_str(), path)) return true;
    return false;
}

int RecordedInstall::MakeFolder(const char* path, bool alwaysRecord) {
    InstallSystem::PathState state = system_.StateOf(path);
    bool missing = state == InstallSystem::PathMissing;
    if ((missing || alwaysRecord) && !HasDirectoryRecord(path) && !RecordText(UninstallDirectory, path)) return 1;
    if (missing) return system_.MakeFolder(path) ? 0 : 1;
    return state == InstallSystem::PathFolder ? 0 : 1;
}

bool RecordedInstall::WriteValue(uint32_t root, const char* keyPath, const char* name, const char* text) {
    return RecordKey(root, keyPath, true) && system_.SetValue(root, keyPath, name, text);
}

// A run stopped before its Uninstall entry named its log may have made the
// levels and begun its log. Only such a log tells a stopped run's folders
// from a user's own, which are never taken over (not even empty ones): then
// the program directory, the log, and every parent level that holds nothing
// but the next level go with this installation.
bool RecordedInstall::CreateLevels(const std::string& programDir, std::vector<std::string>& created) {
    std::vector<std::string> levels;
    if (!ForEachDirectoryLevel(programDir.c_str(), CollectLevel, &levels) || levels.empty()) return false;
    std::vector<std::string> unclaimed = system_.UnclaimedJournals(programDir.c_str());
    std::vector<bool> adopted(levels.size(), false);
    bool fresh = system_.StateOf(programDir.c_str()) == InstallSystem::PathFolder && !unclaimed.empty() &&
                 system_.HoldsOnly(levels.back().c_str(), unclaimed);
    adopted.back() = fresh;
    for (size_t i = levels.size() - 1; fresh && i-- > 0;) {
        fresh = system_.StateOf(levels[i].c_str()) == InstallSystem::PathFolder &&
                system_.HoldsOnly(levels[i].c_str(), {levels[i + 1]});
        adopted[i] = fresh;
    }
    for (size_t i = 0; i < levels.size(); ++i) {
        InstallSystem::PathState state = system_.StateOf(levels[i].c_str());
        if (state == InstallSystem::PathOther) return false;
        if (state == InstallSystem::PathFolder && !adopted[i]) continue;
        RecordText(UninstallDirectory, levels[i].c_str());  // kept until the journal is opened
        if (state == InstallSystem::PathFolder) continue;
        if (!system_.MakeFolder(levels[i].c_str())) return false;
        created.push_back(levels[i]);
    }
    for (const std::string& journal : unclaimed) RecordText(UninstallFile, journal.c_str());
    return true;
}

// The journal's first records: the earlier installation's (oldest first),
// this one's levels, the log itself and the application name.
bool RecordedInstall::OpenJournal(const InstallPlan& plan, std::vector<const uint8_t*> records) {
    if (!system_.OpenNewLog(plan.logPath.c_str())) return false;
    records.insert(records.end(), pending_.begin(), pending_.end());
    std::vector<uint8_t> logRecord = TextRecord(UninstallFile, plan.logPath);
    std::vector<uint8_t> nameRecord = TextRecord(UninstallAppName, plan.appName);
    records.push_back(logRecord.data());
    records.push_back(nameRecord.data());
    pending_.clear();
    journalOpened_ = true;
    return journal_.Begin(records);
}

// The entry's keys are in the journal before the entry exists; its first
// value is the journal's digest, so that the entry never names a log it
// cannot check.
bool RecordedInstall::NameJournal(const InstallPlan& plan) {
    const char* entry = plan.entryKey.c_str();
    bool existed = system_.KeyExists(kRootLocalMachine, entry);
    if (RecordKey(kRootLocalMachine, entry, true) && journal_.StoreDigest() &&
        system_.SetValue(kRootLocalMachine, entry, "UninstallString", plan.uninstallString.c_str()))
        return true;
    if (journal_.IsLive() && existed) system_.DeleteValue(kRootLocalMachine, entry, kJournalDigestValueName);
    if (journal_.IsLive() && !existed) system_.DeleteKey(kRootLocalMachine, entry);
    return false;
}

// Nothing names what was made so far: it goes again.
void RecordedInstall::TakeBack(const InstallPlan& plan, const std::vector<std::string>& created) {
    stopped_ = true;
    if (journalOpened_) {
        system_.CloseLog();
        system_.RemoveFile(plan.logPath.c_str());
    }
    for (size_t i = created.size(); i-- > 0;) system_.RemoveEmptyFolder(created[i].c_str());
}

bool RecordedInstall::Begin(const InstallPlan& plan) {
    entryKey_ = plan.entryKey;
    logPath_ = plan.logPath;
    std::vector<std::string> created;
    if (!CreateLevels(plan.programDir, created) ||
        !OpenJournal(plan, JournalOrder(plan.earlierRecords.data(), plan.earlierRecords.size())) ||
        !NameJournal(plan)) {
        TakeBack(plan, created);
        return false;
    }
    // From here the entry names a log that removes whatever exists.
    if (!WriteValue(kRootLocalMachine, plan.entryKey.c_str(), "DisplayName", plan.displayName.c_str())) {
        stopped_ = true;
        return false;
    }
    // App Paths is the main program's, not the entry's: without it the
    // installation is still whole and removable.
    WriteValue(kRootLocalMachine, plan.appPathsKey.c_str(), "", plan.appPathsDefault.c_str());
    WriteValue(kRootLocalMachine, plan.appPathsKey.c_str(), "Path", plan.programDir.c_str());
    return true;
}

bool RecordedInstall::Finish(const std::vector<uint8_t>& completed) {
    if (!journal_.IsLive()) return false;
    std::string replacement = logPath_ + kReplacementSuffix;
    std::vector<uint8_t> record = TextRecord(UninstallFile, replacement);
    char digest[65];
    if (!journal_.Persist(record.data()) || !system_.DigestText(completed.data(), completed.size(), digest))
        return false;
    if (!system_.WriteWholeFile(replacement.c_str(), completed.data(), completed.size()) ||
        !system_.SetValue(kRootLocalMachine, entryKey_.c_str(), kCompletedDigestValueName, digest)) {
        system_.RemoveFile(replacement.c_str());
        return false;
    }
    // Either log in place has its digest in the entry until the journal's goes.
    system_.CloseLog();
    if (!system_.PutInPlace(replacement.c_str(), logPath_.c_str())) {
        system_.RemoveFile(replacement.c_str());
        return false;
    }
    system_.DeleteValue(kRootLocalMachine, entryKey_.c_str(), kJournalDigestValueName);
    return true;
}
