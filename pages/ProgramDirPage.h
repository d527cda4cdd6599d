#pragma once
#include "ui/WizardPage.h"

// Shows the destination directory; Browse changes it. Next checks it, the
// wizard's own proposal too, and asks before a chosen one is created.
class ProgramDirPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    void OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(NMHDR* header, WPARAM controlId) override;

    bool dirChanged = false;

private:
    void Browse();
    // True when the wizard may leave the page.
    bool CheckDestination();
};
