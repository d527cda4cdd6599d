#pragma once
// Under Wine, some states a test needs can only be made on the Linux side:
// an immutable file, a symbolic link (which Wine shows as a reparse point).
#include <string>

// The Linux path of a Windows path; empty on Windows itself.
std::string UnixPathOf(const std::string& windowsPath);
// Runs a Linux program with its arguments (each quoted) and waits for it;
// false when it could not be started.
bool RunUnixProgram(const std::string& program, const std::string& firstArgument, const std::string& secondArgument);
