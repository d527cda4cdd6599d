#include "pages/WelcomePage.h"

#include "resource.h"
#include "setup/InstallSettings.h"

namespace {

// Sized to the text, so that no application name is ever cut.
void SetTextAroundName(HWND page, int controlId, const char* before, const char* name, const char* after) {
    SetupString text(before);
    text.Append(name);
    text.Append(after);
    SetDlgItemTextA(page, controlId, text.Get());
}

}  // namespace

void WelcomePage::OnInitDialog() {
    CenterOnDesktop();
    const char* name = settings->appName.Get();
    SetTextAroundName(window, IDC_WELCOME_HEADING, "Welcome to ", name, " Setup!");
    SetTextAroundName(window, IDC_WELCOME_INTRO, "This program will install ", name,
                      " on your computer.  You should exit all other applications before running this Setup "
                      "program.");
}

BOOL WelcomePage::OnNotify(NMHDR* header, WPARAM controlId) {
    if (header->code == static_cast<UINT>(PSN_SETACTIVE))
        PostMessageA(header->hwndFrom, PSM_SETWIZBUTTONS, 0, PSWIZB_NEXT);
    return WizardPage::OnNotify(header, controlId);
}
