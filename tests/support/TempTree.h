#pragma once
#include <string>

// A fresh directory under the Windows temporary folder, removed with all its
// contents when the object goes away.
class TempTree {
public:
    explicit TempTree(const char* tag = "vsetup");
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& root() const { return root_; }
    std::string Path(const std::string& relative) const { return root_ + "\\" + relative; }
    // Create a directory (with its parents) or a file below the root; return the full path.
    std::string MakeDir(const std::string& relative) const;
    std::string MakeFile(const std::string& relative, const std::string& content) const;

private:
    std::string root_;
};

// Removes a directory tree (clearing read-only, hidden and system bits first).
void RemoveTree(const std::string& path);
