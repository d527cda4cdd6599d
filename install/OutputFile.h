#pragma once
// Windows-side helpers of the extraction's output files.
#include <windows.h>

#include <cstdint>

#include "install/BackgroundCloser.h"

// Closers of written files: enough to overlap a scanner's work on several
// files, few enough that their stacks stay small beside the rest.
constexpr uint32_t kOutputCloserThreads = 2;

void CloseOutputHandle(void* handle);

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
