#pragma once
// A bundled setup.exe knows that it is one: the packer marks the program's
// DOS header (its reserved words, which no loader reads, mapped with the
// rest of the headers and covered by a signature added later) with the CRC-32
// of the bundle's directory. Running, the setup sees the mark in its own
// image, so it never mistakes itself for a folder set, and a file under its
// name that carries another bundle is not its own.
#include <cstddef>
#include <cstdint>

constexpr uint32_t kBundleMarkOffset = 0x28;  // e_res2
constexpr uint32_t kBundleMarkSize = 8;       // "VSB1", directory CRC-32
constexpr uint32_t kBundleMarkEnd = kBundleMarkOffset + kBundleMarkSize;

// The program's first kBundleMarkEnd bytes.
bool HasRoomForBundleMark(const uint8_t* program);  // the reserved words are all zero
void WriteBundleMark(uint8_t* program, uint32_t directoryCrc);
bool ReadBundleMark(const uint8_t* program, uint32_t* directoryCrc);

// The first `available` bytes of a bundled program's own image turned into
// those of the plain program: no mark, and no certificate table (a signature
// covered the bundle too, which a copy of the image lacks).
void UnmarkProgram(uint8_t* program, size_t available);
