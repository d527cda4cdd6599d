#include "setup/InstallSettings.h"

#include "install/Win32InstallSystem.h"
#include "resource.h"
#include "setup/PathHelpers.h"
#include "shell/Sha256.h"
#include "ui/ExitConfirmDialog.h"
#include "ui/ReadOnlyEdit.h"

SetupString installedDir;

InstallSettingsBase::InstallSettingsBase(HINSTANCE moduleInstance, const char* name, const char* mainProgram)
    : instance(moduleInstance) {
    appName.Assign(name);
    mainExe.Assign(mainProgram);
    RegisterReadOnlyEdit(moduleInstance);
    arrowCursor = LoadCursorA(nullptr, IDC_ARROW);
    waitCursor = LoadCursorA(nullptr, IDC_WAIT);
    licenseFile.Assign("LICENSE.TXT");
    options = OptionLicensePage | OptionCreateAssociations;
    outcome = 0;
}

BOOL InstallSettingsBase::ConfirmExit(HWND owner) {
    ExitConfirmDialog* dialog = new ExitConfirmDialog();
    INT_PTR result = dialog->RunModal(IDD_EXIT_SETUP, owner, instance);
    delete dialog;
    return result != IDC_RESUME;
}

void InstallSettingsBase::SetLicenseFile(const char* fileName) {
    licenseFile.Assign(fileName);
    options |= OptionLicensePage;
}

void InstallSettingsBase::GetProgramFilesDir(char* buffer) {
    CopyText(buffer, kPathBufferSize, "C:\\Program Files");
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return;
    char value[kPathBufferSize + 1] = {};  // one spare byte keeps an unterminated value terminated
    DWORD type = 0, size = kPathBufferSize;
    if (RegQueryValueExA(key, "ProgramFilesDir", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
        ERROR_SUCCESS) {
        if (type == REG_SZ) {
            CopyText(buffer, kPathBufferSize, value);
        } else if (type == REG_EXPAND_SZ) {
            char expanded[kPathBufferSize];
            DWORD needed = ExpandEnvironmentStringsA(value, expanded, kPathBufferSize);
            if (needed > 0 && needed <= kPathBufferSize) CopyText(buffer, kPathBufferSize, expanded);
        }
    }
    RegCloseKey(key);
}

InstallSettings::InstallSettings(HINSTANCE moduleInstance, const char* name, const char* mainProgram, int debugger,
                                 int game, const char* readme, const char* readmeName, int v3)
    : InstallSettingsBase(moduleInstance, name, mainProgram) {
    readmeFile.Assign(readme);
    readmeTitle.Assign(readmeName);
    if (debugger & 1) product |= ProductDebugger;
    if (v3 & 1) product |= ProductV3;
    if (game & 1) product |= ProductGame;
}

InstallSettings::~InstallSettings() {
    run.reset();
    FreeUninstallRecords();
    // The cursors are shared system cursors; DestroyCursor on them is a no-op.
    DestroyCursor(arrowCursor);
    DestroyCursor(waitCursor);
}
