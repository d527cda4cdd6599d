#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Reads the whole uninstall log and checks every record before anything is
// removed. False with a message for the user when it cannot be used.
bool LoadUninstallLog(const char* path, std::vector<uint8_t>& image, std::string& problem);
