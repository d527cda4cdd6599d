#pragma once
#include "ui/WizardPage.h"

// Shows the license file; skips itself when no license is configured.
class LicensePage : public WizardPage {
public:
    using WizardPage::WizardPage;
    void OnInitDialog() override;
    BOOL OnNotify(NMHDR* header, WPARAM controlId) override;

private:
    void LoadLicenseText();
};
