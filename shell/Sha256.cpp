#include "shell/Sha256.h"

Sha256::Sha256() {
    failed_ = !CryptAcquireContextA(&provider_, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT) ||
              !CryptCreateHash(provider_, CALG_SHA_256, 0, 0, &hash_);
}

Sha256::~Sha256() {
    if (hash_) CryptDestroyHash(hash_);
    if (provider_) CryptReleaseContext(provider_, 0);
}

void Sha256::Add(const void* data, size_t size) {
    const BYTE* bytes = static_cast<const BYTE*>(data);
    while (!failed_ && size > 0) {  // CryptHashData counts in 32 bits
        DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        failed_ = !CryptHashData(hash_, bytes, chunk, 0);
        bytes += chunk;
        size -= chunk;
    }
}

static bool HashText(HCRYPTHASH hash, char* text) {
    text[0] = '\0';
    BYTE digest[32];
    DWORD size = sizeof digest;
    if (!CryptGetHashParam(hash, HP_HASHVAL, digest, &size, 0) || size != sizeof digest) return false;
    for (DWORD i = 0; i < size; ++i) {
        text[2 * i] = "0123456789abcdef"[digest[i] >> 4];
        text[2 * i + 1] = "0123456789abcdef"[digest[i] & 0xF];
    }
    text[2 * size] = '\0';
    return true;
}

bool Sha256::FinishText(char* text) {
    text[0] = '\0';
    return !failed_ && HashText(hash_, text);
}

// A hash cannot take more data once its value was read: a copy is read.
bool Sha256::TextSoFar(char* text) {
    text[0] = '\0';
    HCRYPTHASH copy = 0;
    if (failed_ || !CryptDuplicateHash(hash_, nullptr, 0, &copy)) return false;
    bool done = HashText(copy, text);
    CryptDestroyHash(copy);
    return done;
}

bool Sha256Text(const void* data, size_t size, char* text) {
    Sha256 digest;
    digest.Add(data, size);
    return digest.FinishText(text);
}
