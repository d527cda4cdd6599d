#pragma once
#include <windows.h>
#include <prsht.h>

#include "ui/Dialog.h"

// A Dialog living as a page inside a property sheet.
class PropertyPage : public Dialog {
public:
    PropertyPage() = default;

    BOOL InitialFocus(WPARAM proposedFocus) override;
    INT_PTR DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual LRESULT SiblingAnswer(int question);
    virtual LRESULT OnQuerySiblings(WPARAM wParam, LPARAM lParam);

    // PSM_CHANGED (on) or PSM_UNCHANGED (off) to the sheet.
    void SetModified(BOOL modified);
    // Stores a notification's answer in the page's message-result slot.
    void SetMessageResult(LONG_PTR result);

    static void FillPageRecord(PROPSHEETPAGEA* record, int dialogId, int titleId, PropertyPage* page,
                               HINSTANCE instance);
    static INT_PTR CALLBACK PageDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND sheet = nullptr;
    int focusControl = 0;
};

// Page records laid out as PropertySheetA reads them with PSH_PROPSHEETPAGE:
// it steps from record to record by each one's dwSize (PROPSHEETPAGEA_V2_SIZE),
// so a plain PROPSHEETPAGEA[] (whose elements also hold hActCtx) would make
// it read every page after the first from the wrong place.
class PageRecordArray {
public:
    explicit PageRecordArray(int count);
    ~PageRecordArray();
    PageRecordArray(const PageRecordArray&) = delete;
    PageRecordArray& operator=(const PageRecordArray&) = delete;

    // Only the first PROPSHEETPAGEA_V2_SIZE bytes of a record may be used.
    PROPSHEETPAGEA* At(int index);
    // For PROPSHEETHEADERA::ppsp.
    PROPSHEETPAGEA* Data() { return At(0); }
    int Count() const { return count_; }

private:
    unsigned char* bytes_;
    int count_;
};
