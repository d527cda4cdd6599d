// Runs the real wizard pages in a property sheet with realistic content (a
// license text, a long destination, a Start Menu with folders) and the folder
// chooser on a real directory, and copies each from the screen.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <string>

#include "ScreenCapture.h"
#include "folderchooser/FolderChooser.h"
#include "pages/AssociationsPage.h"
#include "pages/LicensePage.h"
#include "pages/ProgramDirPage.h"
#include "pages/ReadyPage.h"
#include "pages/StartFolderPage.h"
#include "pages/WelcomePage.h"
#include "resource.h"
#include "setup/InstallSettings.h"
#include "shell/ProgramsFolder.h"

namespace {

const char kLicense[] =
    "VARNPLAY SOFTWARE LICENSE AGREEMENT\r\n\r\n"
    "Copyright (C) 1996-2004 by the VARN authors.  All rights reserved.\r\n\r\n"
    "1. GRANT OF LICENSE.  You may install and use one copy of the Varnplay software on any number of computers "
    "that you own, and you may make copies of the installation set for your own archival purposes.\r\n\r\n"
    "2. REDISTRIBUTION.  You may give away unmodified copies of the complete installation set, provided that you "
    "charge no fee beyond the cost of the media and that this license text accompanies every copy.\r\n\r\n"
    "3. GAMES.  Games written with the VARN workbench belong to their authors; this license places no "
    "restriction on them.\r\n\r\n"
    "4. NO WARRANTY.  THE SOFTWARE IS PROVIDED \"AS IS\", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR IMPLIED, "
    "INCLUDING BUT NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY AND FITNESS FOR A PARTICULAR PURPOSE.\r\n\r\n"
    "5. LIMITATION OF LIABILITY.  In no event shall the authors be liable for any damages arising from the use "
    "of the software.\r\n";

const char* const kStartMenuFolders[] = {"Accessories", "Games", "Interactive Fiction", "Startup", "Utilities",
                                         "VARN Workbench", "Varnplay"};

struct Fixture {
    std::string licensePath;
    std::string programs;
    std::string made[sizeof kStartMenuFolders / sizeof *kStartMenuFolders];

    Fixture() {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        licensePath = std::string(temp) + "vsetup-shot-LICENSE.TXT";
        HANDLE file = CreateFileA(licensePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written;
        WriteFile(file, kLicense, sizeof kLicense - 1, &written, nullptr);
        CloseHandle(file);
        char path[MAX_PATH];
        GetProgramsFolder(path);
        programs = path;
        for (size_t i = 0; i < sizeof kStartMenuFolders / sizeof *kStartMenuFolders; ++i) {
            std::string folder = programs + "\\" + kStartMenuFolders[i];
            if (CreateDirectoryA(folder.c_str(), nullptr)) made[i] = folder;  // only what was not there
        }
    }
    ~Fixture() {
        DeleteFileA(licensePath.c_str());
        for (const std::string& folder : made)
            if (!folder.empty()) RemoveDirectoryA(folder.c_str());
    }
};

bool CaptureChooser(const char* directory) {
    FolderChooser chooser("Destination &Path:", "Select Installation Directory", "C:\\windows\\system32", nullptr,
                          nullptr);
    HWND window = CreateDialogParamA(Module(), MAKEINTRESOURCEA(IDD_FOLDER_CHOOSER), nullptr,
                                     Dialog::SharedDialogProc, reinterpret_cast<LPARAM>(&chooser));
    if (!window) return false;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(GetDlgItem(window, IDC_FOLDER_LIST));
    bool ok = Capture(window, directory, "chooser");
    HWND drives = GetDlgItem(window, IDC_DRIVE_LIST);
    SendMessageA(drives, CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    GetComboBoxInfo(drives, &info);
    RECT dropped = {};
    if (info.hwndList) GetWindowRect(info.hwndList, &dropped);
    ok = Capture(window, directory, "chooser-drives", &dropped) && ok;
    SendMessageA(drives, CB_SHOWDROPDOWN, FALSE, 0);
    DestroyWindow(window);
    return ok;
}

}  // namespace

bool CapturePages(const char* directory) {
    Fixture fixture;
    InstallSettings settings(Module(), "Varnplay", "varnplay.exe", 0, 0, "readme.txt", "", 0);
    settings.SetLicenseFile(fixture.licensePath.c_str());
    settings.programDir.Assign("C:\\Program Files\\Interactive Fiction\\VARN Game Player Collection\\Varnplay 2.5");
    settings.startFolder.Assign("Interactive Fiction\\Varnplay");
    settings.options |= OptionAssociationsPage;

    WelcomePage welcome(&settings);
    LicensePage license(&settings);
    ProgramDirPage programDir(&settings);
    StartFolderPage startFolder(&settings);
    AssociationsPage associations(&settings);
    ReadyPage ready(&settings);
    struct {
        PropertyPage* page;
        int dialogId, titleId;
        const char* name;
    } pages[] = {{&welcome, IDD_WELCOME, IDS_TITLE_WELCOME, "page-welcome"},
                 {&license, IDD_LICENSE, IDS_TITLE_LICENSE, "page-license"},
                 {&programDir, IDD_PROGRAM_DIR, IDS_TITLE_PROGRAM_DIR, "page-programdir"},
                 {&startFolder, IDD_START_FOLDER, IDS_TITLE_START_FOLDER, "page-startfolder"},
                 {&associations, IDD_ASSOCIATIONS, IDS_TITLE_ASSOCIATIONS, "page-associations"},
                 {&ready, IDD_READY, IDS_TITLE_READY, "page-ready"}};
    const int count = sizeof pages / sizeof *pages;
    PageRecordArray records(count);
    for (int i = 0; i < count; ++i)
        PropertyPage::FillPageRecord(records.At(i), pages[i].dialogId, pages[i].titleId, pages[i].page, Module());
    PROPSHEETHEADERA header = {};
    header.dwSize = PROPSHEETHEADERA_V1_SIZE;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD | PSH_MODELESS;
    header.hInstance = Module();
    header.pszCaption = "Varnplay Setup";
    header.nPages = count;
    header.ppsp = records.Data();
    HWND sheet = reinterpret_cast<HWND>(PropertySheetA(&header));
    if (!sheet || sheet == reinterpret_cast<HWND>(-1)) return false;
    bool ok = true;
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
            Settle(sheet);
        }
        if (pages[i].page == &startFolder) {
            HWND list = GetDlgItem(startFolder.window, IDC_EXISTING_FOLDERS);
            LRESULT found = SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>("Interactive Fiction"));
            SendMessageA(list, LB_SETCURSEL, found, 0);
        }
        if (pages[i].page == &associations) CheckRadioButton(associations.window, IDC_ASSOC_YES, IDC_ASSOC_NO, IDC_ASSOC_NO);
        ok = Capture(sheet, directory, pages[i].name) && ok;
    }
    DestroyWindow(sheet);
    return CaptureChooser(directory) && ok;
}
