#pragma once
// A bundle: the files of an installation set carried by setup.exe itself,
// right after the end of its PE image (the last section's raw data). A
// signature added later goes at the end of the file, so it neither moves
// nor covers the bundle, and the bundle is never looked for from the end.
//
//   [signature 16][entryCount 4][directorySize 4][directoryCrc 4]
//   [entries: directorySize bytes][the entries' data]
//   entry: [nameLength 4][name][offset 4][size 4][crc 4]
//
// Integers are unsigned 32-bit little-endian; offsets count from the start
// of the bundle; directoryCrc is the CRC-32 of the entries' bytes.
#include <cstdint>

constexpr uint8_t kBundleSignature[16] = {'v', 's', 'e', 't', 'u', 'p', '-', 'b',
                                          'u', 'n', 'd', 'l', 'e', '-', '1', 0};
constexpr uint32_t kBundleSignatureSize = sizeof kBundleSignature;
constexpr uint32_t kBundleHeaderSize = kBundleSignatureSize + 12;
constexpr uint32_t kBundleEntryFixedSize = 16;  // nameLength, offset, size, crc
// A set is a handful of files; the names are looked up relative to its folder.
constexpr uint32_t kMaxBundleEntries = 64;
constexpr uint32_t kMaxBundleNameLength = 259;
// Everything must stay within reach of a signed 32-bit file position.
constexpr uint32_t kMaxBundledFileSize = 0x7FFFFFFFu;
