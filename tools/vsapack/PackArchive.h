#pragma once
#include <string>
#include <vector>

#include "PackInput.h"

// Writes the archive to output, behind a copy of host when host is not empty.
// Removes a partial output on failure.
bool PackArchive(const std::string& output, const std::string& host, const std::vector<PackEntry>& entries,
                 std::string* error);
