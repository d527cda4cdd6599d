// vsapack: makes, lists and tests setup archives (insfiles.vsa).
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "CheckSet.h"
#include "InspectArchive.h"
#include "PackArchive.h"
#include "PackBundle.h"
#include "PackInput.h"
#include "setup/NameChars.h"
#include "setup/TextDecoding.h"

namespace {

const char kUsage[] =
    "usage:\n"
    "  vsapack create OUT.vsa FOLDER\n"
    "  vsapack create OUT.vsa --list LISTFILE\n"
    "  vsapack append HOST OUT FOLDER\n"
    "  vsapack append HOST OUT --list LISTFILE\n"
    "  vsapack check SETFOLDER\n"
    "  vsapack bundle SETFOLDER OUT.exe\n"
    "  vsapack list ARCHIVE\n"
    "  vsapack test ARCHIVE\n"
    "Folder members are named by their relative path; folders named $Keep, $NoCreate,\n"
    "$DirOnly or $MyDocuments become placement prefixes. A list file has one\n"
    "NAME|SOURCE line per member.\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

// One "vsapack: " line per line of the message.
int Fail(const std::string& message) {
    for (size_t start = 0; start <= message.size();) {
        size_t end = std::min(message.find('\n', start), message.size());
        std::fprintf(stderr, "vsapack: %s\n", message.substr(start, end - start).c_str());
        start = end + 1;
    }
    return 1;
}

// FOLDER or --list LISTFILE, starting at args[at].
bool Collect(const std::vector<std::string>& args, size_t at, std::vector<PackEntry>* entries, std::string* error) {
    if (args.size() == at + 2 && args[at] == "--list") return ReadListFile(args[at + 1], entries, error);
    return CollectFolder(args[at], entries, error);
}

int Pack(const std::vector<std::string>& args, const std::string& host, const std::string& output, size_t at) {
    std::vector<PackEntry> entries;
    std::string error;
    if (!Collect(args, at, &entries, &error) || !CheckPackEntries(entries, args.back(), &error) ||
        !PackArchive(output, host, entries, &error))
        return Fail(error);
    std::printf("%s: %zu %s\n", output.c_str(), entries.size(), entries.size() == 1 ? "member" : "members");
    return 0;
}

// Findings, then "N errors, M warnings"; errors fail.
int Check(const std::string& setFolder) {
    SetReport report;
    CheckSet(setFolder, report);
    for (const std::string& line : report.Lines()) std::printf("%s\n", line.c_str());
    std::printf("%s: %s\n", setFolder.c_str(), report.Summary().c_str());
    return report.Errors() ? 1 : 0;
}

int Bundle(const std::string& setFolder, const std::string& output) {
    SetReport report;
    std::string summary, error;
    bool bundled = PackBundle(setFolder, output, report, &summary, &error);
    for (const std::string& line : report.Lines()) std::fprintf(stderr, "%s\n", line.c_str());
    if (!bundled) return Fail(error);
    std::printf("%s\n", summary.c_str());
    return 0;
}

int Inspect(const std::string& archive, bool list) {
    std::string summary, error;
    if (!InspectArchive(archive, list, &summary, &error)) return Fail(archive + ": " + error);
    std::printf("%s%s\n", list ? "" : "OK: ", summary.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Names are stored as UTF-8, and SETUP.DAT is judged as written, never converted.
    SetNameCodePage(kCodePageUtf8);
    SetSystemAnsiCodePage(kCodePageUtf8);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return Usage();
    const std::string& command = args[0];
    bool listed = args.size() >= 2 && args[args.size() - 2] == "--list";
    if (command == "create" && args.size() == (listed ? 4u : 3u)) return Pack(args, "", args[1], 2);
    if (command == "append" && args.size() == (listed ? 5u : 4u)) return Pack(args, args[1], args[2], 3);
    if (command == "check" && args.size() == 2) return Check(args[1]);
    if (command == "bundle" && args.size() == 3) return Bundle(args[1], args[2]);
    if (command == "list" && args.size() == 2) return Inspect(args[1], true);
    if (command == "test" && args.size() == 2) return Inspect(args[1], false);
    return Usage();
}
