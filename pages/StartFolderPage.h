#pragma once
#include "setup/SetupString.h"
#include "ui/WizardPage.h"

// Asks for the Start Menu folder: typed, or picked from the existing ones.
class StartFolderPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(NMHDR* header, WPARAM controlId) override;

    bool listFilled = false;

private:
    void FillFolderList();
    void CopySelectedName();
    SetupString Refusal(const char* name) const;
    BOOL OnNext();
};
