#include "archive/Crc32.h"

#include <zlib.h>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
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
constexpr size_t kWideFoldMinimum = 256;

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

// 256-bit registers need the processor's VPCLMULQDQ and AVX2 and an operating
// system that saves their upper halves (XGETBV), else 128-bit PCLMULQDQ.
Crc32Path DetectCarrylessMultiply() {
    unsigned eax, ebx, ecx, edx;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx) || !(ecx & bit_PCLMUL) || !(edx & bit_SSE2)) return Crc32Path::Table;
    if (!(ecx & bit_OSXSAVE) || !(ecx & bit_AVX)) return Crc32Path::Clmul128;
    unsigned stateLow, stateHigh;
    __asm__ volatile("xgetbv" : "=a"(stateLow), "=d"(stateHigh) : "c"(0));
    if ((stateLow & 6) != 6) return Crc32Path::Clmul128;
    if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) return Crc32Path::Clmul128;
    return (ecx & bit_VPCLMULQDQ) && (ebx & bit_AVX2) ? Crc32Path::Clmul256 : Crc32Path::Clmul128;
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

#define VSETUP_WIDE_TARGET __attribute__((target("vpclmulqdq,avx2,pclmul")))

VSETUP_WIDE_TARGET __m256i FoldWide(__m256i value, __m256i constants, const uint8_t* next) {
    __m256i low = _mm256_clmulepi64_epi128(value, constants, 0x00);
    __m256i high = _mm256_clmulepi64_epi128(value, constants, 0x11);
    return _mm256_xor_si256(_mm256_xor_si256(low, high), _mm256_loadu_si256(reinterpret_cast<const __m256i*>(next)));
}

// Folds the two 128-bit halves of `value` into `sum`, earlier half first.
VSETUP_WIDE_TARGET __m128i FoldHalves(__m128i sum, __m256i value, __m128i k3k4) {
    sum = Fold(sum, k3k4, _mm256_castsi256_si128(value));
    return Fold(sum, k3k4, _mm256_extracti128_si256(value, 1));
}

// As FoldBlocks, with four 256-bit lanes 128 bytes apart; `length` is at
// least 256 and a multiple of 16.
VSETUP_ALIGN_STACK VSETUP_WIDE_TARGET uint32_t FoldBlocksWide(uint32_t reg, const uint8_t* data, size_t length) {
    const __m256i k1024 = _mm256_set_epi64x(0x14a7fe880LL, 0x1e88ef372LL, 0x14a7fe880LL, 0x1e88ef372LL);
    const __m128i k3k4 = _mm_set_epi64x(0x0ccaa009eLL, 0x1751997d0LL);
    const __m256i* lanes = reinterpret_cast<const __m256i*>(data);
    __m256i y0 = _mm256_xor_si256(_mm256_loadu_si256(lanes), _mm256_set_epi32(0, 0, 0, 0, 0, 0, 0, static_cast<int>(reg)));
    __m256i y1 = _mm256_loadu_si256(lanes + 1), y2 = _mm256_loadu_si256(lanes + 2), y3 = _mm256_loadu_si256(lanes + 3);
    for (data += 128, length -= 128; length >= 128; data += 128, length -= 128) {
        y0 = FoldWide(y0, k1024, data);
        y1 = FoldWide(y1, k1024, data + 32);
        y2 = FoldWide(y2, k1024, data + 64);
        y3 = FoldWide(y3, k1024, data + 96);
    }
    __m128i sum = Fold(_mm256_castsi256_si128(y0), k3k4, _mm256_extracti128_si256(y0, 1));
    sum = FoldHalves(FoldHalves(FoldHalves(sum, y1, k3k4), y2, k3k4), y3, k3k4);
    for (; length >= 16; data += 16, length -= 16) sum = Fold(sum, k3k4, Load(data));
    return Reduce(sum, k3k4);
}

#endif

Crc32Path DetectPath() {
#ifdef VSETUP_CLMUL
    return DetectCarrylessMultiply();
#else
    return Crc32Path::Table;
#endif
}

const Crc32Path kFastestPath = DetectPath();
Crc32Path activePath = kFastestPath;

}  // namespace

bool ForceCrc32Path(Crc32Path path) {
    if (path > kFastestPath) return false;
    activePath = path;
    return true;
}

const char* Crc32Method() {
#ifdef VSETUP_CLMUL
    if (activePath == Crc32Path::Clmul256) return "256-bit carry-less multiplication";
    if (activePath == Crc32Path::Clmul128) return "128-bit carry-less multiplication";
#endif
    return "zlib's table";
}

uint32_t UpdateCrc32(uint32_t crc, const uint8_t* data, size_t length) {
#ifdef VSETUP_CLMUL
    if (activePath != Crc32Path::Table && length >= kFoldMinimum) {
        size_t folded = length & ~static_cast<size_t>(15);
        bool wide = activePath == Crc32Path::Clmul256 && folded >= kWideFoldMinimum;
        crc = ~(wide ? FoldBlocksWide(~crc, data, folded) : FoldBlocks(~crc, data, folded));
        data += folded;
        length -= folded;
    }
#endif
    return TableCrc32(crc, data, length);
}
