#pragma once
// What goes into an archive: member names and the files that hold their data.
#include <string>
#include <vector>

struct PackEntry {
    std::string name;    // relative, backslash-separated, prefixes included
    std::string source;  // file to read the data from
};

// Every file under folder, sorted by member name so output does not depend on
// directory order. Links are followed and named by where the link stands,
// not by its target; a link that leads nowhere, or to a folder that holds it
// (which would never end), is refused. False with a message on failure.
bool CollectFolder(const std::string& folder, std::vector<PackEntry>* entries, std::string* error);

// Lines "NAME|SOURCE"; blank lines and lines starting with '#' are skipped;
// relative sources are taken from the list file's folder.
bool ReadListFile(const std::string& listFile, std::vector<PackEntry>* entries, std::string* error);

// What the packer refuses before writing anything: no entries at all (input
// names the folder or list file), names
// Windows cannot create as written or the setup would refuse, and two
// members that would land on the same file. Every problem, one per line.
bool CheckPackEntries(const std::vector<PackEntry>& entries, const std::string& input, std::string* error);
