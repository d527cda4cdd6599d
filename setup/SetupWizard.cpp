#include "setup/SetupWizard.h"

#include <commctrl.h>
#include <prsht.h>

#include "install/ProgressPage.h"
#include "pages/AssociationsPage.h"
#include "pages/LicensePage.h"
#include "pages/ProgramDirPage.h"
#include "pages/ReadyPage.h"
#include "pages/StartFolderPage.h"
#include "pages/WelcomePage.h"
#include "resource.h"
#include "setup/InstallDirectory.h"
#include "setup/InstallSettings.h"
#include "setup/PageRecords.h"
#include "setup/PathHelpers.h"
#include "setup/SetupMessages.h"
#include "ui/BackgroundWindow.h"

namespace {

struct WizardPages {
    WelcomePage* welcome = nullptr;
    LicensePage* license = nullptr;
    ProgramDirPage* programDir = nullptr;
    StartFolderPage* startFolder = nullptr;
    AssociationsPage* associations = nullptr;
    ReadyPage* ready = nullptr;
    ProgressPage* progress = nullptr;

    ~WizardPages() {
        delete welcome;
        delete license;
        delete programDir;
        delete startFolder;
        delete associations;
        delete ready;
        delete progress;
    }
};

InstallSettings* CreateSettings(HINSTANCE instance, const SetupConfig& config, const char* directory) {
    InstallSettings* settings =
        new InstallSettings(instance, config.appname.Get(), config.mainexe.Get(), config.debugger, config.game,
                            config.readme.Buffer(), config.readme_title.Buffer(), config.v3);
    settings->programDir.Assign(directory);
    settings->startFolder.Assign(config.startfolder.Get());
    settings->saveSuffix.Assign(config.savesuffix.Get());
    if (!config.license.IsEmpty()) {
        settings->SetLicenseFile(config.license.Get());
    } else {
        settings->options &= ~static_cast<DWORD>(OptionLicensePage);
    }
    return settings;
}

void CreatePages(WizardPages& pages, InstallSettings* settings, const SetupConfig& config) {
    pages.welcome = new WelcomePage(settings);
    pages.license = new LicensePage(settings);
    pages.programDir = new ProgramDirPage(settings);
    pages.startFolder = new StartFolderPage(settings);
    pages.ready = new ReadyPage(settings);
    pages.progress = new ProgressPage(settings);
    if (!config.game && !config.debugger) {
        pages.associations = new AssociationsPage(settings);
        settings->options |= OptionAssociationsPage;
    }
}

void FillPageRecords(PageRecords& records, const WizardPages& pages, HINSTANCE instance, bool quiet) {
    if (!quiet) {
        records.Add(pages.welcome, IDD_WELCOME, IDS_TITLE_WELCOME, instance);
        records.Add(pages.license, IDD_LICENSE, IDS_TITLE_LICENSE, instance);
        records.Add(pages.programDir, IDD_PROGRAM_DIR, IDS_TITLE_PROGRAM_DIR, instance);
        records.Add(pages.startFolder, IDD_START_FOLDER, IDS_TITLE_START_FOLDER, instance);
        if (pages.associations) records.Add(pages.associations, IDD_ASSOCIATIONS, IDS_TITLE_ASSOCIATIONS, instance);
        records.Add(pages.ready, IDD_READY, IDS_TITLE_READY, instance);
    }
    records.Add(pages.progress, IDD_PROGRESS, IDS_TITLE_PROGRESS, instance);
}

// The directory to propose, or false when quiet mode must refuse to install:
// it never installs into a cut path or into one the user did not name.
bool ChooseInstallDirectory(const SetupConfig& config, char* directory, size_t size) {
    if (config.quiet && config.quietDirTooLong) return false;
    char programFiles[kPathBufferSize];
    InstallSettingsBase::GetProgramFilesDir(programFiles);
    return ProposeInstallDirectory(programFiles, config.progdir.Get(), config.quiet, directory, size);
}

void RefuseOverlongDirectory() {
    MessageBoxA(nullptr, "The installation directory is longer than 259 characters.  Nothing was installed.", "Setup",
                MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

bool RunSetupWizard(HINSTANCE instance, const SetupConfig& config) {
    char directory[kPathBufferSize];
    if (!ChooseInstallDirectory(config, directory, sizeof directory)) {
        RefuseOverlongDirectory();
        return false;
    }
    InitCommonControls();
    InstallSettings* settings = CreateSettings(instance, config, directory);
    WizardPages* pages = new WizardPages();
    CreatePages(*pages, settings, config);

    PageRecords records;
    FillPageRecords(records, *pages, instance, config.quiet);

    SetupString caption(settings->appName.Get());
    caption.Append(" Setup");
    HWND background = config.quiet ? nullptr : CreateBackgroundWindow(instance, settings->appName.Get());

    PROPSHEETHEADERA header = {};
    header.dwSize = PROPSHEETHEADERA_V1_SIZE;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD;
    header.hwndParent = background;
    header.hInstance = instance;
    header.pszCaption = caption.Get();
    header.nPages = static_cast<UINT>(records.Count());
    header.nStartPage = 0;
    header.ppsp = records.Data();
    PropertySheetA(&header);

    if (background) DestroyWindow(background);
    delete pages;
    bool finished = (settings->outcome & OutcomeFinished) != 0;
    delete settings;
    return finished;
}
