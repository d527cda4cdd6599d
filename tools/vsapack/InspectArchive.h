#pragma once
#include <string>

// Prints each member's size and name (when verbose) after decompressing it,
// then checks the trailer. False with a message for a damaged archive.
bool InspectArchive(const std::string& archive, bool printMembers, std::string* summary, std::string* error);
