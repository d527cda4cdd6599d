#include <shlobj.h>

#include <algorithm>

#include "InstallFixture.h"

namespace {

using installtest::ExpectShortcut;

using installtest::ReadRegistryString;

const char kReadError[] =
    "An error occurred reading installation files.  You should obtain a new copy of the Setup files.";
const char kSuccessLine[] = "Setup was successful!  Click Finish to exit Setup.";
const char kFailureLine[] = "An error occurred.  Setup was not completed.";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kAppPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

const std::vector<int> kAllDone = {IDB_STEP_DONE, IDB_STEP_DONE, IDB_STEP_DONE, IDB_STEP_DONE, 0, 0};

std::string Key(const char* root, const std::string& path) { return std::string("KEY ") + root + " " + path; }
std::string ClassKey(const std::string& path) { return Key("HKEY_CLASSES_ROOT", path); }

const Members kPlayerMembers = {
    {"varnplay.exe", "player program"},
    {"ReadMe.txt", "read me"},
    {"doc/varnplay\\intro.htm", "<html>intro</html>"},
    {"$Keep\\varnplay.ini", "settings"},
};

void ExpectFinishedPage(const PageState& state, const std::vector<int>& marks, const char* resultLine) {
    EXPECT_TRUE(state.finishEnabled);
    EXPECT_EQ(state.markBitmaps, marks);
    EXPECT_TRUE(state.resultVisible);
    EXPECT_EQ(state.resultLine, resultLine);
    EXPECT_FALSE(state.barVisible);
    EXPECT_FALSE(state.copyingVisible);
    EXPECT_FALSE(state.item5Visible);
    EXPECT_FALSE(state.item6Visible);
    EXPECT_EQ(state.title, "Setup Completed");
}

TEST_F(InstallRun, PlayerInstallsRecordsAndReportsEverything) {
    WriteArchive(kPlayerMembers);
    auto settings = MakeSettings("Varnplay", "varnplay.exe", 0, 0, "ReadMe.txt", 0);
    ProgressPage page(settings.get());
    PageState state = RunSheet(*settings, page);
    ExpectFinishedPage(state, kAllDone, kSuccessLine);
    EXPECT_TRUE(settings->outcome & OutcomeFinished);
    EXPECT_STREQ(installedDir.Get(), programDir_.c_str());
    EXPECT_TRUE(answerer_.Seen().empty());

    EXPECT_EQ(installtest::ReadWholeFile(programDir_ + "\\varnplay.exe"), "player program");
    EXPECT_EQ(installtest::ReadWholeFile(programDir_ + "\\doc\\varnplay\\intro.htm"), "<html>intro</html>");
    EXPECT_EQ(installtest::ReadWholeFile(programDir_ + "\\varnplay.ini"), "settings");
    EXPECT_EQ(installtest::ReadWholeFile(uninstallerCopy_), "uninstaller");

    std::string pd = programDir_, menu = groupPath_;
    ExpectShortcut(menu + "\\Varnplay Interpreter.lnk", pd + "\\varnplay.exe", "", "Varnplay Interpreter");
    ExpectShortcut(menu + "\\ReadMe.lnk", pd + "\\ReadMe.txt", "", "ReadMe");
    std::string logName = LogNameIn(pd), logPath = pd + "\\" + logName;
    std::string uninstaller = installtest::WindowsDirectory() + "\\VARNUINS.EXE";
    ExpectShortcut(pd + "\\Uninstall Varnplay.lnk", uninstaller, logPath, "\"Uninstall Varnplay\"");
    ExpectShortcut(menu + "\\Uninstall Varnplay.lnk", uninstaller, logPath, "\"Uninstall Varnplay\"");

    EXPECT_EQ(ReadRegistryString(HKEY_CLASSES_ROOT, ".GAM", ""), "VARN.Game");
    EXPECT_EQ(ReadRegistryString(HKEY_CLASSES_ROOT, "VARN.Save\\shell\\open\\command", ""),
              "\"" + pd + "\\vplay2.exe\" -r \"%1\"");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, "Software\\VARN\\Varnplay\\1.0\\Settings", "Setup Done"), "Yes");
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + "varnplay.exe").c_str(),
                                 "UninstallString"),
              "\"" + uninstaller + "\" " + logPath);

    std::string settingsKey = "Software\\VARN\\Varnplay\\1.0\\Settings";
    const std::vector<std::string> expected = {
        "APPNAME Varnplay",
        "FILE " + logPath,
        "FILE " + menu + "\\Uninstall Varnplay.lnk",
        "FILE " + pd + "\\Uninstall Varnplay.lnk",
        Key("HKEY_CURRENT_USER", settingsKey),
        Key("HKEY_CURRENT_USER", "Software\\VARN\\Varnplay\\1.0"),
        Key("HKEY_CURRENT_USER", "Software\\VARN\\Varnplay"),
        Key("HKEY_CURRENT_USER", "Software\\VARN"),
        ClassKey(".SAV"),  // each extension after the type it names
        "WAS HKEY_CLASSES_ROOT .SAV Content Type (none)",
        ClassKey(".SAV"),
        "WAS HKEY_CLASSES_ROOT .SAV = ",  // named nothing before
        ClassKey("VARN.Save\\DefaultIcon"),
        ClassKey("VARN.Save\\shell\\open\\command"),
        ClassKey("VARN.Save\\shell\\open"),
        ClassKey("VARN.Save\\shell"),
        ClassKey("VARN.Save"),
        ClassKey(".GAM"),
        "WAS HKEY_CLASSES_ROOT .GAM Content Type (none)",
        ClassKey(".GAM"),
        "WAS HKEY_CLASSES_ROOT .GAM = ",
        ClassKey("VARN.Game\\DefaultIcon"),
        ClassKey("VARN.Game\\shell\\open\\command"),
        ClassKey("VARN.Game\\shell\\open"),
        ClassKey("VARN.Game\\shell"),
        ClassKey("VARN.Game"),
        "FILE " + menu + "\\ReadMe.lnk",
        "FILE " + menu + "\\Varnplay Interpreter.lnk",
        "DIR " + menu,
        "FILE " + pd + "\\doc\\varnplay\\intro.htm",
        "DIR " + pd + "\\doc\\varnplay",
        "DIR " + pd + "\\doc",
        "FILE " + pd + "\\ReadMe.txt",
        "FILE " + pd + "\\varnplay.exe",
        // App Paths after the entry, the entry after the folder its log is in
        Key("HKEY_LOCAL_MACHINE", std::string(kAppPathsKey) + "varnplay.exe"),
        Key("HKEY_LOCAL_MACHINE", std::string(kAppPathsKey) + "varnplay.exe"),
        Key("HKEY_LOCAL_MACHINE", std::string(kUninstallKey) + "varnplay.exe"),
        Key("HKEY_LOCAL_MACHINE", std::string(kUninstallKey) + "varnplay.exe"),
        "DIR " + pd,
        "DIR " + programFiles_,
    };
    EXPECT_EQ(LogLines(logName), expected);
}

TEST_F(InstallRun, DeclinedAssociationsShowTheRedCross) {
    WriteArchive(kPlayerMembers);
    auto settings = MakeSettings("Varnplay", "varnplay.exe", 0, 0, "", 0);
    settings->options &= ~OptionCreateAssociations;
    ProgressPage page(settings.get());
    PageState state = RunSheet(*settings, page);
    ExpectFinishedPage(state, {IDB_STEP_DONE, IDB_STEP_DONE, IDB_STEP_SKIPPED, IDB_STEP_DONE, 0, 0}, kSuccessLine);
    EXPECT_EQ(ReadRegistryString(HKEY_CLASSES_ROOT, ".GAM", ""), "<missing>");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, "Software\\VARN\\Varnplay\\1.0\\Settings", "Setup Done"), "Yes");
    for (const std::string& line : LogLines(LogNameIn(programDir_)))
        EXPECT_EQ(line.find("HKEY_CLASSES_ROOT"), std::string::npos) << line;
}

TEST_F(InstallRun, WorkbenchCopiesSetupFilesAndWritesItsTables) {
    WriteArchive({{"vbench.exe", "workbench"}, {"vplay2.exe", "player"}});
    auto settings = MakeSettings("VARN Workbench", "vbench.exe", 1, 0, "", 0);
    ProgressPage page(settings.get());
    ExpectFinishedPage(RunSheet(*settings, page), kAllDone, kSuccessLine);
    std::string pd = programDir_, menu = groupPath_;
    EXPECT_EQ(installtest::ReadWholeFile(pd + "\\setup1.dat"), "setup");
    EXPECT_EQ(installtest::ReadWholeFile(pd + "\\setup2.dat"), "insmain");
    ExpectShortcut(menu + "\\VARN Workbench.lnk", pd + "\\vbench.exe", "", "VARN Workbench");
    ExpectShortcut(menu + "\\Varnplay Documentation.lnk", pd + "\\doc\\varnplay\\intro.htm", "", "Varnplay Documentation");
    EXPECT_EQ(ReadRegistryString(HKEY_CLASSES_ROOT, "VARN.Game\\shell\\debug", ""), "Open in VARN &Workbench");
    EXPECT_EQ(ReadRegistryString(HKEY_CLASSES_ROOT, ".GAM", ""), "<missing>");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, "Software\\VARN\\Varnplay\\1.0\\Settings", "Debugger Setup Done"),
              "Yes");
    std::vector<std::string> lines = LogLines(LogNameIn(pd));
    // the setup-file copies come after the shortcuts and before the extraction
    auto at = std::find(lines.begin(), lines.end(), "DIR " + menu);
    ASSERT_NE(at, lines.end());
    ASSERT_GE(lines.end() - at, 4);
    EXPECT_EQ(at[1], "FILE " + pd + "\\setup2.dat");
    EXPECT_EQ(at[2], "FILE " + pd + "\\setup1.dat");
    EXPECT_EQ(at[3], "FILE " + pd + "\\vplay2.exe");
    EXPECT_EQ(*(at - 1), "FILE " + menu + "\\VARN Workbench.lnk");
}

TEST_F(InstallRun, VersionThreeWorkbenchUsesItsTable) {
    WriteArchive({{"vbench3.exe", "workbench 3"}});
    auto settings = MakeSettings("VARN 3 Workbench", "vbench3.exe", 1, 0, "", 1);
    ProgressPage page(settings.get());
    ExpectFinishedPage(RunSheet(*settings, page), kAllDone, kSuccessLine);
    std::string pd = programDir_, menu = groupPath_;
    ExpectShortcut(menu + "\\VARN 3 Workbench.lnk", pd + "\\vbench3.exe", "", "VARN 3 Workbench");
    ExpectShortcut(menu + "\\VARN 3 Interpreter.lnk", pd + "\\vplay3.exe", "", "VARN 3 Interpreter");
    ExpectShortcut(menu + "\\User Manuals.lnk", pd + "\\doc\\index.htm", "", "User Manuals");
    EXPECT_EQ(ReadRegistryString(HKEY_CLASSES_ROOT, "VARN.DebugConfig\\DefaultIcon", ""), pd + "\\vbench2.exe,3");
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, (std::string(kAppPathsKey) + "vbench3.exe").c_str(), ""),
              pd + "\\vbench3.exe");
}

TEST_F(InstallRun, SingleGameWithABlankInItsName) {
    WriteArchive({{"devi.exe", "game"}, {"$MyDocuments\\$Keep\\Devi Saves\\none.txt", ""}});
    auto settings = MakeSettings("Devi Dezir", "devi.exe", 0, 1, "", 0);
    ProgressPage page(settings.get());
    ExpectFinishedPage(RunSheet(*settings, page), kAllDone, kSuccessLine);
    std::string pd = programDir_, menu = groupPath_;
    ExpectShortcut(menu + "\\Devi Dezir.lnk", pd + "\\devi.exe", "", "Devi Dezir");
    EXPECT_EQ(ReadRegistryString(HKEY_CLASSES_ROOT, ".SAV", ""), "Devi Dezir.Save");
    EXPECT_EQ(ReadRegistryString(HKEY_CLASSES_ROOT, "Devi Dezir.Save", ""), "Devi Dezir Saved Game");
    EXPECT_EQ(ReadRegistryString(HKEY_CLASSES_ROOT, "Devi Dezir.Save\\shell\\open\\command", ""),
              "\"" + pd + "\\devi.exe\" -r \"%1\"");
    EXPECT_EQ(ReadRegistryString(HKEY_CLASSES_ROOT, "Devi Dezir.Save\\DefaultIcon", ""), pd + "\\devi.exe,2");
    EXPECT_FALSE(logtest::RegistryKeyExists(HKEY_CURRENT_USER, "Software\\VARN"));
    std::vector<std::string> lines = LogLines(LogNameIn(pd));
    ASSERT_GE(lines.size(), 12u);
    EXPECT_EQ(lines[0], "APPNAME Devi Dezir");
    EXPECT_EQ(lines[3], "FILE " + pd + "\\Uninstall Devi Dezir.lnk");
    EXPECT_EQ(lines[4], ClassKey(".SAV"));  // no settings flags before the association, its type before it
    EXPECT_EQ(lines[5], "WAS HKEY_CLASSES_ROOT .SAV = ");
    EXPECT_EQ(lines[6], ClassKey("Devi Dezir.Save\\DefaultIcon"));
    EXPECT_EQ(lines[10], ClassKey("Devi Dezir.Save"));
    EXPECT_EQ(lines[11], "FILE " + menu + "\\Devi Dezir.lnk");
    char documents[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, documents);
    std::string saves = std::string(documents) + "\\Devi Saves";
    EXPECT_TRUE(installtest::IsDirectory(saves));
    EXPECT_NE(std::find(lines.begin(), lines.end(), "DIR " + saves), lines.end());
    logtest::RemoveTree(saves);
}

TEST_F(InstallRun, MissingArchiveStillRunsEveryLaterStep) {
    auto settings = MakeSettings("Varnplay", "varnplay.exe", 0, 0, "", 0);
    ProgressPage page(settings.get());
    PageState state = RunSheet(*settings, page);
    ExpectFinishedPage(state, kAllDone, kFailureLine);
    ASSERT_EQ(answerer_.Seen().size(), 1u);
    EXPECT_EQ(answerer_.Seen()[0].caption, "Setup");
    EXPECT_EQ(answerer_.Seen()[0].text, kReadError);
    EXPECT_TRUE(settings->outcome & OutcomeFinished);
    EXPECT_STREQ(installedDir.Get(), programDir_.c_str());
    ExpectShortcut(groupPath_ + "\\Varnplay Interpreter.lnk", programDir_ + "\\varnplay.exe", "", "Varnplay Interpreter");
    EXPECT_EQ(ReadRegistryString(HKEY_CLASSES_ROOT, ".GAM", ""), "VARN.Game");
    std::vector<std::string> lines = LogLines(LogNameIn(programDir_));
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "APPNAME Varnplay");
    EXPECT_EQ(lines[lines.size() - 1], "DIR " + programFiles_);  // the chain was made before the archive failed
}

TEST_F(InstallRun, DamagedArchiveIsReportedAndKeepsWhatWasWritten) {
    std::string big;
    for (int i = 0; i < 200000; ++i) big += static_cast<char>('a' + (i * 7919 % 26));
    WriteArchive({{"first.txt", "first"}, {"big.dat", big}}, true);
    auto settings = MakeSettings("Varnplay", "varnplay.exe", 0, 0, "", 0);
    ProgressPage page(settings.get());
    PageState state = RunSheet(*settings, page);
    ExpectFinishedPage(state, kAllDone, kFailureLine);
    ASSERT_EQ(answerer_.Seen().size(), 1u);
    EXPECT_EQ(answerer_.Seen()[0].text, kReadError);
    EXPECT_EQ(installtest::ReadWholeFile(programDir_ + "\\first.txt"), "first");
    std::vector<std::string> lines = LogLines(LogNameIn(programDir_));
    EXPECT_NE(std::find(lines.begin(), lines.end(), "FILE " + programDir_ + "\\first.txt"), lines.end());
}

TEST_F(InstallRun, CancelIsRefusedWithoutAskingWhileTheWorkerRuns) {
    auto settings = MakeSettings("Varnplay", "varnplay.exe", 0, 0, "", 0);
    ProgressPage page(settings.get());
    answerer_.Hold(true);  // the worker waits in its read-error message meanwhile
    bool stillOpen = false;
    PageState state = RunSheet(*settings, page, [&] {
        HWND sheet = settings->sheetWindow;
        ASSERT_TRUE(PumpUntil([&] { return page.WorkerRunning() && FindWindowA("#32770", "Setup") != nullptr; }, 20000));
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        PostMessageA(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
        SendMessageA(page.window, WM_COMMAND, IDCANCEL, 0);  // Escape on the page
        PumpPending(500);
        stillOpen = IsWindow(sheet) && SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0) != 0;
        answerer_.Hold(false);
    });
    EXPECT_TRUE(stillOpen);
    for (const auto& seen : answerer_.Seen()) EXPECT_NE(seen.caption, "Exit Setup");
    ExpectFinishedPage(state, kAllDone, kFailureLine);
    EXPECT_TRUE(settings->outcome & OutcomeFinished);
}

TEST_F(InstallRun, WorkerThatCannotStartEndsTheWizardUnfinished) {
    ProgressPage::startThread = [](LPTHREAD_START_ROUTINE, void*) -> HANDLE { return nullptr; };
    auto settings = MakeSettings("Varnplay", "varnplay.exe", 0, 0, "", 0);
    ProgressPage page(settings.get());
    PROPSHEETPAGEA record;
    PropertyPage::FillPageRecord(&record, IDD_PROGRESS, IDS_TITLE_PROGRESS, &page, settings->instance);
    PROPSHEETHEADERA header = {};
    header.dwSize = PROPSHEETHEADERA_V1_SIZE;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD;
    header.hInstance = settings->instance;
    header.pszCaption = "Varnplay Setup";
    header.nPages = 1;
    header.ppsp = &record;
    PropertySheetA(&header);  // modal, as the wizard runs it
    ASSERT_EQ(answerer_.Seen().size(), 1u);
    EXPECT_EQ(answerer_.Seen()[0].text,
              "An error occurred starting the installation procedure.  Your system may be low on memory.  Try "
              "running Setup again after closing all other running applications.");
    EXPECT_FALSE(settings->outcome & OutcomeFinished);
    EXPECT_FALSE(logtest::PathExists(programDir_));
}

}  // namespace
