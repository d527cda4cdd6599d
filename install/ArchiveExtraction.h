#pragma once
// The member loop of ExtractArchive, free of any particular file API so that
// it runs the same in setup.exe, native tests, the fuzzer and the packer.
#include <cstdint>

#include "archive/ArchiveFormat.h"
#include "archive/ArchiveSource.h"
#include "install/ExtractArchive.h"
#include "install/ExtractTarget.h"

// Where the payload is decompressed. Callbacks and file operations always run
// on the calling thread.
enum class Decompression { OnCallingThread, AheadOnOwnThread };

// transferBuffer holds bufferSize bytes, a multiple of kTransferBufferSize:
// member data is read in chunks of kTransferBufferSize (one progress step
// each) and written as many whole chunks at a time as the buffer holds.
// Returns an ExtractResult.
int ExtractFromSource(ArchiveSource& source, ExtractTarget& target, const char* destination,
                      const ExtractCallbacks& callbacks, void* context, uint8_t* transferBuffer,
                      Decompression decompression, uint32_t bufferSize = kTransferBufferSize);
