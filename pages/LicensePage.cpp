#include "pages/LicensePage.h"

#include "resource.h"
#include "setup/InstallSettings.h"
#include "setup/InstallationSet.h"

namespace {

constexpr DWORD kChunkSize = 511;

const char kMissingLicense[] =
    "License file not found.  Your copy of this installation set may be corrupted - you may need to obtain a "
    "new copy of the installation set.";

void ReplaceSelection(HWND edit, const char* text) {
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}

}  // namespace

void LicensePage::OnInitDialog() {
    CenterOnDesktop();
    LoadLicenseText();
}

// Appended chunk by chunk, as the bytes stand: no conversion of code page
// or line ends.
void LicensePage::LoadLicenseText() {
    HWND edit = GetDlgItem(window, IDC_LICENSE_TEXT);
    Win32ArchiveSource file;
    if (!(settings->options & OptionLicensePage) || !OpenSetFile(settings->licenseFile.Get(), file)) {
        SendMessageA(edit, EM_SETSEL, 0, -1);
        ReplaceSelection(edit, kMissingLicense);
        return;
    }
    // A license must never be shown cut: lift the edit control's default limit.
    SendMessageA(edit, EM_SETLIMITTEXT, 0, 0);
    char chunk[kChunkSize + 1];
    for (uint32_t read; (read = file.Read(chunk, kChunkSize)) > 0;) {
        chunk[read] = '\0';
        SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(-1), -1);
        ReplaceSelection(edit, chunk);
    }
}

BOOL LicensePage::OnNotify(NMHDR* header, WPARAM controlId) {
    if (header->code != static_cast<UINT>(PSN_SETACTIVE)) return WizardPage::OnNotify(header, controlId);
    WizardPage::OnNotify(header, controlId);
    if (settings->options & OptionLicensePage) {
        PostMessageA(header->hwndFrom, PSM_SETWIZBUTTONS, 0, PSWIZB_BACK | PSWIZB_NEXT);
        PostMessageA(GetDlgItem(window, IDC_LICENSE_TEXT), EM_SETSEL, 0, 0);
    } else {
        SetMessageResult(-1);  // the sheet moves on in the direction of travel
    }
    return TRUE;
}
