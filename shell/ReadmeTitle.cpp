#include "shell/ReadmeTitle.h"

#include <cstring>

size_t ReadmeTitleFromFile(const char* readmeFile, const char** start) {
    const char* name = std::strrchr(readmeFile, '\\');
    name = name ? name + 1 : readmeFile;
    const char* dot = std::strrchr(name, '.');
    *start = name;
    return dot ? static_cast<size_t>(dot - name) : std::strlen(name);
}
