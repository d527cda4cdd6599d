#pragma once
// Whether an ordinary user could change a folder on the way to a file: the
// rule, apart from reading the folder's security on Windows.
#include <cstdint>
#include <vector>

enum class Trustee {
    Administrative,  // Administrators, SYSTEM, TrustedInstaller
    CreatorOwner,    // stands for whoever creates an item inside; grants nothing on the folder
    Other,           // anybody else: users, groups, everyone
};

struct AccessEntry {
    bool understood;   // an allowing or denying entry of the plain kind
    bool allows;       // false: it denies (and so cannot grant anything)
    bool inheritOnly;  // applies to what is created inside, not to the folder
    Trustee trustee;
    uint32_t mask;     // ACCESS_MASK
};

struct FolderAccessFacts {
    bool known = false;    // the folder's security could be read
    bool hasList = false;  // no access list at all lets everyone do anything
    Trustee owner = Trustee::Other;
    std::vector<AccessEntry> entries;
};

// Rights that rename, replace or delete the folder or an entry in it, or
// give the holder those rights: DELETE, FILE_DELETE_CHILD, WRITE_DAC,
// WRITE_OWNER, GENERIC_ALL, GENERIC_WRITE, MAXIMUM_ALLOWED.
constexpr uint32_t kChangingRights = 0x00010000u | 0x0040u | 0x00040000u | 0x00080000u | 0x10000000u |
                                     0x40000000u | 0x02000000u;

// True unless the folder is known to be owned by an administrative account
// and no other account is allowed a changing right on it. An owner may
// always rewrite the list; an entry not understood counts as the worst.
bool UsersCanChange(const FolderAccessFacts& facts);
