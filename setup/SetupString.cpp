#include "setup/SetupString.h"

#include <cstdlib>
#include <cstring>

SetupString& SetupString::operator=(const SetupString& other) {
    if (this != &other) Assign(other.Get());
    return *this;
}

SetupString::~SetupString() { Free(); }

void SetupString::Free() {
    std::free(buffer_);
    buffer_ = nullptr;
    capacity_ = 0;
}

void SetupString::Assign(const char* text) {
    Assign(text ? text : "", text ? std::strlen(text) : 0);
}

void SetupString::Assign(const char* text, size_t length) {
    if (text == buffer_ && buffer_) {  // self-assignment of a prefix
        buffer_[length] = '\0';
        return;
    }
    if (capacity_ < length + 1) {
        char* fresh = static_cast<char*>(std::malloc(length + 1));
        if (!fresh) std::abort();  // the setup assumes small allocations succeed
        std::free(buffer_);
        buffer_ = fresh;
        capacity_ = length + 1;
    }
    if (length) std::memmove(buffer_, text, length);
    buffer_[length] = '\0';
}

void SetupString::Append(const char* text) {
    if (!text || !*text) {
        if (!buffer_) Assign("");
        return;
    }
    size_t old = Length(), extra = std::strlen(text);
    if (capacity_ < old + extra + 1) {
        char* grown = static_cast<char*>(std::realloc(buffer_, old + extra + 1));
        if (!grown) std::abort();
        if (!buffer_) grown[0] = '\0';
        buffer_ = grown;
        capacity_ = old + extra + 1;
    }
    std::memcpy(buffer_ + old, text, extra + 1);
}

size_t SetupString::Length() const { return buffer_ ? std::strlen(buffer_) : 0; }
