#pragma once
// CRC-32 with zlib's polynomial and conditioning, so that results chain with
// and compare to zlib's crc32. Uses carry-less multiplication where the
// processor has it: zlib's table method costs more than a tenth of the
// archive reader's time.
#include <cstddef>
#include <cstdint>

uint32_t UpdateCrc32(uint32_t crc, const uint8_t* data, size_t length);

// The ways UpdateCrc32 can work, slowest first; it takes the fastest one the
// processor and the system run.
enum class Crc32Path { Table, Clmul128, Clmul256 };

// Test hook: makes UpdateCrc32 use `path` from now on, so that every path is
// tested on a processor that has the faster ones. False, and nothing changes,
// when this processor cannot run it.
bool ForceCrc32Path(Crc32Path path);

// How UpdateCrc32 works on this processor, for benchmark reports.
const char* Crc32Method();
