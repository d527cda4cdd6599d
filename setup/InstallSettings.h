#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "install/LinkGuard.h"
#include "install/RecordedInstall.h"
#include "setup/SetupString.h"
#include "shell/ShortcutTables.h"

class ProgressPage;
class Sha256;
class Win32InstallSystem;

// options
enum : DWORD {
    OptionLicensePage = 1,
    OptionCreateAssociations = 2,
    OptionAssociationsPage = 4,
    OptionUnattended = 8,  // the progress page presses Finish itself
};
// outcome
enum : DWORD { OutcomeFinished = 1 };
// product
enum : DWORD { ProductDebugger = 1, ProductV3 = 2, ProductGame = 4 };

// One node of the uninstall record list (newest first). The record is one
// heap block holding exactly the bytes that go into the log file.
struct UninstallRecordNode {
    uint8_t* record;
    UninstallRecordNode* next;
};

class InstallSettingsBase {
public:
    InstallSettingsBase(HINSTANCE instance, const char* appName, const char* mainExe);

    // Slot 1: runs "Exit Setup"; true unless the user chose "&Resume".
    virtual BOOL ConfirmExit(HWND owner);
    // Slot 2: the install sequence.
    virtual void RunInstall(ProgressPage* page, HWND sheet) = 0;

    void SetLicenseFile(const char* fileName);

    // Writes the system's Program Files directory into a 260-character buffer.
    static void GetProgramFilesDir(char* buffer);

    SetupString appName;
    SetupString startFolder;
    SetupString startMenuPath;
    SetupString mainExe;
    SetupString programDir;
    SetupString licenseFile;
    DWORD options = 0;
    HINSTANCE instance = nullptr;
    UninstallRecordNode* uninstallRecords = nullptr;
    HWND sheetWindow = nullptr;
    HCURSOR arrowCursor = nullptr;
    HCURSOR waitCursor = nullptr;
    DWORD outcome = 0;

protected:
    ~InstallSettingsBase() = default;  // destroyed through the concrete type
};

// final: destroyed through its own type, without a virtual destructor.
class InstallSettings final : public InstallSettingsBase, private RecordSink {
public:
    InstallSettings(HINSTANCE instance, const char* appName, const char* mainExe, int debugger, int game,
                    const char* readmeFile, const char* readmeTitle, int v3);
    ~InstallSettings();
    InstallSettings(const InstallSettings&) = delete;
    InstallSettings& operator=(const InstallSettings&) = delete;

    void RunInstall(ProgressPage* page, HWND sheet) override;  // install/InstallSequence.cpp
    uint8_t* NewRecord(uint8_t kind, uint32_t totalLength) override { return AddRecord(kind, totalLength); }

    // Uninstall log (shell/UninstallLog.cpp): links a new record of the given
    // kind and total length at the front; the caller fills the payload.
    uint8_t* AddRecord(uint8_t kind, uint32_t totalLength);
    // Convenience: adds a complete record for a path or name (kinds 2, 3, 6).
    // Once the installation's log is open, the record is in the log file
    // before these return; false when it could not be written there, and
    // then the item must not be created.
    bool AddTextRecord(uint8_t kind, const char* text);
    bool AddKeyRecord(HKEY root, const char* keyPath);
    // What an extension named before (shell/EarlierDefault.h).
    void AddEarlierDefaultRecord(const char* extension, const char* value);
    // And what its "Content Type" was: value null when it had none.
    void AddEarlierContentTypeRecord(const char* extension, const char* value);
    // Writes every record front to back, one WriteFile each; false on a short
    // write. Each record written completely is added to the digest, if given.
    bool WriteUninstallRecords(HANDLE file, Sha256* digest = nullptr) const;
    void FreeUninstallRecords();

    // Registry (shell/RegistryWriter.cpp).
    LONG WriteRegistryString(HKEY root, const char* keyPath, const char* valueName, const char* text,
                             DWORD alwaysLog);
    void LogNewRegistryKey(HKEY root, const char* keyPath, DWORD alwaysLog);
    // An extension's default value: what it named before (another
    // program's type, or nothing) is recorded so that the uninstaller can
    // hand it back (shell/FileAssociations.cpp). True when it named
    // something else than fileType before.
    bool WriteExtensionType(const char* extension, const char* fileType);

    // Directories (install/CreateDirectoryLogged.cpp): 0 when the directory
    // exists afterwards, 1 otherwise.
    int CreateDirectoryLogged(const char* path, BOOL alwaysRecord);

    // Shortcuts (shell/Shortcuts.cpp). CreateShortcut writes only under a
    // folder that writeGuard trusts; CreateStartMenuGroup trusts the
    // Programs folder: ExtractOk, ExtractLinkRefused when a link stood in
    // the way, ExtractCreateError, told by name, when there is no usable
    // Programs folder or a folder or shortcut could not be made.
    int CreateShortcut(const char* target, const char* arguments, const char* linkPath, const char* description);
    ShortcutEntry* BuildShortcutList(const ShortcutEntry* table, int count, int* listCount);
    int CreateStartMenuGroup(const char* folder, const ShortcutEntry* list, int count);
    void CreateStartMenuStep(ProgressPage* page, const ShortcutEntry* list, int count);
    void InstallProductShell(ProgressPage* page, HWND sheet);
    void InstallGameShell(ProgressPage* page, HWND sheet);

    // Associations and flags (shell/FileAssociations.cpp).
    void WriteFileAssociations();
    void WriteGameSaveAssociation();
    void WriteSetupDoneFlags();

    // Uninstall information (shell/UninstallInfo.cpp). Prepare opens the
    // installation's log and registers it; false (after telling the user)
    // when that failed, and then nothing may be installed.
    bool PrepareUninstallInfo(const char* keyName, const char* displayName, const char* exeName,
                              const char* programDirectory, char* logFileName);
    void FinishUninstallInfo(const char* programDirectory, const char* applicationName, const char* logFileName);
    // The completed log's bytes: every record, the earlier installation's last.
    std::vector<uint8_t> CompletedLog(const char* logPath, const char* applicationName);
    // A reinstallation into the same folder: the log of the earlier
    // installation under the same Uninstall entry, checked before the new
    // entry replaces its digest (shell/UninstallInfo.cpp), then carried into
    // the new log (shell/UninstallLog.cpp).
    void FindEarlierLog(const char* keyName, const char* displayName, const char* programDirectory);
    void CarryOverEarlierLog();
    // What Windows' list of installed programs and package managers read from
    // the Uninstall entry besides its name and command (shell/UninstallEntry.cpp).
    // The entry's key is recorded by the write of its name, before these.
    void WriteUninstallEntryDetails(const char* entryKey, const char* programDirectory, const char* exeName,
                                    const char* logPath) const;
    void WriteEstimatedSize(const char* entryKey) const;
    // Kilobytes of the files this installation recorded, each counted once.
    DWORD InstalledKilobytes() const;
    // The distinct files, folders and keys recorded so far, into the -l log.
    void LogCreatedItems() const;

    // The installation's order of recording and creating; null before
    // PrepareUninstallInfo and in tests that drive single steps.
    std::unique_ptr<Win32InstallSystem> installSystem;
    std::unique_ptr<Sha256> journalDigest;
    std::unique_ptr<RecordedInstall> run;

    DWORD product = 0;
    LinkGuard writeGuard;      // the folders the shortcuts and the log go to
    bool linkRefused = false;  // a shortcut was not written because of a link
    SetupString uninstallKeyName;  // of the Uninstall entry, for the log's digest
    SetupString earlierLogPath;    // empty when there is no earlier log to carry over
    std::vector<uint8_t> earlierLogImage;
    SetupString displayVersion;  // SETUP.DAT version; empty: no DisplayVersion
    SetupString publisher;       // SETUP.DAT publisher; empty: no Publisher
    bool uninstallerCopied = false;  // into the Windows directory, before anything else
    SetupString saveSuffix;
    SetupString readmeFile;
    SetupString readmeTitle;
};

// Writes one string value without recording the key: for a key that the
// same installation has already recorded (shell/RegistryWriter.cpp).
LONG SetRegistryString(HKEY root, const char* keyPath, const char* valueName, const char* text);
// The same for a REG_DWORD value (the Uninstall entry's numbers).
LONG SetRegistryDword(HKEY root, const char* keyPath, const char* valueName, DWORD value);

// Process-wide: the directory the install went into (written by RunInstall,
// read by the entry point after the wizard).
extern SetupString installedDir;
