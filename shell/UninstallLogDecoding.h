#pragma once
// Uninstall logs hold their texts as the setup that wrote them had them: in
// UTF-8 where it ran with the UTF-8 code page, and in the system's ANSI code
// page before that. A log is one encoding as a whole, judged at once.
#include <cstdint>
#include <string>
#include <vector>

// The log image (every record sound) with its texts in the process's code
// page. False when one cannot be represented there; *refused then names it
// (see DescribeUtf8Name).
bool DecodeUninstallLog(const std::vector<uint8_t>& image, std::vector<uint8_t>* decoded, std::string* refused);
