#include <objbase.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "archive/BundleDirectory.h"
#include "archive/BundleMark.h"
#include "archive/Win32ArchiveSource.h"
#include "install/ExtractArchive.h"
#include "install/ExtractMessages.h"
#include "install/ProgressPage.h"
#include "setup/InstallSettings.h"
#include "setup/InstallationSet.h"
#include "setup/NameRules.h"
#include "setup/PathHelpers.h"
#include "setup/SetupMessages.h"
#include "shell/ComPointer.h"
#include "shell/ComposedText.h"
#include "shell/FolderComponents.h"
#include "shell/ProgramsFolder.h"
#include "shell/ReadmeTitle.h"
#include "shell/ShortcutTables.h"
#include "shell/UninstallRecord.h"
#include "setup/NameChars.h"

namespace {

constexpr size_t kStartMenuPathSize = 520;  // a composed folder path is cut at 519 characters
constexpr uint32_t kMaxSetFileCopy = 64u << 20;  // the workbench's setup programs are far smaller

// A file of the set, read whole and written through a handle that the
// guard checked: copying by path would follow a link planted in the
// program directory.
bool CopySetFileInto(LinkGuard& guard, const char* name, const char* destination) {
    Win32ArchiveSource source;
    uint32_t size = 0;
    if (!OpenSetFile(name, source) || !source.Size(&size) || size > kMaxSetFileCopy || !source.Seek(0)) return false;
    std::vector<uint8_t> bytes(size);
    if (size && !source.ReadFully(bytes.data(), size)) return false;
    // From a bundle, the program's own image is the plain setup.exe again.
    if (IsBundledSet() && SameBundleName(name, "setup.exe")) UnmarkProgram(bytes.data(), bytes.size());
    return guard.WriteNewFile(destination, bytes.data(), size) == ExtractOk;
}

const char kNoProgramsFolder[] = "Setup could not find your Start Menu's Programs folder.  No shortcuts were made.";
const char kProgramsFolderUnnamed[] = "Your Start Menu's Programs folder ";
const char kNoShortcutsMade[] = " has a name that this version of Windows cannot give Setup.  No shortcuts were made.";
const char kFolderNotMade[] = "Setup could not create the Start Menu folder ";
const char kFolderNotMadeTail[] = ".  Its shortcuts were not made.";
const char kShortcutNotMade[] = "Setup could not create the shortcut ";

}  // namespace

// The link is saved into memory and written through a handle that the
// LinkGuard checked: saving it by its path would follow a link planted in
// the Start Menu or the program directory.
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
    // A link path that does not fit the wide buffer of a shell link is not saved at all.
    WCHAR widePath[kPathBufferSize];
    if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, kPathBufferSize) == 0) return 1;
    ComPointer<IPersistStream> persist;
    ComPointer<IStream> stream;
    if (FAILED(link->QueryInterface(IID_IPersistStream, persist.Out())) ||
        FAILED(CreateStreamOnHGlobal(nullptr, TRUE, reinterpret_cast<IStream**>(stream.Out()))) || FAILED(persist->Save(stream.Get(), TRUE)))
        return 1;
    HGLOBAL memory = nullptr;
    STATSTG status = {};
    if (FAILED(GetHGlobalFromStream(stream.Get(), &memory)) || FAILED(stream->Stat(&status, STATFLAG_NONAME)) ||
        status.cbSize.QuadPart > GlobalSize(memory))
        return 1;
    // Recorded before the file exists, and only where it can then be written:
    // in a folder the guard has made sure of, not onto a folder or a link.
    const char* separator = FindLastChar(linkPath, '\\');
    std::string folder(linkPath, separator ? static_cast<size_t>(separator - linkPath) : 0);
    DWORD existing = GetFileAttributesA(linkPath);
    bool linkThere = writeGuard.LeadsElsewhere(linkPath);
    if (linkThere) linkRefused = true;
    if (linkThere || (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY)) ||
        writeGuard.CheckFolder(folder.c_str()) != ExtractOk || !AddTextRecord(UninstallFile, linkPath))
        return 1;
    const void* bytes = GlobalLock(memory);
    int written = bytes ? writeGuard.WriteNewFile(linkPath, bytes, static_cast<unsigned long>(status.cbSize.QuadPart))
                        : ExtractCreateError;
    if (bytes) GlobalUnlock(memory);
    if (written == ExtractLinkRefused) linkRefused = true;
    return written == ExtractOk ? 0 : 1;
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

// Only a group folder that was not there before is recorded: the
// uninstaller never removes a folder the user had. What could not be made is
// told here, once and by name, and the shortcuts that could be made are:
// ExtractCreateError then; ExtractLinkRefused (told by the step) when a link
// stood in the way.
int InstallSettings::CreateStartMenuGroup(const char* folder, const ShortcutEntry* list, int count) {
    char path[kStartMenuPathSize] = {};
    std::string unrepresentable;
    startMenuPath.Free();
    if (!GetProgramsFolder(path, &unrepresentable)) {
        ShowInstallError(sheetWindow, unrepresentable.empty() ? kNoProgramsFolder
                                                              : Concatenated(kProgramsFolderUnnamed, unrepresentable.c_str(),
                                                                             kNoShortcutsMade).Get());
        return ExtractCreateError;
    }
    int trusted = writeGuard.Trust(path);
    if (trusted != ExtractOk) return trusted;
    EnsureTrailingBackslash(path, sizeof path);
    FolderComponents levels(folder);
    const char* level;
    size_t length;
    bool isLast;
    while (levels.Next(&level, &length, &isLast)) {
        size_t used = std::strlen(path);
        size_t take = length < sizeof path - 1 - used ? length : sizeof path - 1 - used;
        std::memcpy(path + used, level, take);
        path[used + take] = '\0';
        int made = CreateDirectoryLogged(path, FALSE);
        if (writeGuard.CheckFolder(path) == ExtractLinkRefused) return ExtractLinkRefused;
        if (made != 0) {
            ShowInstallError(sheetWindow, Concatenated(kFolderNotMade, path, kFolderNotMadeTail).Get());
            return ExtractCreateError;
        }
        EnsureTrailingBackslash(path, sizeof path);
    }
    startMenuPath.Assign(path);
    linkRefused = false;
    const char* failed = nullptr;
    SetupString failedPath;
    for (int i = 0; i < count; ++i) {
        SetupString linkPath = Concatenated(startMenuPath.Get(), LinkFileName(list[i].title).Get(), ".lnk");
        SetupString target = JoinedPath(programDir.Get(), list[i].target);
        // A shortcut refused for a link is told by the step, with the link.
        if (CreateShortcut(target.Get(), "", linkPath.Get(), list[i].title) != 0 && !linkRefused && !failed) {
            failedPath = linkPath;
            failed = failedPath.Get();
        }
    }
    if (failed) ShowInstallError(sheetWindow, Concatenated(kShortcutNotMade, failed, ".").Get());
    SetForegroundWindow(sheetWindow);
    if (linkRefused) return ExtractLinkRefused;
    return failed ? ExtractCreateError : ExtractOk;
}

// A link in the Programs folder stops the step: nothing goes through it.
void InstallSettings::CreateStartMenuStep(ProgressPage* page, const ShortcutEntry* list, int count) {
    int result = CreateStartMenuGroup(startFolder.Get(), list, count);
    if (result == ExtractOk) return;
    if (result == ExtractLinkRefused) ShowInstallError(sheetWindow, ExtractFailureMessage(ExtractLinkRefused));
    page->MarkStepSkipped();
}

void InstallSettings::InstallProductShell(ProgressPage* page, HWND) {
    if (product & ProductDebugger) {
        writeGuard.Trust(programDir.Get());  // a link there was reported by the extraction
        const char* copies[][2] = {{"setup.exe", "setup1.dat"}, {"insmain.exe", "setup2.dat"}};
        for (const auto& copy : copies) {
            SetupString destination = JoinedPath(programDir.Get(), copy[1]);
            if (AddTextRecord(UninstallFile, destination.Get())) CopySetFileInto(writeGuard, copy[0], destination.Get());
        }
    }
    page->NextStep();
    int tableCount = 0, listCount = 0;
    const ShortcutEntry* table =
        ProductShortcutTable((product & ProductDebugger) != 0, (product & ProductV3) != 0, &tableCount);
    ShortcutEntry* list = BuildShortcutList(table, tableCount, &listCount);
    CreateStartMenuStep(page, list, listCount);
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
    CreateStartMenuStep(page, list, listCount);
    std::free(list);
    page->NextStep();
    WriteGameSaveAssociation();
}
