#include "shell/EarlierDefault.h"

#include <cstring>

namespace {

const char kDefaultTag[] = "\x01" "earlier default" "\x01";
const char kContentTypeTag[] = "\x01" "earlier content type" "\x01";

// The text after tag: the extension, then, after a separator, the value if
// there is one.
bool DecodeTagged(const char* tag, const char* text, size_t length, std::string* extension, bool* hadValue,
                  std::string* value) {
    size_t tagLength = std::strlen(tag);
    if (length < tagLength || std::memcmp(text, tag, tagLength) != 0) return false;
    const char* start = text + tagLength;
    const char* end = text + length;
    const void* separator = std::memchr(start, '\x01', static_cast<size_t>(end - start));
    const char* split = separator ? static_cast<const char*>(separator) : end;
    if (split == start) return false;  // an extension is never empty
    extension->assign(start, split);
    *hadValue = separator != nullptr;
    value->assign(separator ? split + 1 : end, end);
    return true;
}

}  // namespace

std::string EncodeEarlierDefault(const std::string& extension, const std::string& value) {
    return kDefaultTag + extension + "\x01" + value;
}

bool DecodeEarlierDefault(const char* text, size_t length, std::string* extension, std::string* value) {
    bool hadValue = false;
    return DecodeTagged(kDefaultTag, text, length, extension, &hadValue, value) && hadValue;
}

std::string EncodeEarlierContentType(const std::string& extension, const std::string* value) {
    return kContentTypeTag + extension + (value ? "\x01" + *value : std::string());
}

bool DecodeEarlierContentType(const char* text, size_t length, std::string* extension, bool* hadValue,
                              std::string* value) {
    return DecodeTagged(kContentTypeTag, text, length, extension, hadValue, value);
}
