#pragma once
// Where the files of the installation set come from: the bundle that this
// setup.exe carries after its own image, and nothing else, or, for a folder
// set (no bundle), the set's folder, which is the current directory. Nothing
// is extracted to a temporary folder.
#include <windows.h>

#include "archive/Win32ArchiveSource.h"
#include "setup/BundleTrust.h"

// Called once at start, before any file of the set is read: opens the
// program's own file, makes sure it is the running image (its headers, and
// its signature when the image is signed), finds the bundle the image is
// marked with and checks the CRC-32 of every file in it. The file of a
// bundle stays open (others may read it, nobody may write, rename or delete
// it) until the process ends. DamagedBundle: refuse to run.
SetOrigin OpenInstallationSet();
// Shown before the wizard when the bundle is damaged.
extern const char kDamagedBundleText[];

// The set's file `name` from the bundle; false when the bundle does not hold it.
// "setup.exe" in a bundle is this program's own image, without the bundle.
bool OpenBundledFile(const char* name, Win32ArchiveSource& source);
// True when this setup.exe carries a sound bundle: the set's files come from it alone.
bool IsBundledSet();
// From the bundle, or from the folder of a folder set as CreateFileA (read
// access, read sharing) would open it.
bool OpenSetFile(const char* name, Win32ArchiveSource& source);
// Copies the set's file `name` over destination: from the bundle through a
// temporary file that replaces destination only once complete, from a folder
// set with CopyFileA. False when the copy failed or a bundle lacks the file.
bool CopySetFile(const char* name, const char* destination);

// For tests: back to a folder set, the program's file closed.
void CloseInstallationSet();
