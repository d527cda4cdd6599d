#pragma once
#include "setup/NameChars.h"

// The process's code page as a test needs it, for its own scope.
class ScopedNameCodePage {
public:
    explicit ScopedNameCodePage(unsigned codePage) : previous_(NameCodePage()) { SetNameCodePage(codePage); }
    ~ScopedNameCodePage() { SetNameCodePage(previous_); }
    ScopedNameCodePage(const ScopedNameCodePage&) = delete;
    ScopedNameCodePage& operator=(const ScopedNameCodePage&) = delete;

private:
    unsigned previous_;
};
