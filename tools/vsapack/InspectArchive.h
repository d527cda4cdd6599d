#pragma once
#include <cstdint>
#include <functional>
#include <string>

// Decompresses every member, calling visit (when given) with its name and
// length once its data has been read, then checks the trailer. False with a
// message for a damaged archive; members read before the damage were visited.
bool WalkArchive(const std::string& archive, const std::function<void(const char*, uint32_t)>& visit,
                 std::string* summary, std::string* error);

// WalkArchive, printing each member's size and name when printMembers is set.
bool InspectArchive(const std::string& archive, bool printMembers, std::string* summary, std::string* error);
