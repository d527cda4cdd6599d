#pragma once
// Which extensions a single game's saved games may claim. A saved game's
// type points the extension at the game; taking over one that Windows runs
// or uses for itself would let "opening" a program, script or shortcut start
// the game instead, and the lists below are the only place that says which.
#include <cstddef>

// exe, com, bat, lnk, dll, reg, ... (ASCII letter case ignored, no dot).
bool IsSystemExtension(const char* suffix);

// txt, htm, pdf, jpg, zip, ...: other programs' documents, which the game
// would take over from the program the user opens them with.
bool IsCommonDocumentExtension(const char* suffix);
