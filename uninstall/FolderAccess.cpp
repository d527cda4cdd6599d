#include "uninstall/FolderAccess.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include "uninstall/FolderAccessRules.h"

namespace {

static_assert(kChangingRights == (DELETE | FILE_DELETE_CHILD | WRITE_DAC | WRITE_OWNER | GENERIC_ALL | GENERIC_WRITE |
                                  MAXIMUM_ALLOWED),
              "the rule's rights are Windows' own");

const char kTrustedInstaller[] = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

bool IsSid(PSID sid, const char* text) {
    PSID other = nullptr;
    if (!ConvertStringSidToSidA(text, &other)) return false;
    bool same = EqualSid(sid, other);
    LocalFree(other);
    return same;
}

Trustee TrusteeOf(PSID sid) {
    if (!sid || !IsValidSid(sid)) return Trustee::Other;
    if (IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || IsWellKnownSid(sid, WinLocalSystemSid) ||
        IsSid(sid, kTrustedInstaller))
        return Trustee::Administrative;
    return IsWellKnownSid(sid, WinCreatorOwnerSid) ? Trustee::CreatorOwner : Trustee::Other;
}

AccessEntry EntryOf(const ACE_HEADER* header) {
    AccessEntry entry{false, false, (header->AceFlags & INHERIT_ONLY_ACE) != 0, Trustee::Other, 0};
    if (header->AceType == ACCESS_ALLOWED_ACE_TYPE || header->AceType == ACCESS_DENIED_ACE_TYPE) {
        // Both kinds share their layout: header, mask, then the SID.
        const auto* ace = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header);
        entry.understood = true;
        entry.allows = header->AceType == ACCESS_ALLOWED_ACE_TYPE;
        entry.trustee = TrusteeOf(const_cast<DWORD*>(&ace->SidStart));
        entry.mask = ace->Mask;
    }
    return entry;
}

}  // namespace

bool UsersCanChangeFolder(const char* folder) {
    PSID owner = nullptr;
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    FolderAccessFacts facts;
    if (GetNamedSecurityInfoA(folder, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                              &owner, nullptr, &list, nullptr, &descriptor) == ERROR_SUCCESS) {
        facts.known = true;
        facts.hasList = list != nullptr;
        facts.owner = TrusteeOf(owner);
        for (DWORD i = 0; list && i < list->AceCount; ++i) {
            ACE_HEADER* header = nullptr;
            if (GetAce(list, i, reinterpret_cast<void**>(&header)))
                facts.entries.push_back(EntryOf(header));
            else
                facts.entries.push_back(AccessEntry{false, false, false, Trustee::Other, 0});
        }
        LocalFree(descriptor);
    }
    return UsersCanChange(facts);
}
