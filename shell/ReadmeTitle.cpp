#include "shell/ReadmeTitle.h"

#include <cstring>

#include "setup/NameChars.h"

size_t ReadmeTitleFromFile(const char* readmeFile, const char** start) {
    const char* separator = FindLastOf(readmeFile, "\\/");  // SETUP.DAT may use either
    const char* name = separator ? separator + 1 : readmeFile;
    const char* dot = FindLastChar(name, '.');
    *start = name;
    return dot ? static_cast<size_t>(dot - name) : std::strlen(name);
}
