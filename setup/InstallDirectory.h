#pragma once
#include <cstddef>

// Composes the proposed installation directory from the Program Files
// directory and progdir: "c:\program files\..." is moved under the real
// Program Files, an absolute progdir replaces it, a relative one goes below.
// False (out empty) when the result would not fit in size.
bool ComposeInstallDirectory(const char* programFiles, const char* progdir, char* out, size_t size);

// The directory the wizard starts with. When the composed one does not fit,
// the interactive wizard proposes Program Files itself (the user picks
// another); quiet mode has nobody to ask, so it gets false and installs nothing.
bool ProposeInstallDirectory(const char* programFiles, const char* progdir, bool quiet, char* out, size_t size);
