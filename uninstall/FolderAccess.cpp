#include "uninstall/FolderAccess.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

namespace {

// Rights that let the holder rename, replace or delete the folder or an
// entry in it, or take those rights.
constexpr ACCESS_MASK kChangingRights =
    DELETE | FILE_DELETE_CHILD | WRITE_DAC | WRITE_OWNER | GENERIC_ALL | GENERIC_WRITE | MAXIMUM_ALLOWED;

const char kTrustedInstaller[] = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

bool IsSid(PSID sid, const char* text) {
    PSID other = nullptr;
    if (!ConvertStringSidToSidA(text, &other)) return false;
    bool same = EqualSid(sid, other);
    LocalFree(other);
    return same;
}

bool IsAdministrative(PSID sid) {
    return IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || IsWellKnownSid(sid, WinLocalSystemSid) ||
           IsSid(sid, kTrustedInstaller);
}

// Inherit-only entries apply to what is created inside, not to the folder.
bool GrantsChangeToOthers(PACL list) {
    for (DWORD i = 0; i < list->AceCount; ++i) {
        ACE_HEADER* header = nullptr;
        if (!GetAce(list, i, reinterpret_cast<void**>(&header))) return true;
        if (header->AceFlags & INHERIT_ONLY_ACE) continue;
        if (header->AceType == ACCESS_DENIED_ACE_TYPE) continue;
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) return true;  // not understood: assume the worst
        auto* allowed = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
        PSID sid = &allowed->SidStart;
        if ((allowed->Mask & kChangingRights) && !IsAdministrative(sid) &&
            !IsWellKnownSid(sid, WinCreatorOwnerSid))
            return true;
    }
    return false;
}

}  // namespace

bool UsersCanChangeFolder(const char* folder) {
    PSID owner = nullptr;
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(folder, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                              &owner, nullptr, &list, nullptr, &descriptor) != ERROR_SUCCESS)
        return true;
    // No access list at all lets everyone do anything; an owner may always
    // rewrite the list.
    bool changeable = !list || !owner || !IsAdministrative(owner) || GrantsChangeToOthers(list);
    LocalFree(descriptor);
    return changeable;
}
