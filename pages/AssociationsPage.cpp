#include "pages/AssociationsPage.h"

#include "resource.h"
#include "setup/InstallSettings.h"

void AssociationsPage::OnInitDialog() {
    CenterOnDesktop();
    CheckDlgButton(window, IDC_ASSOC_YES, BST_CHECKED);
    CheckDlgButton(window, IDC_ASSOC_NO, BST_UNCHECKED);
}

// Only Next stores the choice; Back leaves the settings as they were.
BOOL AssociationsPage::OnNotify(NMHDR* header, WPARAM controlId) {
    if (header->code != static_cast<UINT>(PSN_WIZNEXT)) return WizardPage::OnNotify(header, controlId);
    if (IsDlgButtonChecked(window, IDC_ASSOC_YES) == BST_CHECKED) {
        settings->options |= OptionCreateAssociations;
    } else {
        settings->options &= ~static_cast<DWORD>(OptionCreateAssociations);
    }
    return FALSE;
}
