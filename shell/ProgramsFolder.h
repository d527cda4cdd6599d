#pragma once
#include <string>

// The user's Start Menu Programs folder into a 260-byte buffer. False, with
// the buffer empty, when the shell has none or its name holds a character the
// process's code page cannot; then *unrepresentable (when given) names it.
bool GetProgramsFolder(char* path, std::string* unrepresentable = nullptr);
