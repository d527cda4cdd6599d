#pragma once
// SHA-256 of the uninstall log and its journal, in the program itself: the
// system's crypto providers would load a cryptography library stack into
// the elevated programs for a hash of a few kilobytes per record. The digest
// is kept as text: 64 lower-case hexadecimal digits, as sha256sum prints them.
#include <cstddef>
#include <cstdint>

#include "shell/UninstallJournal.h"

constexpr size_t kSha256TextSize = 65;  // 64 digits and the NUL

class Sha256 final : public RunningDigest {
public:
    Sha256();

    void Add(const void* data, size_t size) override;
    // The digest of everything added; true (kept for the callers that
    // could once be told that the system failed).
    bool FinishText(char* text);
    // The digest of what was added so far; adding may go on.
    bool TextSoFar(char* text) override;

private:
    void Block(const uint8_t* block);

    uint32_t state_[8];
    uint8_t pending_[64];
    size_t pendingSize_ = 0;
    uint64_t length_ = 0;  // bytes added
};

// The digest of a whole block, into kSha256TextSize bytes.
bool Sha256Text(const void* data, size_t size, char* text);
