#pragma once
#include <string>

// Outcome checks on disk, in the registry and in the Start Menu. Each returns
// an empty text when the check holds and otherwise says what it found.

// Replaces (anywhere in the text) <Programs>, <Windows>, <Documents> and <ProgramFiles> with the
// folders the shell reports for this user.
std::string ExpandFolders(const std::string& path);

// Equal, or when expected ends with '*', beginning with the text before it.
bool Matches(const std::string& actual, const std::string& expected);

std::string CheckFileExists(const std::string& path, bool wanted);
// The file's bytes contain the text.
std::string CheckFileContains(const std::string& path, const std::string& text);
// key is "HKCR\...", "HKCU\..." or "HKLM\..."; value "" is the default value.
std::string CheckRegistryValue(const std::string& key, const std::string& value, const std::string& data);
std::string CheckRegistryKeyExists(const std::string& key, bool wanted);
// Resolves the link with IShellLinkA: its target path and its arguments.
std::string CheckShortcut(const std::string& link, const std::string& target, const std::string& arguments);

// Clean-up before a case: removes a key with its subkeys, or a directory tree.
std::string DeleteRegistryTree(const std::string& key);
std::string DeleteDirectoryTree(const std::string& path);
// The key and all below it, in the file format of Wine's registry (the
// server writes it in one request: far faster than walking it).
std::string SaveRegistryTree(const std::string& key, const std::string& file);

// For people: every shortcut in a folder with its target and arguments, and
// every value of a key and its subkeys, one line each.
std::string DescribeShortcuts(const std::string& folder);
std::string DescribeKey(const std::string& key);
