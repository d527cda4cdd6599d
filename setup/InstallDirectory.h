#pragma once
#include <cstddef>

// Composes the proposed installation directory from the Program Files
// directory and progdir: "c:\program files\..." is moved under the real
// Program Files, an absolute progdir replaces it, a relative one goes below.
// False (out empty) when the result would not fit in size.
bool ComposeInstallDirectory(const char* programFiles, const char* progdir, char* out, size_t size);
