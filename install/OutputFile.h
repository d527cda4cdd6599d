#pragma once
// Windows-side helpers of the extraction's output files.
#include <windows.h>

#include <cstdint>

#include "install/BackgroundCloser.h"

// Closers of written files: enough to overlap a scanner's work on several
// files, few enough that their stacks stay small beside the rest.
constexpr uint32_t kOutputCloserThreads = 2;

// All of length, in as many writes as it takes: false on a failed write or
// one that wrote nothing (a drive that fills up takes part of a block and
// reports success; only the write of the rest tells why).
bool WriteWhole(HANDLE file, const void* data, uint32_t length);

// Sets the file's end (the pointer stays at the start), so that the file
// system allocates the whole file once instead of growing it write by write.
void SetOutputLength(HANDLE file, uint32_t length);

// Opens with `open` (a CreateFileA call). A sharing violation may come from
// one of this extraction's own files still waiting to be closed (a member
// written twice, a "$Keep\" test of a file just written): once every waiting
// file is closed, the open is tried again, so the outcome is the one closing
// at once would have had.
template <typename Open>
HANDLE OpenSettled(BackgroundCloser& closer, Open open) {
    HANDLE file = open();
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION) return file;
    closer.Drain();
    return open();
}
