#include "setup/InstallDirectory.h"

#include <cstring>

#include "setup/PathHelpers.h"

static const char kOldProgramFiles[] = "c:\\program files\\";  // 17 characters

bool ComposeInstallDirectory(const char* programFiles, const char* progdir, char* out, size_t size) {
    bool fits = CopyText(out, size, programFiles);
    size_t base = std::strlen(out);
    if (!EndsWithChar(out, base, '\\')) fits = fits && AppendText(out, size, "\\");
    const size_t prefixLength = sizeof kOldProgramFiles - 1;
    size_t length = std::strlen(progdir);
    if (length > prefixLength && CompareNoCaseN(progdir, kOldProgramFiles, prefixLength) == 0) {
        fits = fits && AppendText(out, size, progdir + prefixLength);
    } else if (progdir[0] == '\\' || (progdir[0] != '\0' && progdir[1] == ':')) {
        fits = CopyText(out, size, progdir);
    } else {
        fits = fits && AppendText(out, size, progdir);
    }
    if (!fits && size) out[0] = '\0';
    return fits;
}

bool ProposeInstallDirectory(const char* programFiles, const char* progdir, bool quiet, char* out, size_t size) {
    if (ComposeInstallDirectory(programFiles, progdir, out, size)) return true;
    if (quiet) return false;
    CopyText(out, size, programFiles);
    EnsureTrailingBackslash(out, size);
    return true;
}
