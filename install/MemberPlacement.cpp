#include "install/MemberPlacement.h"

#include <cstring>

#include "setup/NameChars.h"
#include "setup/NameRules.h"
#include "setup/PathHelpers.h"

namespace {

struct PrefixRule {
    const char* text;
    bool clearsOverwrite;
    bool clearsCreate;
    bool myDocuments;
};

const PrefixRule kPrefixes[] = {
    {"$Keep\\", true, false, false},
    {"$NoCreate\\", false, true, false},
    {"$DirOnly\\", true, true, false},
    {"$MyDocuments\\", false, false, true},
};

// Each level's parent is checked before the level is reported (and so
// perhaps created), the deepest level before the file goes into it: nothing
// is created through a link that stands in the way.
int ReportDirectories(const PlacementContext& placement, char* path, size_t pathLength, char* name) {
    size_t reportedLength = 0;  // of the name, up to the last level reported
    for (char* at = name; *at; at = const_cast<char*>(NextChar(at))) {
        if (*at == '/') *at = '\\';
        if (*at != '\\') continue;
        size_t partLength = static_cast<size_t>(at - name);
        if (reportedLength) {
            path[pathLength + reportedLength] = '\0';
            int result = placement.target->CheckFolder(path);
            if (result != ExtractOk) return result;
        }
        std::memcpy(path + pathLength, name, partLength);
        path[pathLength + partLength] = '\0';
        if (!placement.callbacks->onDirectory) return ExtractNoDirectoryHandler;
        if (placement.callbacks->onDirectory(placement.context, path) != 0) return ExtractDirectoryError;
        reportedLength = partLength;
    }
    int result = reportedLength ? placement.target->CheckFolder(path) : ExtractOk;
    path[pathLength] = '\0';
    return result;
}

}  // namespace

const char* StripPlacementPrefixes(const char* name, PlacementFlags* flags, bool* myDocuments) {
    bool matched = true;
    while (matched) {
        matched = false;
        for (const PrefixRule& rule : kPrefixes) {
            size_t length = std::strlen(rule.text);
            if (std::strlen(name) <= length || CompareNoCaseN(name, rule.text, length) != 0) continue;
            if (rule.clearsOverwrite) flags->overwrite = false;
            if (rule.clearsCreate) flags->create = false;
            if (rule.myDocuments) *myDocuments = true;
            name += length;
            matched = true;
            break;
        }
    }
    return name;
}

bool IsSafeMemberPath(const char* path) { return CheckRelativePath(path, false) == NameOk; }

int PlaceMember(const PlacementContext& placement, char* name, bool* outputOpen) {
    *outputOpen = false;
    char path[kPathBufferSize];
    if (!CopyText(path, sizeof path, placement.destination)) return ExtractCreateError;

    PlacementFlags flags;
    bool myDocuments = false;
    const char* rest = StripPlacementPrefixes(name, &flags, &myDocuments);
    std::memmove(name, rest, std::strlen(rest) + 1);
    if (myDocuments && placement.target->GetDocumentsFolder(path) != ExtractOk) return ExtractCreateError;
    if (!IsSafeMemberPath(name)) return ExtractReadError;

    size_t pathLength = std::strlen(path);
    bool needsSeparator = !EndsWithChar(path, pathLength, '\\');
    if (pathLength + (needsSeparator ? 1 : 0) + std::strlen(name) + 1 > sizeof path) return ExtractCreateError;
    int result = placement.target->TrustFolder(path);
    if (result != ExtractOk) return result;
    if (needsSeparator) path[pathLength++] = '\\';
    path[pathLength] = '\0';

    result = ReportDirectories(placement, path, pathLength, name);
    if (result != ExtractOk) return result;
    std::strcpy(path + pathLength, name);  // length checked above

    if (!flags.overwrite && placement.target->FileExists(path)) return ExtractOk;
    // A file that is there already may be the user's own: the caller decides.
    const ExtractCallbacks& callbacks = *placement.callbacks;
    if (flags.overwrite && callbacks.onExistingFile && placement.target->FileExists(path) &&
        !callbacks.onExistingFile(placement.context, path))
        return ExtractOk;
    // No file name (the destination itself, or a folder): nothing to create, nothing to record.
    size_t nameLength = std::strlen(name);
    if (nameLength == 0 || EndsWithChar(name, nameLength, '\\')) return ExtractCreateError;
    if (placement.target->IsLink(path)) return ExtractLinkRefused;
    // Reported before it exists: a file is created only once it is recorded.
    if (placement.callbacks->onFile && placement.callbacks->onFile(placement.context, path, flags.overwrite ? 0 : 1))
        return ExtractWriteError;
    if (flags.create) {
        result = placement.target->CreateOutput(path);
        if (result != ExtractOk) return result;
        *outputOpen = true;
    }
    return ExtractOk;
}
