#pragma once
#include <windows.h>
#include <prsht.h>

#include <vector>

#include "ui/PropertyPage.h"

// One page of a test sheet: the page object (owned by the test) and its
// dialog template and title string.
struct SheetPage {
    PropertyPage* page;
    int dialogId;
    int titleId;
};

// A wizard-style property sheet run modelessly on the test thread, so that
// a test can press its buttons and look at its pages between messages.
class WizardSheet {
public:
    WizardSheet() = default;
    ~WizardSheet() { Close(); }
    WizardSheet(const WizardSheet&) = delete;
    WizardSheet& operator=(const WizardSheet&) = delete;

    // Creates the sheet showing the first page and pumps until it settles.
    bool Open(HINSTANCE instance, const std::vector<SheetPage>& pages, const char* caption = "Test Setup");
    void Close();

    HWND window() const { return sheet_; }
    HWND CurrentPage() const;
    int CurrentIndex() const;  // -1 when the sheet has no current page
    HWND PageItem(int controlId) const { return GetDlgItem(CurrentPage(), controlId); }

    // Posts PSM_PRESSBUTTON (PSBTN_NEXT, PSBTN_BACK, ...) and pumps until
    // the sheet is idle again.
    void Press(int button);
    // Back, Next and Finish as the user sees them: present, visible, enabled.
    bool IsButtonEnabled(int button) const;

    static constexpr int kBackId = 0x3023;
    static constexpr int kNextId = 0x3024;
    static constexpr int kFinishId = 0x3025;

private:
    HWND sheet_ = nullptr;
    std::vector<PROPSHEETPAGEA> records_;
};
