#pragma once
// Under Wine, some states a test needs can only be made on the Linux side:
// an immutable file, a symbolic link (which Wine shows as a reparse point).
#include <functional>
#include <string>

// The Linux path of a Windows path; empty on Windows itself.
std::string UnixPathOf(const std::string& windowsPath);
// Runs a Linux program with its arguments (each quoted); false when it could
// not be started. Wine cannot always follow the Linux program it started, so
// the caller waits for the program's effect with Eventually.
bool RunUnixProgram(const std::string& program, const std::string& firstArgument, const std::string& secondArgument);

// Polls the condition for up to five seconds.
bool Eventually(const std::function<bool()>& condition);
