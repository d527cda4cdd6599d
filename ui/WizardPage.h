#pragma once
#include "ui/PropertyPage.h"

class InstallSettings;

// What every page of this wizard shares: the settings, Enter as Next and
// Escape as Cancel, the sheet recorded on activation (and centred once), and
// the "Exit Setup" question on cancel.
class WizardPage : public PropertyPage {
public:
    explicit WizardPage(InstallSettings* installSettings) : settings(installSettings) {}

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(NMHDR* header, WPARAM controlId) override;

    HWND wizardSheet = nullptr;
    InstallSettings* settings;
};

// For tests: forget that a sheet was centred in this process.
void ResetSheetCentredFlag();
