#pragma once
// The uninstall log while an installation runs. Each record reaches the log
// file before the item it names is created, and the Uninstall entry holds
// the digest of the records written so far ("UninstallJournalSHA256"), so
// that setup killed at any point leaves a log the uninstaller can trust.
// Records are appended, oldest first, after a mark record (kind 7) that no
// completed log has; when the installation ends, the setup puts the
// completed log (newest first, as always) in its place.
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr uint8_t kJournalMarkKind = 7;
constexpr uint32_t kJournalMarkLength = 12;  // header, an empty text, filler

void EncodeJournalMark(uint8_t* out);  // kJournalMarkLength bytes
bool IsJournalImage(const uint8_t* image, size_t size);
// The first bytes of a file (up to kJournalMarkLength) as a journal's begin,
// also of one cut short while its mark was written.
bool BeginsAsJournal(const uint8_t* head, size_t size);

// A digest over everything added so far, as 64 lower-case hexadecimal digits.
class RunningDigest {
public:
    virtual void Add(const void* data, size_t size) = 0;
    // False when it cannot be computed; adding may go on afterwards.
    virtual bool TextSoFar(char* text) = 0;

protected:
    ~RunningDigest() = default;
};

// Where the journal goes: the open log file and the Uninstall entry.
class JournalStore {
public:
    // One record, written whole at the end of the log file; false on a failed or short write.
    virtual bool Append(const uint8_t* data, uint32_t length) = 0;
    virtual bool StoreJournalDigest(const char* text) = 0;

protected:
    ~JournalStore() = default;
};

class UninstallJournal {
public:
    UninstallJournal(JournalStore& store, RunningDigest& digest) : store_(store), digest_(digest) {}

    // The mark and every record given, in order, before any digest is stored.
    bool Begin(const std::vector<const uint8_t*>& records);
    // From here on every record's digest goes into the entry.
    bool StoreDigest();
    bool IsLive() const { return live_; }
    // Appends one complete record (and stores the digest once live). After
    // the first failure nothing more is appended: a record cut short may end
    // the file, but nothing may follow it.
    bool Persist(const uint8_t* record);
    bool Broken() const { return broken_; }

private:
    bool Write(const uint8_t* record, uint32_t length);

    JournalStore& store_;
    RunningDigest& digest_;
    bool begun_ = false;
    bool live_ = false;
    bool broken_ = false;
};

enum JournalCheck {
    JournalAccepted,
    JournalNoDigest,     // no digest stored, or none of the image matches it
    JournalChanged,      // more than the one record in flight follows the matching records
    JournalDamaged,      // the matching records are not sound
};

// A journal image whose records up to some record boundary match the
// recorded digest; after that boundary at most one record (the one setup
// was writing when it stopped) or part of one may follow, and is ignored.
// On JournalAccepted, completed holds the matching records newest first,
// as a completed log holds them.
JournalCheck CheckJournal(const uint8_t* image, size_t size, const char* recordedDigest, RunningDigest& digest,
                          std::vector<uint8_t>& completed);

// The records of a completed-order image (newest first) in the order a
// journal appends them (oldest first), as pointers into the image.
std::vector<const uint8_t*> JournalOrder(const uint8_t* image, size_t size);
