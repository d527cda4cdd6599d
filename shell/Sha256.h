#pragma once
// SHA-256 through the system's own crypto provider (advapi32, the AES
// provider), so that the setup and the uninstaller need no code of their own
// for it. The uninstall log's digest is kept as text: 64 lower-case
// hexadecimal digits, as sha256sum prints them.
#include <windows.h>
#include <wincrypt.h>

#include <cstddef>

#include "shell/UninstallJournal.h"

constexpr size_t kSha256TextSize = 65;  // 64 digits and the NUL

class Sha256 final : public RunningDigest {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Add(const void* data, size_t size) override;
    // False when the system could not compute it; text is then empty.
    bool FinishText(char* text);
    // The digest of what was added so far; adding may go on.
    bool TextSoFar(char* text) override;

private:
    HCRYPTPROV provider_ = 0;
    HCRYPTHASH hash_ = 0;
    bool failed_ = false;
};

// The digest of a whole block, into kSha256TextSize bytes.
bool Sha256Text(const void* data, size_t size, char* text);
