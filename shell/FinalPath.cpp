#include "shell/FinalPath.h"

#include "setup/PathHelpers.h"

namespace {

std::string WithoutTrailingBackslash(std::string path) {
    // "C:\" keeps its backslash: "C:" alone names a drive's current folder.
    if (path.size() > 3 && EndsWithChar(path.c_str(), path.size(), '\\')) path.pop_back();
    return path;
}

}  // namespace

std::string PlainFinalPath(const std::string& finalPath) {
    if (finalPath.compare(0, 8, "\\\\?\\UNC\\") == 0) return "\\\\" + finalPath.substr(8);
    if (finalPath.compare(0, 4, "\\\\?\\") == 0) return finalPath.substr(4);
    return finalPath;
}

std::string ExpectedFinalPath(const std::string& folder, const std::string& folderFinal, const std::string& path) {
    std::string base = WithoutTrailingBackslash(folder);
    if (base.empty() || path.size() < base.size() || CompareNoCaseN(path.c_str(), base.c_str(), base.size()) != 0)
        return std::string();
    if (!IsCharBoundary(path.c_str(), base.size())) return std::string();  // the folder ends inside a character
    std::string rest = path.substr(base.size());
    bool baseEnds = EndsWithChar(base.c_str(), base.size(), '\\');
    if (!rest.empty() && rest[0] != '\\' && !baseEnds) return std::string();  // "C:\Gamesx"
    std::string expected = WithoutTrailingBackslash(PlainFinalPath(folderFinal));
    bool expectedEnds = EndsWithChar(expected.c_str(), expected.size(), '\\');
    if (!rest.empty() && rest[0] == '\\' && expectedEnds) rest.erase(0, 1);
    if (!rest.empty() && rest[0] != '\\' && !expected.empty() && !expectedEnds) expected += '\\';
    return expected + rest;
}

bool SameFinalPath(const std::string& a, const std::string& b) {
    return EqualsNoCase(WithoutTrailingBackslash(PlainFinalPath(a)).c_str(),
                        WithoutTrailingBackslash(PlainFinalPath(b)).c_str());
}
