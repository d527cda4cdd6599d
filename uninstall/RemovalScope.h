#pragma once
// Where an uninstall may act: the folders and registry keys that an
// installation writes to. A record naming anything else is never acted on,
// whatever the log says, because the uninstaller runs with administrator
// rights and the log lies in a folder that users may be able to change.
#include <cstddef>
#include <cstdint>
#include <string>

struct RemovalScope {
    std::string logPath;          // full path of the log being worked through
    std::string programsFolder;   // the user's Start Menu Programs folder; empty when unknown
    std::string documentsFolder;  // the user's personal documents folder; empty when unknown
    std::string entryName;        // the Uninstall entry's key name (the main program's file name)
    std::string appName;          // the application name recorded in the log
};

// "X:\name\name...": a drive letter, then non-empty components that Windows
// takes as they are written: no "." or "..", no forward slash, no colon (a
// stream), no trailing dot or blank (Windows drops them), no device name such
// as NUL or COM1. Rules out "\\?\", "\\.\" and network paths as well.
bool IsCanonicalPath(const char* path);

// A file may lie inside the log's folder, the Programs folder or the
// documents folder. A folder may also be the log's folder itself or one of
// its parents, which the setup creates for a new program directory (folders
// are only ever removed when empty).
bool FileInScope(const RemovalScope& scope, const char* path);
bool FolderInScope(const RemovalScope& scope, const char* path);

// The length of the part of a path in scope that is not looked at for
// links: its drive ("C:"). Every folder after it on the way to the item,
// the scope folders themselves and those above them included, must not be a
// link (junction, symbolic link, mount point): users can make links in
// their own profile, or in a folder they own above the log's, and a link
// there would lead the removal somewhere else.
size_t TrustedPrefixLength(const RemovalScope& scope, const char* path);

enum KeyPlace {
    KeyOutside,
    KeyOfInstallation,  // App Paths and Uninstall entry, settings, file types
    KeyExtension,       // ".xyz" under HKEY_CLASSES_ROOT: removed only while it names our file type
};
KeyPlace PlaceOfKey(const RemovalScope& scope, uint32_t rootKey, const char* keyPath);

// The file type named by the first component of a key under
// HKEY_CLASSES_ROOT when it is one the installation may write ("VARN.Game",
// "VARN.Save", "VARN.DebugConfig", the application name and ".Save");
// empty otherwise.
std::string FileTypeOfKey(const RemovalScope& scope, uint32_t rootKey, const char* keyPath);

bool IsLogFile(const RemovalScope& scope, const char* path);
// The Uninstall entry itself (or a key below it): removed after everything
// else, so that a run cut short can be repeated.
bool IsUninstallEntryKey(const RemovalScope& scope, uint32_t rootKey, const char* keyPath);
