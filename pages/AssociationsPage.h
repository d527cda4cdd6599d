#pragma once
#include "ui/WizardPage.h"

// Asks whether to create the Explorer file type associations.
class AssociationsPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    void OnInitDialog() override;
    BOOL OnNotify(NMHDR* header, WPARAM controlId) override;
};
