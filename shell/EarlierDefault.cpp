#include "shell/EarlierDefault.h"

#include <cstring>

namespace {
const char kTag[] = "\x01" "earlier default" "\x01";
constexpr size_t kTagLength = sizeof kTag - 1;
}  // namespace

std::string EncodeEarlierDefault(const std::string& extension, const std::string& value) {
    return kTag + extension + "\x01" + value;
}

bool DecodeEarlierDefault(const char* text, size_t length, std::string* extension, std::string* value) {
    if (length < kTagLength || std::memcmp(text, kTag, kTagLength) != 0) return false;
    const char* start = text + kTagLength;
    const char* end = text + length;
    const void* separator = std::memchr(start, '\x01', static_cast<size_t>(end - start));
    if (!separator || separator == start) return false;  // an extension is never empty
    const char* split = static_cast<const char*>(separator);
    extension->assign(start, split);
    value->assign(split + 1, end);
    return true;
}
