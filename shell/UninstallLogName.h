#pragma once
#include <cstddef>
#include <cstdint>

#include "setup/SetupString.h"

// Pseudo-random numbers of 15 bits (0 to 32767), as the C runtime's rand()
// gives them, seeded by the caller (the setup uses the tick count).
class FifteenBitRandom {
public:
    explicit FifteenBitRandom(uint32_t seed) : state_(seed) {}
    unsigned Next();

private:
    uint32_t state_;
};

constexpr size_t kUninstallLogNameSize = 15;  // "UnInstXXXX.inf" and the NUL
constexpr unsigned kUninstallLogNameCount = 0x8000;

// "UnInstXXXX.inf" with the hexadecimal digits of number bits 12-15, 8-11,
// 4-7 and 0-3.
void FormatUninstallLogName(unsigned number, char* out);

// Draws up to 100 names from the generator and takes the first that is not
// in use; when all 100 are taken, looks through every other possible name
// rather than overwrite another installation's log. Returns false, leaving
// out empty, when every name is in use.
using NameInUse = bool (*)(void* context, const char* name);
bool ChooseUninstallLogName(FifteenBitRandom& random, NameInUse inUse, void* context, char* out);

// "<windowsDir>\VARNUINS.EXE" <logPath>: the program quoted, the log path not.
SetupString UninstallStringValue(const char* windowsDir, const char* logPath);

// The rest of a command line after its program path (quoted, as the setup
// writes it, or a plain first word) and the blanks after it.
const char* AfterProgramPath(const char* commandLine);

// The log path of an "UninstallString" value, the inverse of
// UninstallStringValue; false, leaving out empty, when there is none or it
// does not fit into size bytes.
bool LogPathOfUninstallString(const char* value, char* out, size_t size);

// The Uninstall entry of an installation is named after its main program;
// further installations of the same program into other folders get
// " (2)" to " (99)" after the name, so that each keeps an entry of its own.
constexpr unsigned kMaxEntryNumber = 99;
SetupString EntryKeyName(const char* mainExe, unsigned number);  // 1: the name alone
// The length of the main program's name in an entry key: without a
// " (N)" that EntryKeyName added.
size_t MainProgramLength(const char* entryKey);
