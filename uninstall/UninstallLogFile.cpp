#include "uninstall/UninstallLogFile.h"

#include <windows.h>

#include "shell/RegisteredLog.h"
#include "shell/UninstallJournal.h"
#include "shell/UninstallLogReader.h"

namespace {

std::string Refusal(const char* path, const std::string& reason) {
    return std::string("The uninstall log \"") + path + "\" " + reason + ".  Nothing was removed.";
}

}  // namespace

bool LoadUninstallLog(const char* path, std::vector<uint8_t>& image, std::string& entryName, std::string& problem) {
    if (!ReadLogImage(path, image)) {
        problem = Refusal(path, "cannot be read");
        return false;
    }
    UninstallLogError error;
    bool journal = IsJournalImage(image.data(), image.size());  // checked against its own digest below
    if (!journal && !ValidateUninstallLog(image.data(), image.size(), nullptr, &error)) {
        problem = Refusal(path, "is damaged at offset " + std::to_string(error.offset) + ": " + error.message);
        return false;
    }
    UninstallEntryValues entry;
    if (!FindEntryOfLog(path, &entryName, &entry)) {
        problem = Refusal(path, "belongs to no installed program: no entry of the list of installed programs names it");
        return false;
    }
    switch (CheckLogImage(image, entry)) {
    case LogTrusted: return true;
    case LogDamaged: problem = Refusal(path, "is damaged"); break;
    case LogNoDigest: problem = Refusal(path, "cannot be checked: its installation stored no digest of it"); break;
    case LogChanged: problem = Refusal(path, "was changed after the installation, so it cannot be trusted"); break;
    }
    return false;
}
