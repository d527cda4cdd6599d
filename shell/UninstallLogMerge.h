#pragma once
// A reinstallation into the folder of an earlier installation of the same
// application takes the earlier log over: the new log also carries the
// earlier records that the new installation did not record again, so that
// one uninstall removes both.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

struct RecordSpan {
    size_t offset;  // in the earlier log's image
    size_t length;
};

// The earlier records to carry over, in file order: every sound record of the
// earlier image but its application name and those naming an item that the
// current records (complete records in memory, as the setup holds them)
// name already.
std::vector<RecordSpan> RecordsToCarryOver(const uint8_t* earlier, size_t earlierSize,
                                           const std::vector<const uint8_t*>& current);

// The files an earlier log records, as FoldedPath gives them: a file there
// before the installation that the earlier installation made is the
// product's own and may be replaced; any other is the user's.
std::set<std::string> RecordedFiles(const uint8_t* earlier, size_t earlierSize);
// A path with ASCII letter case folded, as Windows compares names.
std::string FoldedPath(const char* path);
