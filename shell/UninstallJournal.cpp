#include "shell/UninstallJournal.h"

#include <cstring>

#include "setup/PathHelpers.h"
#include "shell/UninstallLogReader.h"
#include "shell/UninstallRecord.h"

void EncodeJournalMark(uint8_t* out) {
    std::memset(out, 0, kJournalMarkLength);
    out[0] = kJournalMarkKind;
    StoreLittleEndian32(out + 4, kJournalMarkLength);
}

bool IsJournalImage(const uint8_t* image, size_t size) {
    return size >= kJournalMarkLength && image[0] == kJournalMarkKind &&
           LoadLittleEndian32(image + 4) == kJournalMarkLength;
}

bool BeginsAsJournal(const uint8_t* head, size_t size) {
    uint8_t mark[kJournalMarkLength];
    EncodeJournalMark(mark);
    return std::memcmp(head, mark, size < sizeof mark ? size : sizeof mark) == 0;
}

bool UninstallJournal::Write(const uint8_t* record, uint32_t length) {
    if (broken_) return false;
    if (!store_.Append(record, length)) {
        broken_ = true;
        return false;
    }
    digest_.Add(record, length);
    return true;
}

bool UninstallJournal::Begin(const std::vector<const uint8_t*>& records) {
    uint8_t mark[kJournalMarkLength];
    EncodeJournalMark(mark);
    begun_ = Write(mark, sizeof mark);
    for (const uint8_t* record : records)
        if (!Write(record, LoadLittleEndian32(record + 4))) return false;
    return begun_;
}

bool UninstallJournal::StoreDigest() {
    char text[65];
    if (broken_ || !begun_ || !digest_.TextSoFar(text) || !store_.StoreJournalDigest(text)) {
        broken_ = true;
        return false;
    }
    live_ = true;
    return true;
}

bool UninstallJournal::Persist(const uint8_t* record) {
    if (!begun_ || !Write(record, LoadLittleEndian32(record + 4))) return false;
    return !live_ || StoreDigest();
}

namespace {

// The end of the record starting at offset, by its length field alone; 0
// when it does not fit the image.
size_t RecordEnd(const uint8_t* image, size_t size, size_t offset) {
    if (size - offset < kRecordHeaderSize) return 0;
    uint32_t length = LoadLittleEndian32(image + offset + 4);
    if (length < kRecordHeaderSize || length > size - offset) return 0;
    return offset + length;
}

}  // namespace

JournalCheck CheckJournal(const uint8_t* image, size_t size, const char* recordedDigest, RunningDigest& digest,
                          std::vector<uint8_t>& completed) {
    completed.clear();
    if (!recordedDigest || !recordedDigest[0] || !IsJournalImage(image, size)) return JournalNoDigest;
    size_t matched = 0;
    char text[65];
    for (size_t offset = 0, end; offset < size && (end = RecordEnd(image, size, offset)) != 0; offset = end) {
        digest.Add(image + offset, end - offset);
        if (digest.TextSoFar(text) && EqualsNoCase(text, recordedDigest)) matched = end;
    }
    if (matched == 0) return JournalNoDigest;
    if (matched < size) {
        size_t inFlight = RecordEnd(image, size, matched);
        if (inFlight != 0 && inFlight != size) return JournalChanged;
    }
    // Past the mark, the records in the order a completed log has them.
    const uint8_t* records = image + kJournalMarkLength;
    size_t recordsSize = matched - kJournalMarkLength;
    if (recordsSize == 0 || !ValidateUninstallLog(records, recordsSize, nullptr, nullptr)) return JournalDamaged;
    std::vector<size_t> starts;
    UninstallLogReader reader(records, recordsSize);
    UninstallLogRecord record;
    while (reader.Next(record)) starts.push_back(record.offset);
    // The application's name first, as in every completed log: the first
    // application-name record is the name, later ones say other things.
    size_t name = starts.size();
    for (size_t i = 0; i < starts.size() && name == starts.size(); ++i)
        if (records[starts[i]] == UninstallAppName) name = i;
    completed.reserve(recordsSize);
    auto append = [&](size_t i) {
        const uint8_t* at = records + starts[i];
        completed.insert(completed.end(), at, at + LoadLittleEndian32(at + 4));
    };
    if (name < starts.size()) append(name);
    for (size_t i = starts.size(); i-- > 0;)
        if (i != name) append(i);
    return JournalAccepted;
}

std::vector<const uint8_t*> JournalOrder(const uint8_t* image, size_t size) {
    std::vector<const uint8_t*> records;
    UninstallLogReader reader(image, size);
    UninstallLogRecord record;
    while (reader.Next(record)) records.push_back(image + record.offset);
    return std::vector<const uint8_t*>(records.rbegin(), records.rend());
}
