#include "support/WizardSheet.h"

#include "support/MessagePump.h"

bool WizardSheet::Open(HINSTANCE instance, const std::vector<SheetPage>& pages, const char* caption) {
    records_.assign(pages.size(), PROPSHEETPAGEA{});
    for (size_t i = 0; i < pages.size(); ++i)
        PropertyPage::FillPageRecord(&records_[i], pages[i].dialogId, pages[i].titleId, pages[i].page, instance);
    PROPSHEETHEADERA header = {};
    header.dwSize = PROPSHEETHEADERA_V1_SIZE;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD | PSH_MODELESS;
    header.hInstance = instance;
    header.pszCaption = caption;
    header.nPages = static_cast<UINT>(records_.size());
    header.ppsp = records_.data();
    sheet_ = reinterpret_cast<HWND>(PropertySheetA(&header));
    if (!sheet_ || sheet_ == reinterpret_cast<HWND>(-1)) {
        sheet_ = nullptr;
        return false;
    }
    SetPumpSheet(sheet_);
    PumpPending();
    return true;
}

void WizardSheet::Close() {
    if (!sheet_) return;
    if (IsWindow(sheet_)) DestroyWindow(sheet_);
    SetPumpSheet(nullptr);
    sheet_ = nullptr;
    PumpPending(500);
}

HWND WizardSheet::CurrentPage() const {
    return reinterpret_cast<HWND>(SendMessageA(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0));
}

int WizardSheet::CurrentIndex() const {
    HWND page = CurrentPage();
    if (!page) return -1;
    return static_cast<int>(SendMessageA(sheet_, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0));
}

void WizardSheet::Press(int button) {
    PostMessageA(sheet_, PSM_PRESSBUTTON, button, 0);
    PumpPending();
}

bool WizardSheet::IsButtonEnabled(int button) const {
    HWND control = GetDlgItem(sheet_, button);
    return control && IsWindowVisible(control) && IsWindowEnabled(control);
}
