#include "ui/PropertyPage.h"

#include <cstdlib>

BOOL PropertyPage::InitialFocus(WPARAM) {
    if (focusControl == 0) return TRUE;
    SetFocus(GetDlgItem(window, focusControl));
    focusControl = 0;
    return FALSE;
}

INT_PTR PropertyPage::DialogProc(HWND dialogWindow, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == PSM_QUERYSIBLINGS) {
        SetMessageResult(OnQuerySiblings(wParam, lParam));
        return TRUE;
    }
    return Dialog::DialogProc(dialogWindow, message, wParam, lParam);
}

LRESULT PropertyPage::SiblingAnswer(int) { return 0; }

LRESULT PropertyPage::OnQuerySiblings(WPARAM wParam, LPARAM) {
    switch (wParam) {
        case 1:
            OnInitDialog();
            SetModified(FALSE);
            return 0;
        case 2: return SiblingAnswer(0);
        default: return 0;
    }
}

void PropertyPage::SetModified(BOOL modified) {
    SendMessageA(sheet, modified ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(window), 0);
}

void PropertyPage::SetMessageResult(LONG_PTR result) { SetWindowLongPtrA(window, DWLP_MSGRESULT, result); }

void PropertyPage::FillPageRecord(PROPSHEETPAGEA* record, int dialogId, int titleId, PropertyPage* page,
                                  HINSTANCE instance) {
    ZeroMemory(record, PROPSHEETPAGEA_V2_SIZE);
    record->dwSize = PROPSHEETPAGEA_V2_SIZE;  // no activation context: the record ends before hActCtx
    record->dwFlags = PSP_USETITLE;
    record->hInstance = instance;
    record->pszTemplate = MAKEINTRESOURCEA(dialogId);
    record->pszTitle = MAKEINTRESOURCEA(titleId);
    record->pfnDlgProc = PageDialogProc;
    record->lParam = reinterpret_cast<LPARAM>(page);
}

INT_PTR CALLBACK PropertyPage::PageDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        PropertyPage* page = reinterpret_cast<PropertyPage*>(reinterpret_cast<PROPSHEETPAGEA*>(lParam)->lParam);
        page->window = window;
        RegisterDialog(page);
        return page->DialogProc(window, message, wParam, lParam);
    }
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(PSN_SETACTIVE)) {
        // Every page object in the registry came through the branch above.
        PropertyPage* page = static_cast<PropertyPage*>(FindDialog(window));
        if (page) page->sheet = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
    }
    return SharedDialogProc(window, message, wParam, lParam);
}

PageRecordArray::PageRecordArray(int count) : count_(count > 0 ? count : 0) {
    // Room for a whole PROPSHEETPAGEA behind the last record keeps every At() a valid object address.
    size_t bytes = PROPSHEETPAGEA_V2_SIZE * static_cast<size_t>(count_) + sizeof(PROPSHEETPAGEA);
    bytes_ = static_cast<unsigned char*>(std::calloc(1, bytes));
    if (!bytes_) std::abort();  // small allocations are assumed to succeed
}

PageRecordArray::~PageRecordArray() { std::free(bytes_); }

PROPSHEETPAGEA* PageRecordArray::At(int index) {
    return reinterpret_cast<PROPSHEETPAGEA*>(bytes_ + PROPSHEETPAGEA_V2_SIZE * static_cast<size_t>(index));
}
