#pragma once
// What an extension's default value named before the setup pointed it at its
// own file type: another program's type, or nothing (empty). It travels in
// the uninstall log as an application-name record after the first one, its
// text "\x01earlier default\x01EXTENSION\x01VALUE": uninstallers that do not
// know it pass over it (they take the first such record for the name and do
// nothing with the others), so a log stays readable by every uninstaller.
// Extensions hold no control characters; the value is everything after the
// third separator.
#include <cstddef>
#include <string>

std::string EncodeEarlierDefault(const std::string& extension, const std::string& value);

// False unless text is such a record's text.
bool DecodeEarlierDefault(const char* text, size_t length, std::string* extension, std::string* value);
