#pragma once
// Registry data, link paths and command lines composed on the heap, so that
// no program directory or application name can overrun a fixed buffer.
#include "setup/SetupString.h"

// directory + "\" (unless it is non-empty and already ends with one) + name,
// the rule of JoinPath without its length limit.
SetupString JoinedPath(const char* directory, const char* name);

// The pieces one after the other, absent ones counting as empty.
SetupString Concatenated(const char* a, const char* b, const char* c = nullptr, const char* d = nullptr);

// A double quote, the executable's joined path, then the tail, which closes
// the quote and adds the arguments: tail " "%1" opens, " -r "%1" restores.
extern const char kOpenCommandTail[];
extern const char kRestoreCommandTail[];
SetupString CommandString(const char* programDir, const char* exeName, const char* tail);
