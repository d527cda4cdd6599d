#include "setup/ConfigCheck.h"

#include <cstring>

#include "setup/ExtensionRules.h"
#include "setup/NameChars.h"
#include "setup/NameRules.h"
#include "shell/ReadmeTitle.h"

namespace {

const char kLeadingDot[] = "must be given without its leading dot";
const char kSystemExtension[] =
    "names a kind of file that Windows runs or uses for itself, which saved games must not take over";
const char kKeySeparator[] = "holds a backslash, which cannot stand in the name of the saved games' file type";
const char kControlCharacter[] = "holds a control character, which the list of installed programs cannot show";
const char kOuterBlank[] = "begins or ends with a blank, which would be part of the value";
const char kUnrepresentable[] = "holds a character that this version of Windows cannot use in names: it needs "
                                "Windows 10 version 1903 or later, or a system code page that has the character";
const char kNoLinkName[] = "leaves nothing for the shortcut's file name once the characters a file name cannot hold "
                           "are left out";

class ProblemList {
public:
    ProblemList(ConfigProblem* problems, size_t capacity) : problems_(problems), capacity_(capacity) {}
    void Add(const char* key, const char* reason) {
        if (count_ < capacity_) problems_[count_] = ConfigProblem{key, reason};
        ++count_;
    }
    void Add(const char* key, NameProblem problem) {
        if (problem != NameOk) Add(key, NameProblemText(problem));
    }
    size_t Count() const { return count_; }

private:
    ConfigProblem* problems_;
    size_t capacity_;
    size_t count_ = 0;
};

void CheckSaveSuffix(const char* suffix, ProblemList& list) {
    if (!*suffix) return;  // the default takes its place
    if (suffix[0] == '.') {
        list.Add("savesuffix", kLeadingDot);
    } else if (IsSystemExtension(suffix)) {
        list.Add("savesuffix", kSystemExtension);
    } else {
        list.Add("savesuffix", CheckSingleName(suffix));
    }
}

// A title whose shortcut file name would be empty or a device name would cost the shortcut.
void CheckLinkName(const char* key, const char* title, ProblemList& list) {
    SetupString name = LinkFileName(title);
    if (name.IsEmpty()) {
        list.Add(key, kNoLinkName);
    } else if (IsDeviceName(name.Get(), name.Length())) {
        list.Add(key, NameDevice);
    }
}

// Shown as they are in Windows' list of installed programs, and matched by
// package managers: a blank kept after "=" would be part of the value.
void CheckEntryText(const char* key, const char* text, ProblemList& list) {
    size_t length = std::strlen(text);
    if (length == 0) return;  // not given: no value
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) {
            list.Add(key, kControlCharacter);
            return;
        }
    }
    if (text[0] == ' ' || text[length - 1] == ' ') list.Add(key, kOuterBlank);
}

}  // namespace

size_t CheckSetupConfig(const SetupConfig& config, ConfigProblem* problems, size_t capacity) {
    ProblemList list(problems, capacity);
    if (config.unrepresentableKey) list.Add(config.unrepresentableKey, kUnrepresentable);
    list.Add("startfolder", CheckFolderPath(config.startfolder.Get()));
    list.Add("mainexe", CheckSingleName(config.mainexe.Get()));
    if (config.game) CheckSaveSuffix(config.savesuffix.Get(), list);
    if (!config.license.IsEmpty()) list.Add("license", CheckRelativePath(config.license.Get(), false));
    bool readme = !config.readme.IsEmpty();
    NameProblem readmePath = readme ? CheckRelativePath(config.readme.Get(), false) : NameOk;
    if (readme) list.Add("readme", readmePath);
    if (config.game) {
        // A single game's name also names its file type, a key of its own.
        if (FindChar(config.appname.Get(), '\\')) list.Add("appname", kKeySeparator);
        CheckLinkName("appname", config.appname.Get(), list);
    }
    if (readme && !config.readme_title.IsEmpty()) {
        CheckLinkName("readme_title", config.readme_title.Get(), list);
    } else if (readme && readmePath == NameOk) {  // the shortcut is named after the file
        const char* start = nullptr;
        size_t length = ReadmeTitleFromFile(config.readme.Get(), &start);
        SetupString title;
        title.Assign(start, length);
        CheckLinkName("readme", title.Get(), list);
    }
    CheckEntryText("version", config.version.Get(), list);
    CheckEntryText("publisher", config.publisher.Get(), list);
    return list.Count();
}

SetupString ConfigProblemMessage(const ConfigProblem& problem) {
    SetupString text("The value of ");
    text.Append(problem.key);
    text.Append(" in SETUP.DAT ");
    text.Append(problem.reason);
    text.Append(".  Nothing was installed.");
    return text;
}
