#pragma once
// Helpers for tests that write uninstall logs and run the log tool or the
// uninstaller as separate processes.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class InstallSettings;

// In a namespace of their own: every test program links all support files.
#include "support/TempTree.h"

namespace logtest {

struct LoggedRecord {
    uint8_t kind;
    uint32_t root;  // keys only
    std::string text;
    bool operator==(const LoggedRecord& other) const {
        return kind == other.kind && root == other.root && text == other.text;
    }
};

// The in-memory log in list order (newest first).
std::vector<LoggedRecord> ListedRecords(const InstallSettings& settings);
// The records of a log image, in file order; fails the test on damage.
std::vector<LoggedRecord> ParsedRecords(const std::vector<uint8_t>& image);

std::vector<uint8_t> ReadBinaryFile(const std::string& path);
bool WriteBinaryFile(const std::string& path, const std::vector<uint8_t>& bytes);
// Writes the settings' records with WriteUninstallRecords into a new file.
bool WriteLogFile(const InstallSettings& settings, const std::string& path);

// Registers a log as the setup does: the Uninstall entry of that name names
// it in "UninstallString" and holds the SHA-256 of its bytes.
bool RegisterLog(const char* entryName, const std::string& logPath);

// A program of the build (VSETUP_BUILD_DIR, a Linux path) as a Windows path
// through drive Z:.
std::string BuildProgramPath(const char* fileName);

struct ProcessResult {
    bool started = false;
    bool finished = false;  // within the time limit
    DWORD exitCode = 0;
    std::string output;     // standard output
    std::string errors;     // standard error
};
// Runs a command line (in directory, when given), collecting its output; a
// process still running after timeoutMs is ended and reported as not finished.
ProcessResult RunProcess(const std::string& commandLine, DWORD timeoutMs = 60000, const char* directory = nullptr);

// For programs that show message boxes: start, find the box, answer it.
bool StartProcess(const std::string& commandLine, PROCESS_INFORMATION* process);
// The first visible message box of the process; null when the process ends
// or the time runs out first.
HWND WaitForMessageBox(const PROCESS_INFORMATION& process, DWORD timeoutMs = 30000);
std::string MessageBoxText(HWND box);
void PressButton(HWND box, int buttonId);
// Waits for the end (ending it after timeoutMs) and closes the handles;
// returns the exit code, or 255 when it had to be ended.
DWORD FinishProcess(PROCESS_INFORMATION& process, DWORD timeoutMs = 30000);

bool RegistryKeyExists(HKEY root, const char* keyPath);

// Restores the restart-rename list that files in use are added to.
class PendingRenames {
public:
    PendingRenames();
    ~PendingRenames();
    PendingRenames(const PendingRenames&) = delete;
    PendingRenames& operator=(const PendingRenames&) = delete;
    bool Read(std::string* data) const;

private:
    HKEY key_ = nullptr;
    bool had_ = false;
    std::string original_;
};
// A fresh empty directory under the temporary folder, removed (tree) later.
std::string MakeScratchDirectory(const char* name);
using ::RemoveTree;
bool PathExists(const std::string& path);

}  // namespace logtest
