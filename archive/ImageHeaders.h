#pragma once
// The headers of a Windows program as the loader maps them: the first
// SizeOfHeaders bytes of the file, unchanged but for the image base field,
// which the loader may rewrite when it places the image elsewhere. Comparing
// them tells whether a file is the one a running image was mapped from.
#include <cstddef>
#include <cstdint>

struct ImageHeaders {
    uint32_t size = 0;             // SizeOfHeaders
    uint32_t imageBaseOffset = 0;  // the field the loader may rewrite
    uint32_t imageBaseSize = 0;    // 4 (PE32) or 8 (PE32+)
    uint32_t certificateOffset = 0;  // the signature's table, a file offset; size 0: not signed
    uint32_t certificateSize = 0;
    uint32_t certificateEntry = 0;  // where the table's offset and size lie in the headers; 0: no such entry
};

// False unless `bytes` (available of them) hold complete MZ and PE headers,
// a PE32 or PE32+ optional header and a SizeOfHeaders that covers them.
bool ParseImageHeaders(const uint8_t* bytes, size_t available, ImageHeaders* headers);

// Every header byte but the image base field is the same in both.
bool SameImageHeaders(const uint8_t* image, const uint8_t* file, const ImageHeaders& headers);

// The most header bytes a program may have that the setup accepts as its own.
constexpr uint32_t kMaxImageHeadersSize = 0x10000;
