#pragma once
#include "ui/WizardPage.h"

// The summary of the choices, rebuilt on every visit.
class ReadyPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    BOOL OnNotify(NMHDR* header, WPARAM controlId) override;

private:
    void BuildSummary();
};
