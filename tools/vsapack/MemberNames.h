#pragma once
// Archive member names as the places they land on: two names Windows takes
// for one file land on the same place.
#include <string>
#include <utility>
#include <vector>

// The documents folder or the program directory, and the path after the
// placement prefixes, with ASCII letter case and separators folded.
std::string MemberPlace(const std::string& name);

// Every pair of names (indexes, the earlier first) that land on the same place.
std::vector<std::pair<size_t, size_t>> SamePlaceMembers(const std::vector<std::string>& names);
