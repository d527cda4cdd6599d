#pragma once
#include "ui/WizardPage.h"

// First page: greets the user with the application's name; only Next.
class WelcomePage : public WizardPage {
public:
    using WizardPage::WizardPage;
    void OnInitDialog() override;
    BOOL OnNotify(NMHDR* header, WPARAM controlId) override;
};
