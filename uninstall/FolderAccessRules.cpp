#include "uninstall/FolderAccessRules.h"

bool UsersCanChange(const FolderAccessFacts& facts) {
    if (!facts.known || !facts.hasList || facts.owner != Trustee::Administrative) return true;
    for (const AccessEntry& entry : facts.entries) {
        if (!entry.understood) return true;
        if (!entry.allows || entry.inheritOnly || entry.trustee != Trustee::Other) continue;
        if (entry.mask & kChangingRights) return true;
    }
    return false;
}
