#pragma once
// CRC-32 with zlib's polynomial and conditioning, so that results chain with
// and compare to zlib's crc32. Uses carry-less multiplication where the
// processor has it: zlib's table method costs more than a tenth of the
// archive reader's time.
#include <cstddef>
#include <cstdint>

uint32_t UpdateCrc32(uint32_t crc, const uint8_t* data, size_t length);

// How UpdateCrc32 works on this processor, for benchmark reports.
const char* Crc32Method();
