#pragma once
// Where a Windows program's own bytes end: after the raw data of its last
// section. Whatever follows (a bundle, a certificate table) is no part of
// what the loader maps.
#include <cstdint>

#include "archive/ArchiveSource.h"

// False when the source is not a complete PE file: no MZ or PE signature,
// headers or section data beyond fileSize. Every read is bounded.
bool FindPeImageEnd(ArchiveSource& source, uint32_t fileSize, uint32_t* imageEnd);
