#include "PackInput.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "MemberNames.h"
#include "archive/ArchiveWriter.h"
#include "setup/TextDecoding.h"

namespace fs = std::filesystem;

namespace {

struct FolderWalk {
    std::vector<PackEntry>* entries;
    std::vector<fs::path> open;  // the folders being walked, resolved: a link back to one of them loops
    std::string* error;

    bool Fail(const std::string& message) {
        *error = message;
        return false;
    }
    bool Walk(const fs::path& folder, const std::string& prefix);
    bool Take(const fs::directory_entry& child, const std::string& prefix);
};

bool FolderWalk::Walk(const fs::path& folder, const std::string& prefix) {
    std::error_code code;
    fs::path resolved = fs::canonical(folder, code);
    if (code) return Fail("cannot read folder " + folder.string() + ": " + code.message());
    if (std::find(open.begin(), open.end(), resolved) != open.end())
        return Fail(folder.string() + " is a link to a folder that holds it: it would be packed without end");
    open.push_back(resolved);
    std::vector<fs::directory_entry> children;
    for (fs::directory_iterator it(folder, code), end; !code && it != end; it.increment(code)) children.push_back(*it);
    if (code) return Fail("cannot read folder " + folder.string() + ": " + code.message());
    for (const fs::directory_entry& child : children) {
        if (!Take(child, prefix)) return false;
    }
    open.pop_back();
    return true;
}

// A link counts as what it leads to, under its own name.
bool FolderWalk::Take(const fs::directory_entry& child, const std::string& prefix) {
    // UTF-8 from the wide names on Windows; the file system's own bytes elsewhere.
    std::string leaf = child.path().filename().u8string();
    if (!IsValidUtf8(leaf.data(), leaf.size()))
        return Fail(child.path().string() + ": the name is not valid UTF-8, which names are stored in; rename it");
    if (leaf.find('\\') != std::string::npos)
        return Fail(child.path().string() + ": the name holds a backslash, which Windows reads as a folder separator");
    std::error_code code;
    fs::file_status status = child.status(code);  // follows links
    if (!fs::exists(status))
        return Fail(child.path().string() + ": a link that leads nowhere (" +
                    (code ? code.message() : std::string("no such file")) + ")");
    if (fs::is_directory(status)) return Walk(child.path(), prefix + leaf + "\\");
    if (!fs::is_regular_file(status)) return Fail("not a regular file: " + child.path().string());
    entries->push_back({prefix + leaf, child.path().string()});
    return true;
}

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

}  // namespace

bool CollectFolder(const std::string& folder, std::vector<PackEntry>* entries, std::string* error) {
    std::error_code code;
    if (!fs::is_directory(folder, code)) {
        *error = "not a folder: " + folder;
        return false;
    }
    FolderWalk walk{entries, {}, error};
    if (!walk.Walk(folder, "")) return false;
    std::sort(entries->begin(), entries->end(),
              [](const PackEntry& a, const PackEntry& b) { return a.name < b.name; });
    return true;
}

bool ReadListFile(const std::string& listFile, std::vector<PackEntry>* entries, std::string* error) {
    std::ifstream in(listFile, std::ios::binary);
    if (!in) {
        *error = "cannot open list file: " + listFile;
        return false;
    }
    fs::path base = fs::path(listFile).parent_path();
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::string text = Trim(line);
        if (text.empty() || text[0] == '#') continue;
        size_t bar = text.find('|');
        if (bar == std::string::npos) {
            *error = listFile + ":" + std::to_string(number) + ": expected NAME|SOURCE";
            return false;
        }
        std::string name = Trim(text.substr(0, bar));
        if (!IsValidUtf8(name.data(), name.size())) {
            *error = listFile + ":" + std::to_string(number) + ": the name is not valid UTF-8, which names are stored in";
            return false;
        }
        fs::path source = Trim(text.substr(bar + 1));
        if (source.is_relative()) source = base / source;
        entries->push_back({name, source.string()});
    }
    return true;
}

bool CheckPackEntries(const std::vector<PackEntry>& entries, const std::string& input, std::string* error) {
    if (entries.empty()) {
        *error = "nothing to pack: " + input + " holds no files (empty folders are not stored)";
        return false;
    }
    std::vector<std::string> problems, names;
    for (const PackEntry& entry : entries) {
        std::string problem = CheckMemberName(entry.name.c_str());
        if (!problem.empty()) problems.push_back(problem + " (from " + entry.source + ")");
        names.push_back(entry.name);
    }
    for (const auto& pair : SamePlaceMembers(names)) {
        problems.push_back("members \"" + names[pair.first] + "\" and \"" + names[pair.second] +
                           "\" name one file for Windows, which ignores letter case, takes / for \\ and writes "
                           "both without their placement prefixes");
    }
    for (const std::string& problem : problems) *error += (error->empty() ? "" : "\n") + problem;
    return problems.empty();
}
