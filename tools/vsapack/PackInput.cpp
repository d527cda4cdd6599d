#include "PackInput.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

static std::string MemberName(const fs::path& relative) {
    std::string name = relative.generic_string();
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

bool CollectFolder(const std::string& folder, std::vector<PackEntry>* entries, std::string* error) {
    std::error_code code;
    if (!fs::is_directory(folder, code)) {
        *error = "not a folder: " + folder;
        return false;
    }
    fs::recursive_directory_iterator it(folder, code), end;
    for (; !code && it != end; it.increment(code)) {
        if (it->is_directory(code)) continue;
        if (!it->is_regular_file(code)) {
            *error = "not a regular file: " + it->path().string();
            return false;
        }
        entries->push_back({MemberName(fs::relative(it->path(), folder)), it->path().string()});
    }
    if (code) {
        *error = "cannot read folder " + folder + ": " + code.message();
        return false;
    }
    std::sort(entries->begin(), entries->end(),
              [](const PackEntry& a, const PackEntry& b) { return a.name < b.name; });
    return true;
}

static std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
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
        fs::path source = Trim(text.substr(bar + 1));
        if (source.is_relative()) source = base / source;
        entries->push_back({Trim(text.substr(0, bar)), source.string()});
    }
    return true;
}
