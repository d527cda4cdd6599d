#include "shell/ReadmeTitle.h"

#include <cstring>

size_t ReadmeTitleFromFile(const char* readmeFile, const char** start) {
    const char* name = readmeFile;  // after the last separator; SETUP.DAT may use either
    for (const char* at = readmeFile; *at; ++at)
        if (*at == '\\' || *at == '/') name = at + 1;
    const char* dot = std::strrchr(name, '.');
    *start = name;
    return dot ? static_cast<size_t>(dot - name) : std::strlen(name);
}
