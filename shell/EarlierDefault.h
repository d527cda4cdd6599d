#pragma once
// What an extension's values held before the setup pointed it at its own
// file type. Each travels in the uninstall log as an application-name record
// after the first one: uninstallers that do not know them pass over them
// (they take the first such record for the name and do nothing with the
// others), so a log stays readable by every uninstaller. Extensions hold no
// control characters; a value is everything after the extension's separator.
//
// The default value: "\x01earlier default\x01EXTENSION\x01VALUE", another
// program's type, or nothing (an empty VALUE).
//
// The "Content Type" value: "\x01earlier content type\x01EXTENSION\x01VALUE"
// for a text (an empty one included), "\x01earlier content type\x01EXTENSION"
// without the last separator when there was no such value.
#include <cstddef>
#include <string>

std::string EncodeEarlierDefault(const std::string& extension, const std::string& value);

// False unless text is such a record's text.
bool DecodeEarlierDefault(const char* text, size_t length, std::string* extension, std::string* value);

// value null: the extension had no content type.
std::string EncodeEarlierContentType(const std::string& extension, const std::string* value);

// False unless text is such a record's text; *hadValue tells a text from none.
bool DecodeEarlierContentType(const char* text, size_t length, std::string* extension, bool* hadValue,
                              std::string* value);
