#pragma once
// Whether a handle reached the place its path names. The elevated programs
// open a file or folder once and compare the path Windows reports for that
// handle (GetFinalPathNameByHandle) with the one they meant: a junction,
// symbolic link or mount point on the way, even one planted after a path was
// checked, shows as a different path.
#include <string>

// "\\?\C:\x" as "C:\x", "\\?\UNC\server\share\x" as "\\server\share\x";
// anything else as it is.
std::string PlainFinalPath(const std::string& finalPath);

// The final path that `path` must have when nothing on the way below the
// trusted folder is a link: the folder's own final path, then the rest of
// `path`. Empty when `path` does not lie in (or is not) the folder.
std::string ExpectedFinalPath(const std::string& folder, const std::string& folderFinal, const std::string& path);

// Final paths compared as Windows compares names: ASCII letter case folded,
// a trailing backslash ignored.
bool SameFinalPath(const std::string& a, const std::string& b);
