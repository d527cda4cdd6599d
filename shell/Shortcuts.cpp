#include <objbase.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>

#include "install/ProgressPage.h"
#include "setup/InstallSettings.h"
#include "setup/InstallationSet.h"
#include "setup/NameRules.h"
#include "setup/PathHelpers.h"
#include "shell/ComPointer.h"
#include "shell/ComposedText.h"
#include "shell/FolderComponents.h"
#include "shell/ProgramsFolder.h"
#include "shell/ReadmeTitle.h"
#include "shell/ShortcutTables.h"
#include "shell/UninstallRecord.h"

namespace {

constexpr size_t kStartMenuPathSize = 520;  // a composed folder path is cut at 519 characters

}  // namespace

int InstallSettings::CreateShortcut(const char* target, const char* arguments, const char* linkPath,
                                    const char* description) {
    ComPointer<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER |
                                                              CLSCTX_LOCAL_SERVER,
                                IID_IShellLinkA, link.Out())))
        return 1;
    link->SetPath(target);
    link->SetArguments(arguments);
    link->SetDescription(description);
    ComPointer<IPersistFile> file;
    HRESULT outcome = link->QueryInterface(IID_IPersistFile, file.Out());
    if (SUCCEEDED(outcome)) {
        WCHAR widePath[kPathBufferSize];
        // A link path that does not fit the wide buffer is not saved at all.
        if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, kPathBufferSize) == 0) return 1;
        outcome = file->Save(widePath, TRUE);
    }
    if (FAILED(outcome)) return 1;
    AddTextRecord(UninstallFile, linkPath);
    return 0;
}

ShortcutEntry* InstallSettings::BuildShortcutList(const ShortcutEntry* table, int count, int* listCount) {
    bool withReadme = !readmeFile.IsEmpty();
    int total = count + (withReadme ? 1 : 0);
    ShortcutEntry* list = static_cast<ShortcutEntry*>(std::malloc(sizeof(ShortcutEntry) * (total ? total : 1)));
    if (!list) std::abort();  // the setup assumes small allocations succeed
    for (int i = 0; i < count; ++i) list[i] = table[i];
    if (withReadme) {
        if (readmeTitle.IsEmpty()) {
            const char* start = nullptr;
            size_t length = ReadmeTitleFromFile(readmeFile.Get(), &start);
            readmeTitle.Assign(start, length);
        }
        list[count] = ShortcutEntry{readmeTitle.Get(), readmeFile.Get()};
    }
    *listCount = total;
    return list;
}

void InstallSettings::CreateStartMenuGroup(const char* folder, const ShortcutEntry* list, int count) {
    char path[kStartMenuPathSize] = {};
    GetProgramsFolder(path);
    if (path[0]) EnsureTrailingBackslash(path, sizeof path);
    FolderComponents levels(folder);
    const char* level;
    size_t length;
    bool isLast;
    while (levels.Next(&level, &length, &isLast)) {
        size_t used = std::strlen(path);
        size_t take = length < sizeof path - 1 - used ? length : sizeof path - 1 - used;
        std::memcpy(path + used, level, take);
        path[used + take] = '\0';
        CreateDirectoryLogged(path, isLast ? TRUE : FALSE);
        EnsureTrailingBackslash(path, sizeof path);
    }
    startMenuPath.Assign(path);
    for (int i = 0; i < count; ++i) {
        SetupString linkPath = Concatenated(startMenuPath.Get(), LinkFileName(list[i].title).Get(), ".lnk");
        SetupString target = JoinedPath(programDir.Get(), list[i].target);
        CreateShortcut(target.Get(), "", linkPath.Get(), list[i].title);
    }
    SetForegroundWindow(sheetWindow);
}

void InstallSettings::InstallProductShell(ProgressPage* page, HWND) {
    if (product & ProductDebugger) {
        const char* copies[][2] = {{"setup.exe", "setup1.dat"}, {"insmain.exe", "setup2.dat"}};
        for (const auto& copy : copies) {
            SetupString destination = JoinedPath(programDir.Get(), copy[1]);
            AddTextRecord(UninstallFile, destination.Get());
            CopySetFile(copy[0], destination.Get());
        }
    }
    page->NextStep();
    int tableCount = 0, listCount = 0;
    const ShortcutEntry* table =
        ProductShortcutTable((product & ProductDebugger) != 0, (product & ProductV3) != 0, &tableCount);
    ShortcutEntry* list = BuildShortcutList(table, tableCount, &listCount);
    CreateStartMenuGroup(startFolder.Get(), list, listCount);
    std::free(list);
    page->NextStep();
    if (options & OptionCreateAssociations) {
        WriteFileAssociations();
        SHChangeNotify(SHCNE_ASSOCCHANGED, 0, nullptr, nullptr);
    } else {
        page->MarkStepSkipped();
    }
}

void InstallSettings::InstallGameShell(ProgressPage* page, HWND) {
    page->NextStep();
    const ShortcutEntry game[] = {{appName.Get(), mainExe.Get()}};
    int listCount = 0;
    ShortcutEntry* list = BuildShortcutList(game, 1, &listCount);
    CreateStartMenuGroup(startFolder.Get(), list, listCount);
    std::free(list);
    page->NextStep();
    WriteGameSaveAssociation();
}
