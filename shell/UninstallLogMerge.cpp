#include "shell/UninstallLogMerge.h"

#include <set>
#include <string>

#include "shell/EarlierDefault.h"
#include "shell/UninstallLogReader.h"
#include "shell/UninstallRecord.h"

namespace {

bool IsEarlierValue(const UninstallLogRecord& record) {
    std::string extension, value;
    bool hadValue = false;
    return DecodeEarlierDefault(record.text, record.textLength, &extension, &value) ||
           DecodeEarlierContentType(record.text, record.textLength, &extension, &hadValue, &value);
}

}  // namespace

std::vector<RecordSpan> RecordsToCarryOver(const uint8_t* earlier, size_t earlierSize,
                                           const std::vector<const uint8_t*>& current) {
    std::set<std::string> recorded;
    for (const uint8_t* record : current) {
        UninstallLogReader reader(record, LoadLittleEndian32(record + 4));
        UninstallLogRecord parsed;
        if (reader.Next(parsed)) recorded.insert(RecordIdentity(parsed));
    }
    std::vector<RecordSpan> carried;
    UninstallLogReader reader(earlier, earlierSize);
    UninstallLogRecord record;
    while (reader.Next(record)) {
        // Repeated earlier records stay repeated: their order lets a key go
        // after the subkey that kept it. Of the names, only what extensions
        // held before the earlier installation is carried.
        if ((record.kind == UninstallAppName && !IsEarlierValue(record)) || recorded.count(RecordIdentity(record)))
            continue;
        carried.push_back(RecordSpan{record.offset, LoadLittleEndian32(earlier + record.offset + 4)});
    }
    return carried;
}

std::set<std::string> RecordedFiles(const uint8_t* earlier, size_t earlierSize) {
    std::set<std::string> files;
    UninstallLogReader reader(earlier, earlier ? earlierSize : 0);
    UninstallLogRecord record;
    while (earlier && reader.Next(record))
        if (record.kind == UninstallFile) files.insert(FoldedPath(std::string(record.text, record.textLength).c_str()));
    return files;
}

std::string FoldedPath(const char* path) {
    std::string folded(path);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}
