#pragma once
#include <cstddef>

#include "setup/SetupConfig.h"

// Files larger than this are ignored as a whole, like an unreadable one.
constexpr size_t kMaxSetupDatSize = 64u * 1024 * 1024;

// Applies the key=value lines of a SETUP.DAT image (not terminated) to config.
// Lines whose value is longer than kMaxConfigValueLength (flags and
// nolicense included), or that hold a NUL byte, are ignored like any other
// malformed line.
void ParseSetupDat(const char* data, size_t size, SetupConfig& config);

// What the setup makes of one line. ParseSetupDat applies the Setting lines
// and ignores every other kind; the packer reports them to the publisher.
enum class SetupDatLineKind {
    Comment,       // the first non-blank character is '#'
    Setting,       // a key of the table with a usable value
    UnknownKey,    // the key matches no name of the table (blanks before '=' belong to the key)
    HoldsNul,      // a NUL byte anywhere in the line
    ValueTooLong,  // a key of the table whose value is longer than kMaxConfigValueLength
};

struct SetupDatLine {
    SetupDatLineKind kind = SetupDatLineKind::Comment;
    size_t number = 0;  // from 1; CR LF, LF and CR each end one line, blank lines count
    const char* key = nullptr;  // as written: from the first non-blank to the first '=' or the end
    size_t keyLength = 0;
    bool hasEquals = false;
    const char* value = nullptr;  // after the first '=', or "1" without one
    size_t valueLength = 0;
    const char* name = nullptr;  // the table's name of the key, for Setting and ValueTooLong
    bool isFlag = false;         // a key whose value is never looked at (nolicense too)
};

// The next line that is not blank, starting at *at (0 for the first); false
// at the end. *at and *lineEnds carry the position from call to call.
bool NextSetupDatLine(const char* data, size_t size, size_t* at, size_t* lineEnds, SetupDatLine* line);

// The names of the key table, in its order; null past the last.
const char* SetupDatKeyName(size_t index);
