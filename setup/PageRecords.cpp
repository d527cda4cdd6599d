#include "setup/PageRecords.h"

#include "ui/PropertyPage.h"

// PROPSHEETPAGEA_V2_SIZE ends on a pointer field (48 bytes on i686, 88 on
// x86_64), so packed records stay aligned; it is not a constant expression.
bool PageRecords::Add(PropertyPage* page, int dialogId, int titleId, HINSTANCE instance) {
    if (count_ == kCapacity) return false;
    PropertyPage::FillPageRecord(Record(count_), dialogId, titleId, page, instance);
    ++count_;
    return true;
}

const PROPSHEETPAGEA* PageRecords::Record(int index) const {
    return reinterpret_cast<const PROPSHEETPAGEA*>(bytes_ + index * PROPSHEETPAGEA_V2_SIZE);
}

PROPSHEETPAGEA* PageRecords::Record(int index) {
    return reinterpret_cast<PROPSHEETPAGEA*>(bytes_ + index * PROPSHEETPAGEA_V2_SIZE);
}
