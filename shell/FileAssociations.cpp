#include <cstring>

#include "setup/InstallSettings.h"
#include "shell/ComposedText.h"
#include "shell/RegistryPlaces.h"

namespace {

// Windows limits a ProgID to 39 characters; longer texts are nobody's type,
// and no content type is that long either.
constexpr DWORD kMaxFileTypeName = 255;

// How a value's data is made from the row's text.
enum class Data {
    Literal,         // the text itself
    OpenCommand,     // quoted joined path of the executable, then " "%1"
    RestoreCommand,  // quoted joined path of the executable, then " -r "%1"
    ConcatIcon,      // programDir and the text run together, as the product always wrote them
    JoinedIcon,      // programDir joined with the text
};

struct AssociationValue {
    const char* key;
    const char* name;
    Data data;
    const char* text;
};

// Each file type before the extension that names it: an installation that
// stops in between must not leave an extension whose type its log lacks
// (the uninstaller removes an extension only while it names a type of the log).
const AssociationValue kPlayerAssociations[] = {
    {"VARN.Game", "", Data::Literal, "VARN Game"},
    {"VARN.Game\\shell\\open\\command", "", Data::OpenCommand, "vplay2.exe"},
    {"VARN.Game\\DefaultIcon", "", Data::ConcatIcon, "\\vplay2.exe,1"},
    {".GAM", "", Data::Literal, "VARN.Game"},
    {".GAM", kContentTypeValue, Data::Literal, kGameContentType},
    {"VARN.Save", "", Data::Literal, "VARN Saved Game"},
    {"VARN.Save\\shell\\open\\command", "", Data::RestoreCommand, "vplay2.exe"},
    {"VARN.Save\\DefaultIcon", "", Data::JoinedIcon, "vplay2.exe,2"},
    {".SAV", "", Data::Literal, "VARN.Save"},
    {".SAV", kContentTypeValue, Data::Literal, kSaveContentType},
};

const AssociationValue kWorkbenchAssociations[] = {
    {"VARN.Game\\shell\\debug", "", Data::Literal, "Open in VARN &Workbench"},
    {"VARN.Game\\shell\\debug\\command", "", Data::OpenCommand, "vbench.exe"},
    {"VARN.DebugConfig", "", Data::Literal, "VARN Workbench Project"},
    {"VARN.DebugConfig\\shell\\open\\command", "", Data::OpenCommand, "vbench.exe"},
    {"VARN.DebugConfig\\DefaultIcon", "", Data::ConcatIcon, "\\vbench2.exe,3"},
    {".VDC", "", Data::Literal, "VARN.DebugConfig"},
};

SetupString ValueData(const AssociationValue& value, const char* programDir) {
    switch (value.data) {
        case Data::OpenCommand: return CommandString(programDir, value.text, kOpenCommandTail);
        case Data::RestoreCommand: return CommandString(programDir, value.text, kRestoreCommandTail);
        case Data::ConcatIcon: return Concatenated(programDir, value.text);
        case Data::JoinedIcon: return JoinedPath(programDir, value.text);
        case Data::Literal: break;
    }
    return SetupString(value.text);
}

bool IsExtensionDefault(const AssociationValue& value) { return value.key[0] == '.' && !value.name[0]; }

bool SameIgnoringAsciiCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        char x = (*a >= 'A' && *a <= 'Z') ? static_cast<char>(*a + 32) : *a;
        char y = (*b >= 'A' && *b <= 'Z') ? static_cast<char>(*b + 32) : *b;
        if (x != y) return false;
    }
    return *a == *b;
}

enum class Earlier { None, Text, Other };

// A value of the extension's key: none, a text, or something else (another
// kind of data, or longer than any file type's name or content type).
Earlier EarlierValue(const char* extension, const char* name, SetupString* text) {
    char buffer[kMaxFileTypeName + 1] = {};
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, extension, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return Earlier::None;
    DWORD type = 0, size = kMaxFileTypeName;
    LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (status == ERROR_FILE_NOT_FOUND) return Earlier::None;
    if (status != ERROR_SUCCESS || type != REG_SZ) return Earlier::Other;
    text->Assign(buffer);
    return Earlier::Text;
}

// Recorded only as none or a text: anything else the uninstaller could not
// put back, so it leaves ours there, as it always did.
void RecordEarlierContentType(InstallSettings& settings, const char* extension) {
    SetupString text;
    Earlier earlier = EarlierValue(extension, kContentTypeValue, &text);
    if (earlier != Earlier::Other)
        settings.AddEarlierContentTypeRecord(extension, earlier == Earlier::Text ? text.Get() : nullptr);
}

bool IsContentTypeOf(const AssociationValue& value, const char* extension) {
    return extension && std::strcmp(value.key, extension) == 0 && std::strcmp(value.name, kContentTypeValue) == 0;
}

}  // namespace

// What the extension named before, also when that was nothing (recorded
// empty), unless it named our type already: then the earlier installation's
// log knows what came before.
bool InstallSettings::WriteExtensionType(const char* extension, const char* fileType) {
    SetupString earlier;
    EarlierValue(extension, "", &earlier);  // anything but a text named no type
    bool takenOver = !SameIgnoringAsciiCase(earlier.Get(), fileType);
    if (takenOver) AddEarlierDefaultRecord(extension, earlier.Get());
    WriteRegistryString(HKEY_CLASSES_ROOT, extension, "", fileType, 1);
    return takenOver;
}

void InstallSettings::WriteFileAssociations() {
    bool workbench = (product & ProductDebugger) != 0;
    const AssociationValue* table = workbench ? kWorkbenchAssociations : kPlayerAssociations;
    size_t count = workbench ? sizeof kWorkbenchAssociations / sizeof *table : sizeof kPlayerAssociations / sizeof *table;
    const char* takenOver = nullptr;  // the extension just pointed at our type from another
    for (size_t i = 0; i < count; ++i) {
        SetupString data = ValueData(table[i], programDir.Get());
        if (IsExtensionDefault(table[i])) {
            takenOver = WriteExtensionType(table[i].key, data.Get()) ? table[i].key : nullptr;
            continue;
        }
        if (IsContentTypeOf(table[i], takenOver)) RecordEarlierContentType(*this, table[i].key);
        WriteRegistryString(HKEY_CLASSES_ROOT, table[i].key, table[i].name, data.Get(), 1);
    }
}

void InstallSettings::WriteGameSaveAssociation() {
    SetupString extension = Concatenated(".", saveSuffix.Get());
    SetupString fileType = Concatenated(appName.Get(), ".Save");
    WriteRegistryString(HKEY_CLASSES_ROOT, fileType.Get(), "", Concatenated(appName.Get(), " Saved Game").Get(), 1);
    WriteRegistryString(HKEY_CLASSES_ROOT, Concatenated(fileType.Get(), "\\shell\\open\\command").Get(), "",
                        CommandString(programDir.Get(), mainExe.Get(), kRestoreCommandTail).Get(), 1);
    WriteRegistryString(HKEY_CLASSES_ROOT, Concatenated(fileType.Get(), "\\DefaultIcon").Get(), "",
                        Concatenated(JoinedPath(programDir.Get(), mainExe.Get()).Get(), ",2").Get(), 1);
    WriteExtensionType(extension.Get(), fileType.Get());  // after the type it names
}

void InstallSettings::WriteSetupDoneFlags() {
    if (product & ProductGame) return;
    WriteRegistryString(HKEY_CURRENT_USER, kSettingsKey, "Setup Done", "Yes", 1);
    if (product & ProductDebugger) WriteRegistryString(HKEY_CURRENT_USER, kSettingsKey, "Debugger Setup Done", "Yes", 1);
}
