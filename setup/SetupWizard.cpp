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
#include "setup/ConfigCheck.h"
#include "setup/InstallDestination.h"
#include "setup/InstallDirectory.h"
#include "setup/InstallSettings.h"
#include "setup/PathHelpers.h"
#include "setup/ActivityLog.h"
#include "setup/SetupMessages.h"
#include "ui/BackgroundWindow.h"

namespace {

const char kUnrepresentableDirectory[] =
    "The installation directory holds a character that this version of Windows cannot give Setup.  The command "
    "line: ";

constexpr int kMaxPages = 7;

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
    settings->saveSuffix.Assign(config.savesuffix.IsEmpty() ? kDefaultSaveSuffix : config.savesuffix.Get());
    if (!config.license.IsEmpty()) {
        settings->SetLicenseFile(config.license.Get());
    } else {
        settings->options &= ~static_cast<DWORD>(OptionLicensePage);
    }
    if (config.unattended) settings->options |= OptionUnattended;
    settings->displayVersion.Assign(config.version.Get());
    settings->publisher.Assign(config.publisher.Get());
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

// Fills the records in display order and returns how many pages the sheet has.
int FillPageRecords(PageRecordArray& records, const WizardPages& pages, HINSTANCE instance, bool quiet) {
    int count = 0;
    auto add = [&](PropertyPage* page, int dialogId, int titleId) {
        PropertyPage::FillPageRecord(records.At(count++), dialogId, titleId, page, instance);
    };
    if (!quiet) {
        add(pages.welcome, IDD_WELCOME, IDS_TITLE_WELCOME);
        add(pages.license, IDD_LICENSE, IDS_TITLE_LICENSE);
        add(pages.programDir, IDD_PROGRAM_DIR, IDS_TITLE_PROGRAM_DIR);
        add(pages.startFolder, IDD_START_FOLDER, IDS_TITLE_START_FOLDER);
        if (pages.associations) add(pages.associations, IDD_ASSOCIATIONS, IDS_TITLE_ASSOCIATIONS);
        add(pages.ready, IDD_READY, IDS_TITLE_READY);
    }
    add(pages.progress, IDD_PROGRESS, IDS_TITLE_PROGRESS);
    return count;
}

// A SETUP.DAT value that cannot become the name it is meant for stops the
// setup before anything is written.
bool ConfigUsable(const SetupConfig& config) {
    ConfigProblem problem;
    if (CheckSetupConfig(config, &problem, 1) == 0) return true;
    ShowSetupMessage(nullptr, ConfigProblemMessage(problem).Get(), MB_OK | MB_ICONEXCLAMATION);
    return false;
}

// The directory to propose. Quiet mode has nobody to choose another one, so
// there the directory must pass the destination check (the wizard checks it
// at Next): it never installs into a cut path or one the user did not mean.
bool ChooseInstallDirectory(const SetupConfig& config, char* directory, size_t size) {
    char programFiles[kPathBufferSize];
    InstallSettingsBase::GetProgramFilesDir(programFiles);
    bool proposed = !(config.quiet && config.quietDirTooLong) &&
                    ProposeInstallDirectory(programFiles, config.progdir.Get(), config.quiet, directory, size);
    if (!config.quiet) return proposed;
    if (!config.quietDirUnrepresentable.IsEmpty()) {
        SetupString text(kUnrepresentableDirectory);
        text.Append(config.quietDirUnrepresentable.Get());
        text.Append(".  It needs Windows 10 version 1903 or later.  Nothing was installed.");
        ShowSetupMessage(nullptr, text.Get(), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    DestinationProblem problem = proposed ? CheckInstallDestination(directory) : DestinationTooLong;
    if (problem == DestinationOk) return true;
    SetupString text(DestinationProblemText(problem));
    text.Append("  Nothing was installed.");
    ShowSetupMessage(nullptr, text.Get(), MB_OK | MB_ICONEXCLAMATION);
    return false;
}

}  // namespace

WizardResult RunSetupWizard(HINSTANCE instance, const SetupConfig& config) {
    char directory[kPathBufferSize];
    if (!ConfigUsable(config)) return WizardNotFinished;
    if (!ChooseInstallDirectory(config, directory, sizeof directory)) return WizardDirectoryRefused;
    LogActivity(std::string(config.quiet ? "Installing without questions into " : "Proposed directory: ") + directory);
    InitCommonControls();
    InstallSettings* settings = CreateSettings(instance, config, directory);
    WizardPages* pages = new WizardPages();
    CreatePages(*pages, settings, config);

    PageRecordArray records(kMaxPages);
    int pageCount = FillPageRecords(records, *pages, instance, config.quiet);

    SetupString caption(settings->appName.Get());
    caption.Append(" Setup");
    HWND background = config.quiet ? nullptr : CreateBackgroundWindow(instance, settings->appName.Get());

    PROPSHEETHEADERA header = {};
    header.dwSize = PROPSHEETHEADERA_V1_SIZE;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD;
    header.hwndParent = background;
    header.hInstance = instance;
    header.pszCaption = caption.Get();
    header.nPages = static_cast<UINT>(pageCount);
    header.nStartPage = 0;
    header.ppsp = records.Data();
    PropertySheetA(&header);

    if (background) DestroyWindow(background);
    delete pages;
    bool finished = (settings->outcome & OutcomeFinished) != 0;
    delete settings;
    return finished ? WizardFinished : WizardNotFinished;
}
