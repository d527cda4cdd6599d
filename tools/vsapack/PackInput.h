#pragma once
// What goes into an archive: member names and the files that hold their data.
#include <string>
#include <vector>

struct PackEntry {
    std::string name;    // relative, backslash-separated, prefixes included
    std::string source;  // file to read the data from
};

// Every file under folder, sorted by member name so output does not depend on
// directory order. False with a message on failure.
bool CollectFolder(const std::string& folder, std::vector<PackEntry>* entries, std::string* error);

// Lines "NAME|SOURCE"; blank lines and lines starting with '#' are skipped;
// relative sources are taken from the list file's folder.
bool ReadListFile(const std::string& listFile, std::vector<PackEntry>* entries, std::string* error);
