#include "install/Crc32.h"

#include <zlib.h>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <emmintrin.h>
#include <wmmintrin.h>
#define VSETUP_CLMUL 1
#endif

// 32-bit Windows promises only 4-byte stack alignment; SSE spills need 16.
#if defined(__i386__)
#define VSETUP_ALIGN_STACK __attribute__((force_align_arg_pointer))
#else
#define VSETUP_ALIGN_STACK
#endif

namespace {

// Below this the set-up of the folding costs more than the table.
constexpr size_t kFoldMinimum = 64;

uint32_t TableCrc32(uint32_t crc, const uint8_t* data, size_t length) {
    while (length) {
        uInt piece = length > 0x40000000u ? 0x40000000u : static_cast<uInt>(length);
        crc = static_cast<uint32_t>(crc32(crc, data, piece));
        data += piece;
        length -= piece;
    }
    return crc;
}

#ifdef VSETUP_CLMUL

bool DetectCarrylessMultiply() {
    unsigned eax, ebx, ecx, edx;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
    return (ecx & bit_PCLMUL) && (edx & bit_SSE2);
}

__attribute__((target("pclmul,sse2"))) __m128i Load(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// Multiplies both 64-bit halves of `value` by the matching constant of
// `constants` and adds (xors) the products and `next`: one 128-bit fold.
__attribute__((target("pclmul,sse2"))) __m128i Fold(__m128i value, __m128i constants, __m128i next) {
    __m128i low = _mm_clmulepi64_si128(value, constants, 0x00);
    __m128i high = _mm_clmulepi64_si128(value, constants, 0x11);
    return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

// Folds the 128-bit remainder down to the 32-bit CRC register (bit-reflected:
// 128 -> 64 bits, 64 -> 32 bits, then Barrett reduction).
__attribute__((target("pclmul,sse2"))) uint32_t Reduce(__m128i value, __m128i k3k4) {
    const __m128i low32 = _mm_setr_epi32(-1, 0, -1, 0);
    __m128i product = _mm_clmulepi64_si128(value, k3k4, 0x10);
    value = _mm_xor_si128(_mm_srli_si128(value, 8), product);

    const __m128i k5 = _mm_set_epi64x(0, 0x163cd6124LL);
    __m128i upper = _mm_srli_si128(value, 4);
    value = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(value, low32), k5, 0x00), upper);

    const __m128i polyMu = _mm_set_epi64x(0x1f7011641LL, 0x1db710641LL);
    __m128i quotient = _mm_clmulepi64_si128(_mm_and_si128(value, low32), polyMu, 0x10);
    product = _mm_clmulepi64_si128(_mm_and_si128(quotient, low32), polyMu, 0x00);
    value = _mm_xor_si128(value, product);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(value, 4)));
}

// `length` is at least 64 and a multiple of 16; `reg` is the inverted CRC.
VSETUP_ALIGN_STACK __attribute__((target("pclmul,sse2"))) uint32_t FoldBlocks(uint32_t reg, const uint8_t* data, size_t length) {
    const __m128i k1k2 = _mm_set_epi64x(0x1c6e41596LL, 0x154442bd4LL);
    const __m128i k3k4 = _mm_set_epi64x(0x0ccaa009eLL, 0x1751997d0LL);
    __m128i x1 = _mm_xor_si128(Load(data), _mm_cvtsi32_si128(static_cast<int>(reg)));
    __m128i x2 = Load(data + 16), x3 = Load(data + 32), x4 = Load(data + 48);
    for (data += 64, length -= 64; length >= 64; data += 64, length -= 64) {
        x1 = Fold(x1, k1k2, Load(data));
        x2 = Fold(x2, k1k2, Load(data + 16));
        x3 = Fold(x3, k1k2, Load(data + 32));
        x4 = Fold(x4, k1k2, Load(data + 48));
    }
    x1 = Fold(Fold(Fold(x1, k3k4, x2), k3k4, x3), k3k4, x4);
    for (; length >= 16; data += 16, length -= 16) x1 = Fold(x1, k3k4, Load(data));
    return Reduce(x1, k3k4);
}

const bool kCarrylessMultiply = DetectCarrylessMultiply();

#endif

}  // namespace

bool Crc32UsesCarrylessMultiply() {
#ifdef VSETUP_CLMUL
    return kCarrylessMultiply;
#else
    return false;
#endif
}

uint32_t UpdateCrc32(uint32_t crc, const uint8_t* data, size_t length) {
#ifdef VSETUP_CLMUL
    if (kCarrylessMultiply && length >= kFoldMinimum) {
        size_t folded = length & ~static_cast<size_t>(15);
        crc = ~FoldBlocks(~crc, data, folded);
        data += folded;
        length -= folded;
    }
#endif
    return TableCrc32(crc, data, length);
}
