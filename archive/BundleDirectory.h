#pragma once
// Reading a bundle's directory behind a PE image, and checking its entries.
// Plain code over the archive reader's I/O seam: setup.exe runs it on its own
// file, the packer and the tests on files and memory.
#include <cstdint>
#include <vector>

#include "archive/ArchiveSource.h"
#include "archive/BundleFormat.h"

struct BundleEntry {
    char name[kMaxBundleNameLength + 1];
    uint32_t offset;  // from the start of the file
    uint32_t size;
    uint32_t crc;
};

struct BundleDirectory {
    uint32_t imageEnd = 0;  // the program's own bytes end here; the bundle starts here
    uint32_t directoryCrc = 0;  // as the bundle's header gives it (what the program's mark names)
    std::vector<BundleEntry> entries;

    // Names match as SameBundleName; null when absent.
    const BundleEntry* Find(const char* name) const;
};

enum class BundleState {
    None,     // no bundle signature after the image: a plain program
    Intact,   // the directory holds together (entry data not yet checked)
    Damaged,  // a bundle's signature, but its directory or an entry's range is wrong
};

// Every offset and size is checked against the source's size: entries lie
// inside the file, after the directory, without overlapping, under unique names.
BundleState ReadBundleDirectory(ArchiveSource& source, BundleDirectory* directory);

// Reads every entry and compares its CRC-32; the first entry that does not
// match, or null when all do. buffer holds bufferSize bytes.
const BundleEntry* FindDamagedEntry(ArchiveSource& source, const BundleDirectory& directory, uint8_t* buffer,
                                    uint32_t bufferSize);

// Ignoring ASCII letter case, '/' and '\' alike, character by character.
bool SameBundleName(const char* a, const char* b);
