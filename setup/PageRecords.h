#pragma once
#include <windows.h>
#include <prsht.h>

class PropertyPage;

// The page records handed to PropertySheetA with PSH_PROPSHEETPAGE. The sheet
// finds record n+1 by adding record n's dwSize, so the records lie back to
// back at the size they declare (PROPSHEETPAGEA_V2_SIZE), not at
// sizeof(PROPSHEETPAGEA), which includes the activation context.
class PageRecords {
public:
    static constexpr int kCapacity = 7;

    // False when all places are taken.
    bool Add(PropertyPage* page, int dialogId, int titleId, HINSTANCE instance);
    int Count() const { return count_; }
    const PROPSHEETPAGEA* Data() const { return Record(0); }
    const PROPSHEETPAGEA* Record(int index) const;

private:
    PROPSHEETPAGEA* Record(int index);

    int count_ = 0;
    // Packed records need less than this; the slack lets the last one be
    // addressed as a whole structure.
    alignas(PROPSHEETPAGEA) BYTE bytes_[(kCapacity + 1) * sizeof(PROPSHEETPAGEA)] = {};
};
