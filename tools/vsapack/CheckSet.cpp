#include "CheckSet.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "CheckSetupDat.h"
#include "InspectArchive.h"
#include "MemberNames.h"
#include "PackInput.h"
#include "archive/ArchiveWriter.h"
#include "archive/BundleDirectory.h"
#include "install/MemberPlacement.h"
#include "setup/ConfigCheck.h"
#include "setup/SetupDatParser.h"
#include "shell/ShortcutTables.h"

namespace fs = std::filesystem;

namespace {

const char kDownloadsNote[] = "; a bundle of this set never takes it from the folder it is run from";

struct SetFiles {
    std::string folder;
    std::vector<PackEntry> files;

    // The file as the setup finds it, letter case and separators aside; null when absent.
    const PackEntry* Find(const std::string& name) const {
        for (const PackEntry& file : files) {
            if (SameBundleName(file.name.c_str(), name.c_str())) return &file;
        }
        return nullptr;
    }
};

// What the archive installs into the program directory, by place.
struct ArchiveContents {
    std::string archive;
    bool readable = false;
    std::set<std::string> created;   // files it writes
    std::set<std::string> uncreated; // named with $NoCreate\ or $DirOnly\ only: no file is written
};

bool ReadSetupDat(const std::string& path, std::string* data) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    // One byte past the limit is enough to know the setup ignores the file.
    data->resize(kMaxSetupDatSize + 1);
    in.read(&(*data)[0], static_cast<std::streamsize>(data->size()));
    data->resize(static_cast<size_t>(in.gcount()));
    return !in.bad();
}

void CheckSetupDatFile(const SetFiles& set, SetupDatReading* reading, SetReport& report) {
    const PackEntry* file = set.Find("SETUP.DAT");
    if (!file) {
        report.Warning(set.folder, 0, std::string("no SETUP.DAT: the setup uses its defaults") + kDownloadsNote);
        return;
    }
    std::string data;
    if (!ReadSetupDat(file->source, &data)) {
        report.Error(file->source, 0, "cannot read it");
        return;
    }
    CheckSetupDat(file->source, data, reading, report);
}

void CheckMember(const std::string& archive, const char* name, ArchiveContents* contents, SetReport& report) {
    PlacementFlags flags;
    bool myDocuments = false;
    const char* path = StripPlacementPrefixes(name, &flags, &myDocuments);
    std::string problem = CheckMemberName(name);
    if (!problem.empty()) {
        bool setupTakesIt = IsSafeMemberPath(path);
        report.Error(archive, 0, problem + (setupTakesIt ? ": Windows would not create it as named"
                                                         : ": the setup takes the archive for damaged there"));
    }
    if (myDocuments) return;
    (flags.create ? contents->created : contents->uncreated).insert(MemberPlace(name));
}

ArchiveContents CheckArchive(const SetFiles& set, SetReport& report) {
    ArchiveContents contents;
    const PackEntry* file = set.Find("insfiles.vsa");
    if (!file) {
        report.Error(set.folder, 0, "no insfiles.vsa: the setup has nothing to install");
        return contents;
    }
    contents.archive = file->source;
    std::vector<std::string> names;
    auto visit = [&](const char* name, uint32_t) {
        names.push_back(name);
        CheckMember(file->source, name, &contents, report);
    };
    std::string summary, error;
    contents.readable = WalkArchive(file->source, visit, &summary, &error);
    if (!contents.readable) report.Error(file->source, 0, "damaged: " + error);
    for (const auto& pair : SamePlaceMembers(names)) {
        report.Error(file->source, 0, "members \"" + names[pair.first] + "\" and \"" + names[pair.second] +
                                          "\" land on one file: Windows keeps one of them");
    }
    return contents;
}

// A file of the program directory that the installation refers to.
void CheckInstalled(const std::string& name, const std::string& file, size_t line, const std::string& use,
                    const ArchiveContents& contents, SetReport& report) {
    std::string place = MemberPlace(name);
    if (contents.created.count(place)) return;
    std::string text = name + (contents.uncreated.count(place) ? " is named in insfiles.vsa only with $NoCreate\\ or "
                                                                 "$DirOnly\\, which install no file"
                                                               : " is not in insfiles.vsa");
    report.Warning(file, line, text + ": " + use);
}

void CheckReferences(const SetFiles& set, const SetupDatReading& reading, const ArchiveContents& contents,
                     const std::string& setupDat, SetReport& report) {
    const SetupConfig& config = reading.config;
    auto fileOf = [&](const char* key) { return reading.LineOf(key) ? setupDat : set.folder; };
    std::string mainUse =
        config.game ? "the game's shortcut leads nowhere" : "App Paths and the Uninstall entry name it";
    int count = 0;
    const ShortcutEntry* table = config.game ? nullptr : ProductShortcutTable(config.debugger, config.v3, &count);
    for (int i = 0; i < count; ++i) {
        std::string use = std::string("the shortcut \"") + table[i].title + "\" leads nowhere";
        if (MemberPlace(table[i].target) == MemberPlace(config.mainexe.Get())) {
            mainUse += ", and " + use;
        } else {
            CheckInstalled(table[i].target, contents.archive, 0, use, contents, report);
        }
    }
    CheckInstalled(config.mainexe.Get(), fileOf("mainexe"), reading.LineOf("mainexe"), mainUse, contents, report);
    if (!config.readme.IsEmpty()) {
        CheckInstalled(config.readme.Get(), fileOf("readme"), reading.LineOf("readme"),
                       "its shortcut leads nowhere and nothing opens after Finish", contents, report);
    }
}

void CheckSetFiles(const SetFiles& set, const SetupDatReading& reading, bool usable, const std::string& setupDat,
                   SetReport& report) {
    if (!set.Find("setup.exe")) report.Error(set.folder, 0, "no setup.exe");
    if (!set.Find("VARNUINS.EXE"))
        report.Warning(set.folder, 0, std::string("no VARNUINS.EXE: the installation cannot be uninstalled") +
                                          kDownloadsNote);
    const SetupConfig& config = reading.config;
    if (config.debugger && !set.Find("insmain.exe"))
        report.Warning(set.folder, 0, std::string("no insmain.exe, which the workbench installs as setup2.dat") +
                                          kDownloadsNote);
    if (!usable || config.license.IsEmpty() || set.Find(config.license.Get())) return;
    size_t line = reading.LineOf("license");
    report.Error(line ? setupDat : set.folder, line,
                 std::string("no license file ") + config.license.Get() +
                     ": the license page says \"License file not found.\"; add it, or write nolicense");
}

}  // namespace

void CheckSet(const std::string& folder, SetReport& report) {
    SetFiles set{folder, {}};
    std::string error;
    if (!CollectFolder(folder, &set.files, &error)) {
        report.Error(folder, 0, error);
        return;
    }
    SetupDatReading reading;
    CheckSetupDatFile(set, &reading, report);
    const PackEntry* setupDat = set.Find("SETUP.DAT");
    std::string setupDatPath = setupDat ? setupDat->source : (fs::path(folder) / "SETUP.DAT").string();
    ConfigProblem unused[1];
    bool usable = CheckSetupConfig(reading.config, unused, 0) == 0;
    CheckSetFiles(set, reading, usable, setupDatPath, report);
    ArchiveContents contents = CheckArchive(set, report);
    // Names the setup refuses, or an archive read only in part, say nothing of what is installed.
    if (usable && contents.readable) CheckReferences(set, reading, contents, setupDatPath, report);
}
