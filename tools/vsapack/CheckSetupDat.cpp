#include "CheckSetupDat.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "setup/ConfigCheck.h"
#include "setup/DestinationCheck.h"
#include "setup/ExtensionRules.h"
#include "setup/InstallDirectory.h"
#include "setup/PathHelpers.h"
#include "setup/SetupDatParser.h"
#include "setup/TextDecoding.h"

namespace {

const char kIgnored[] = ": the setup ignores this line";

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Edits (insert, delete, replace, swap two neighbours) that turn a into b.
size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        for (size_t j = 1; j <= b.size(); ++j) {
            size_t replace = d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, replace});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string UnknownKeyText(const SetupDatLine& line) {
    std::string key(line.key, line.keyLength);
    if (key.empty()) return std::string("no key before \"=\"") + kIgnored;
    std::string trimmed = key;
    while (!trimmed.empty() && IsBlank(trimmed.back())) trimmed.pop_back();
    if (trimmed != key && NearestSetupDatKey(trimmed) == Lower(trimmed))
        return "\"" + key + "\" has a blank before \"=\", which makes it another key" + kIgnored;
    std::string nearest = NearestSetupDatKey(key);
    return "unknown key \"" + key + "\"" + kIgnored + (nearest.empty() ? "" : "; did you mean " + nearest + "?");
}

// "0", "no", "off", "false": a publisher who wrote them meant the flag to stay off.
bool MeansOff(const SetupDatLine& line) {
    std::string value = Lower(std::string(line.value, line.valueLength));
    value.erase(0, value.find_first_not_of(" \t"));
    value.erase(value.find_last_not_of(" \t") + 1);
    return value == "0" || value == "no" || value == "off" || value == "false";
}

void CheckLine(const std::string& file, const SetupDatLine& line, SetupDatReading* reading, SetReport& report) {
    switch (line.kind) {
        case SetupDatLineKind::Comment: break;
        case SetupDatLineKind::UnknownKey: report.Error(file, line.number, UnknownKeyText(line)); break;
        case SetupDatLineKind::HoldsNul: report.Error(file, line.number, std::string("a NUL byte") + kIgnored); break;
        case SetupDatLineKind::ValueTooLong:
            report.Error(file, line.number, std::string("the value of ") + line.name + " is longer than " +
                                                std::to_string(kMaxConfigValueLength) + " characters" + kIgnored);
            break;
        case SetupDatLineKind::Setting:
            reading->lines[line.name] = line.number;
            if (!line.isFlag && !IsValidUtf8(line.value, line.valueLength))
                report.Warning(file, line.number, std::string("the value of ") + line.name +
                                                      " is neither ASCII nor UTF-8: the setup reads it in the "
                                                      "player's system code page, right only where that is the "
                                                      "code page it was written in; save SETUP.DAT as UTF-8");
            if (line.isFlag && line.hasEquals && MeansOff(line))
                report.Warning(file, line.number, std::string(line.name) + "=" +
                                                      std::string(line.value, line.valueLength) + " switches " +
                                                      line.name + " on all the same: the setup never looks at a "
                                                      "flag's value; leave the line out to keep it off");
            break;
    }
}

// Only the drive's root exists: what a fresh system offers, short of its own folders.
class RootOnlyProbe : public PathProbe {
public:
    bool Exists(const char* path, bool* isDirectory) override {
        size_t length = std::strlen(path);
        *isDirectory = true;
        return EndsWithChar(path, length, '\\');
    }
};

// The wizard proposes progdir under Program Files and refuses at Next what the
// destination check refuses; a 32-bit setup on 64-bit Windows gets "Program Files (x86)".
void CheckProgdir(const std::string& file, const SetupDatReading& reading, SetReport& report) {
    for (const char* programFiles : {"C:\\Program Files", "C:\\Program Files (x86)"}) {
        char directory[kPathBufferSize];
        RootOnlyProbe probe;
        bool fits = ComposeInstallDirectory(programFiles, reading.config.progdir.Get(), directory, sizeof directory);
        DestinationProblem problem = fits ? CheckDestination(directory, programFiles, probe) : DestinationTooLong;
        if (problem == DestinationOk) continue;
        std::string where = fits ? std::string(directory) : "under " + std::string(programFiles);
        report.Error(file, reading.LineOf("progdir"), "progdir proposes " + where + ", which the wizard refuses: " +
                                                          DestinationProblemText(problem));
        return;
    }
}

}  // namespace

size_t SetupDatReading::LineOf(const std::string& key) const {
    auto found = lines.find(key);
    return found == lines.end() ? 0 : found->second;
}

std::string NearestSetupDatKey(const std::string& key) {
    std::string lower = Lower(key), best;
    size_t bestDistance = 3;  // more edits than two is not a typing mistake
    for (size_t i = 0; const char* name = SetupDatKeyName(i); ++i) {
        size_t distance = EditDistance(lower, name);
        size_t longer = std::max(lower.size(), std::strlen(name));
        if (distance < bestDistance && 2 * distance <= longer) {
            bestDistance = distance;
            best = name;
        }
    }
    return best;
}

void CheckSetupDat(const std::string& file, const std::string& data, SetupDatReading* reading, SetReport& report) {
    if (data.size() > kMaxSetupDatSize) {
        report.Error(file, 0, "larger than 64 MB: the setup ignores the whole file");
        return;
    }
    size_t at = 0, lineEnds = 0;
    SetupDatLine line;
    while (NextSetupDatLine(data.data(), data.size(), &at, &lineEnds, &line)) CheckLine(file, line, reading, report);
    ParseSetupDat(data.data(), data.size(), reading->config);
    ConfigProblem problems[kMaxConfigProblems];
    size_t count = std::min(CheckSetupConfig(reading->config, problems, kMaxConfigProblems), kMaxConfigProblems);
    for (size_t i = 0; i < count; ++i) {
        report.Error(file, reading->LineOf(problems[i].key), std::string("the value of ") + problems[i].key + " " +
                                                                  problems[i].reason +
                                                                  ": the setup stops before installing anything");
    }
    CheckProgdir(file, *reading, report);
    const char* suffix = reading->config.savesuffix.Get();
    if (reading->config.game && IsCommonDocumentExtension(suffix))
        report.Warning(file, reading->LineOf("savesuffix"),
                       std::string("savesuffix=") + suffix + " makes the game open every ." + suffix +
                           " file, which users open with another program; the uninstaller hands the type back, "
                           "but until then the game takes it over");
}
