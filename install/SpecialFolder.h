#pragma once

// Writes a shell folder (a CSIDL value) into a 260-byte buffer. Returns 0, or
// 2 (ExtractCreateError) when the shell cannot locate the folder.
int GetSpecialFolderPath(char* buffer, int csidl);
