#pragma once
// The order in which an installation records and creates. Everything it
// creates is in the uninstall log file before it exists: the program
// directory's levels, the log itself, the Uninstall entry, then each
// directory, file and registry key. The Uninstall entry names the log only
// once the log holds the entry's own keys, so that setup stopped at any
// point (killed, or on a full disk) leaves an installation the uninstaller
// removes completely, and a second run into the same folder takes it over.
// The system calls sit behind InstallSystem, so the order is plain code.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/UninstallJournal.h"

constexpr uint32_t kRootClasses = 0x80000000u, kRootCurrentUser = 0x80000001u, kRootLocalMachine = 0x80000002u;

extern const char kJournalDigestValueName[];  // "UninstallJournalSHA256"

class InstallSystem {
public:
    enum PathState { PathMissing, PathFolder, PathOther };
    virtual PathState StateOf(const char* path) = 0;
    // One level; its parent exists.
    virtual bool MakeFolder(const char* path) = 0;
    virtual void RemoveEmptyFolder(const char* path) = 0;
    // Whether the folder holds nothing but items of these names (full paths).
    virtual bool HoldsOnly(const char* folder, const std::vector<std::string>& items) = 0;
    // Logs in the folder of installations that stopped before their
    // Uninstall entry named them ("UnInstXXXX.inf" beginning as a journal
    // does, named by no entry).
    virtual std::vector<std::string> UnclaimedJournals(const char* folder) = 0;
    virtual bool KeyExists(uint32_t root, const char* keyPath) = 0;
    // Creates the key when it is missing; false when the key or the value cannot be written.
    virtual bool SetValue(uint32_t root, const char* keyPath, const char* name, const char* text) = 0;
    virtual void DeleteValue(uint32_t root, const char* keyPath, const char* name) = 0;
    // A key without subkeys.
    virtual void DeleteKey(uint32_t root, const char* keyPath) = 0;
    // A new file only (an existing one is somebody else's); stays open for AppendLog.
    virtual bool OpenNewLog(const char* path) = 0;
    virtual bool AppendLog(const uint8_t* data, uint32_t length) = 0;
    virtual void CloseLog() = 0;
    virtual bool WriteWholeFile(const char* path, const uint8_t* data, size_t size) = 0;
    // Puts from in place of to, replacing it.
    virtual bool PutInPlace(const char* from, const char* to) = 0;
    virtual void RemoveFile(const char* path) = 0;
    virtual bool DigestText(const uint8_t* data, size_t size, char* text) = 0;

protected:
    ~InstallSystem() = default;
};

// Where the records go in memory, newest first, as the setup keeps them for
// the completed log.
class RecordSink {
public:
    // A zeroed record of the kind and total length, linked at the front.
    virtual uint8_t* NewRecord(uint8_t kind, uint32_t totalLength) = 0;

protected:
    ~RecordSink() = default;
};

// What the Uninstall entry and App Paths receive, and where the log goes.
struct InstallPlan {
    std::string programDir;
    std::string logPath;           // in programDir, a name not in use
    std::string entryKey;          // Uninstall\<name>
    std::string appPathsKey;       // App Paths\<main program>
    std::string appPathsDefault;   // the main program's full path
    std::string displayName;
    std::string uninstallString;
    std::string appName;           // the log's application name record
    // An earlier installation's records (completed order, checked), carried
    // into the journal before its entry is taken over; may be empty.
    std::vector<uint8_t> earlierRecords;
};

class RecordedInstall : private JournalStore {
public:
    RecordedInstall(InstallSystem& system, RunningDigest& digest, RecordSink& sink)
        : system_(system), sink_(sink), journal_(*this, digest) {}

    // The program directory's levels, the journal and the Uninstall entry.
    // False when any of it failed; what was created before the journal
    // existed is removed again, so that nothing is left unrecorded.
    bool Begin(const InstallPlan& plan);
    bool Started() const { return journal_.IsLive(); }
    // Something could not be recorded, so it was not created.
    bool Broken() const { return journal_.Broken(); }

    // A record the caller made through the sink: into the log file (or
    // kept for it until the log is opened); false when it is not there, and
    // then its item must not be created.
    bool Keep(const uint8_t* record);
    // Each records first and creates only what was recorded.
    bool RecordText(uint8_t kind, const char* text);
    bool RecordKey(uint32_t root, const char* keyPath, bool alwaysLog);
    // 0 when the folder exists afterwards, 1 otherwise.
    int MakeFolder(const char* path, bool alwaysRecord);
    // Records the key and its missing ancestors, then writes the value.
    bool WriteValue(uint32_t root, const char* keyPath, const char* name, const char* text);

    // The completed log (newest first, the records the caller composed) in
    // place of the journal, with its digest. False when the journal stays:
    // still complete and trusted, only in its own order.
    bool Finish(const std::vector<uint8_t>& completed);

private:
    bool Append(const uint8_t* data, uint32_t length) override { return system_.AppendLog(data, length); }
    bool StoreJournalDigest(const char* text) override;
    bool Persist(const uint8_t* record);
    bool CreateLevels(const std::string& programDir, std::vector<std::string>& created);
    bool OpenJournal(const InstallPlan& plan, std::vector<const uint8_t*> earlier);
    bool NameJournal(const InstallPlan& plan);
    void TakeBack(const InstallPlan& plan, const std::vector<std::string>& created);
    bool HasDirectoryRecord(const char* path) const;

    InstallSystem& system_;
    RecordSink& sink_;
    UninstallJournal journal_;
    std::string entryKey_;
    std::string logPath_;
    std::vector<const uint8_t*> pending_;  // recorded before the journal existed
    std::vector<std::string> directories_;
    bool journalOpened_ = false;
    bool stopped_ = false;  // Begin failed: nothing more may be created
};
