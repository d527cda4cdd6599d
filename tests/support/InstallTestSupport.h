#pragma once
// Helpers for the tests of the install steps: message boxes answered from a
// helper thread, shortcuts resolved through the shell, registry and folders.
#include <windows.h>

#include <string>
#include <vector>

namespace installtest {

struct SeenDialog {
    std::string caption;
    std::string text;  // the message box's static text (id 0xFFFF)
};

// Answers every dialog of this process with the caption "Setup" (OK) or
// "Exit Setup" (Resume), from its own thread, and remembers what it saw.
class DialogAnswerer {
public:
    DialogAnswerer();
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    std::vector<SeenDialog> Seen();
    // While held, "Setup" boxes are recorded but not yet answered.
    void Hold(bool hold);
    int Count();

private:
    static DWORD WINAPI Run(LPVOID self);
    void Scan();
    static BOOL CALLBACK Visit(HWND window, LPARAM self);

    HANDLE stop_;
    HANDLE thread_;
    CRITICAL_SECTION lock_;
    std::vector<SeenDialog> seen_;
    std::vector<HWND> answered_;
    bool hold_ = false;
};

struct ShortcutInfo {
    bool loaded = false;
    std::string target, arguments, description;
};
// Loads a .lnk with IShellLinkA (the calling thread must have COM).
ShortcutInfo ResolveShortcut(const std::string& linkPath);
// Expects the shortcut to resolve to exactly this target, arguments and description.
void ExpectShortcut(const std::string& link, const std::string& target, const std::string& arguments,
                    const std::string& description);

// REG_SZ data of a value, or "<missing>".
std::string ReadRegistryString(HKEY root, const char* keyPath, const char* valueName);
void DeleteRegistryTree(HKEY root, const char* keyPath);

std::string ProgramsFolder();
std::string WindowsDirectory();
std::string CurrentDirectory();
bool IsDirectory(const std::string& path);
bool WriteTextFile(const std::string& path, const std::string& text);
std::string ReadWholeFile(const std::string& path);

// The lines the log tool prints for a log file (one per record, file order);
// a single "<tool failed ...>" line when it does not run cleanly.
std::vector<std::string> LogToolLines(const std::string& logPath);
// The tool's line for a record: kind, root key for keys, text.
std::string LogLine(unsigned char kind, unsigned root, const std::string& text);

// Under Wine, saving a shell link starts winemenubuilder.exe, which inherits
// the current directory and keeps it from being removed for a while; tests
// that remove their directories keep it from starting.
void KeepWineMenuBuilderAway();

}  // namespace installtest
