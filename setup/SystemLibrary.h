#pragma once
// DLLs that Windows does not always take from the system folder (everything
// beyond its known DLLs) are loaded here, at run time, from the system
// folder alone: never by name from the program's own folder (a Downloads
// folder), where anybody may have put a DLL of that name.
#include <windows.h>

// The module of the system folder's DLL `name` ("mpr.dll"), loaded once and
// kept for the life of the process; null when it cannot be loaded.
HMODULE LoadSystemLibrary(const char* name);

// An entry of such a DLL; null when the DLL or the entry is missing.
FARPROC SystemLibraryEntry(const char* dll, const char* entry);

// Casts an entry to its documented signature (through void*, which silences
// the function-cast warning).
template <typename Function>
Function SystemEntryAs(const char* dll, const char* entry) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(SystemLibraryEntry(dll, entry)));
}
