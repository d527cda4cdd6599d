#pragma once
#include <cstddef>

// An owned, heap-allocated, NUL-terminated 8-bit text with its capacity in
// bytes (terminator included). A string never assigned has no buffer and
// reads as empty.
class SetupString {
public:
    SetupString() = default;
    explicit SetupString(const char* text) { Assign(text); }
    SetupString(const SetupString& other) { Assign(other.Get()); }
    SetupString& operator=(const SetupString& other);
    ~SetupString();

    // An absent source counts as empty.
    void Assign(const char* text);
    // Takes exactly length bytes (the text need not be terminated).
    void Assign(const char* text, size_t length);
    void Append(const char* text);
    void Free();

    const char* Get() const { return buffer_ ? buffer_ : ""; }
    const char* Buffer() const { return buffer_; }  // null when never assigned
    size_t Length() const;
    size_t Capacity() const { return capacity_; }
    bool IsEmpty() const { return !buffer_ || buffer_[0] == '\0'; }
    bool IsSet() const { return buffer_ != nullptr; }

private:
    char* buffer_ = nullptr;
    size_t capacity_ = 0;
};
