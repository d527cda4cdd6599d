#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Reads the whole uninstall log (a full path) and checks it before anything
// is removed: every record sound, and the digest that the setup stored in the
// Uninstall entry naming this log equal to the file's. False with a message
// for the user when it cannot be used; entryName receives the entry's key name.
bool LoadUninstallLog(const char* path, std::vector<uint8_t>& image, std::string& entryName, std::string& problem);
