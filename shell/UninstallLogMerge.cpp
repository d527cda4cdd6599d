#include "shell/UninstallLogMerge.h"

#include <cstring>
#include <set>
#include <string>

#include "shell/UninstallLogReader.h"
#include "setup/PathHelpers.h"
#include "shell/UninstallRecord.h"

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
        // after the subkey that kept it.
        if (record.kind == UninstallAppName || recorded.count(RecordIdentity(record))) continue;
        carried.push_back(RecordSpan{record.offset, LoadLittleEndian32(earlier + record.offset + 4)});
    }
    return carried;
}

bool EarlierLogHasFile(const uint8_t* earlier, size_t earlierSize, const char* path) {
    if (!earlier) return false;
    UninstallLogReader reader(earlier, earlierSize);
    UninstallLogRecord record;
    while (reader.Next(record))
        if (record.kind == UninstallFile && std::strlen(path) == record.textLength &&
            EqualsNoCase(record.text, path))
            return true;
    return false;
}
