#include "ShellFixture.h"
#include "install/ExtractArchive.h"
#include "support/UnixSide.h"

namespace {

using installtest::ExpectShortcut;
using installtest::IsDirectory;

// The files and folders: no keys, and no notes of what extensions named before.
std::vector<LoggedRecord> WithoutKeys(const InstallSettings& settings) {
    std::vector<LoggedRecord> records;
    for (const LoggedRecord& record : logtest::ListedRecords(settings))
        if (record.kind != UninstallKey && record.kind != UninstallAppName) records.push_back(record);
    return records;
}

class Shortcuts : public ShellFixture {};

TEST_F(Shortcuts, SavedShortcutResolvesAndIsRecorded) {
    auto settings = MakeSettings("Varnplay", "varnplay.exe", 0, 0, "", "", 0);
    std::string link = programDir_ + "\\Try it.lnk", target = programDir_ + "\\varnplay.exe";
    // Only under a folder the setup has made sure of.
    EXPECT_EQ(settings->CreateShortcut(target.c_str(), "", link.c_str(), "Try it"), 1);
    EXPECT_FALSE(logtest::PathExists(link));
    ASSERT_EQ(settings->writeGuard.Trust(programDir_.c_str()), 0);
    EXPECT_EQ(settings->CreateShortcut(target.c_str(), "-x \"a b\"", link.c_str(), "Try it"), 0);
    ExpectShortcut(link, target, "-x \"a b\"", "Try it");
    EXPECT_EQ(logtest::ListedRecords(*settings), std::vector<LoggedRecord>{File(link)});

    std::string nowhere = programDir_ + "\\no such dir\\x.lnk";
    EXPECT_EQ(settings->CreateShortcut(target.c_str(), "", nowhere.c_str(), "x"), 1);
    std::string tooLong = programDir_ + "\\" + std::string(300, 'n') + ".lnk";
    EXPECT_EQ(settings->CreateShortcut(target.c_str(), "", tooLong.c_str(), "x"), 1);
    EXPECT_EQ(logtest::ListedRecords(*settings).size(), 1u);  // failures leave no record
}

TEST_F(Shortcuts, PlayerGroupHasOneShortcutAndSkipsDeclinedAssociations) {
    auto settings = MakeSettings("Varnplay", "varnplay.exe", 0, 0, "", "", 0);
    settings->options &= ~OptionCreateAssociations;
    ProgressPage page(settings.get());
    page.stepIndex = 1;
    settings->InstallProductShell(&page, nullptr);

    std::string link = groupPath_ + "\\Varnplay Interpreter.lnk";
    ExpectShortcut(link, programDir_ + "\\varnplay.exe", "", "Varnplay Interpreter");
    EXPECT_EQ(settings->startMenuPath.Get(), groupPath_ + "\\");
    EXPECT_EQ(logtest::ListedRecords(*settings), (std::vector<LoggedRecord>{File(link), Dir(groupPath_)}));
    EXPECT_EQ(page.stepIndex, 3);
    EXPECT_TRUE(page.markFlags & MarkSkipped);
    EXPECT_EQ(installtest::ReadRegistryString(HKEY_CLASSES_ROOT, ".GAM", ""), "<missing>");
}

struct TableCase {
    int debugger, v3;
    std::vector<std::pair<std::string, std::string>> shortcuts;  // title, target
};

TEST_F(Shortcuts, EachProductConfigurationGetsItsTableInOrder) {
    const TableCase cases[] = {
        {0, 0, {{"Varnplay Interpreter", "varnplay.exe"}}},
        {1, 0,
         {{"VARN Workbench", "vbench.exe"},
          {"Varnplay Interpreter", "vplay2.exe"},
          {"Varnplay Documentation", "doc\\varnplay\\intro.htm"}}},
        {0, 1, {{"VARN 3 Interpreter", "vplay3.exe"}}},
        {1, 1, {{"VARN 3 Workbench", "vbench3.exe"}, {"VARN 3 Interpreter", "vplay3.exe"}, {"User Manuals", "doc\\index.htm"}}},
    };
    for (const TableCase& table : cases) {
        SCOPED_TRACE(testing::Message() << "debugger " << table.debugger << " v3 " << table.v3);
        logtest::RemoveTree(groupPath_);
        auto settings = MakeSettings("Varnplay", "varnplay.exe", table.debugger, 0, "", "", table.v3);
        settings->options &= ~OptionCreateAssociations;
        ProgressPage page(settings.get());
        settings->InstallProductShell(&page, nullptr);
        std::vector<LoggedRecord> expected;
        for (const auto& shortcut : table.shortcuts) {
            std::string link = groupPath_ + "\\" + shortcut.first + ".lnk";
            ExpectShortcut(link, programDir_ + "\\" + shortcut.second, "", shortcut.first);
            expected.insert(expected.begin(), File(link));  // newest first
        }
        expected.push_back(Dir(groupPath_));
        if (table.debugger) {
            expected.push_back(File(programDir_ + "\\setup2.dat"));
            expected.push_back(File(programDir_ + "\\setup1.dat"));
        }
        EXPECT_EQ(WithoutKeys(*settings), expected);
    }
}

TEST_F(Shortcuts, WorkbenchCopiesTheSetupFilesBeforeItsShortcuts) {
    std::string set = scratch_ + "\\set";
    ASSERT_TRUE(CreateDirectoryA(set.c_str(), nullptr));
    ASSERT_TRUE(installtest::WriteTextFile(set + "\\setup.exe", "setup program"));
    ASSERT_TRUE(installtest::WriteTextFile(set + "\\insmain.exe", "main installer"));
    ASSERT_TRUE(installtest::WriteTextFile(programDir_ + "\\setup1.dat", "old"));
    std::string previous = installtest::CurrentDirectory();
    ASSERT_TRUE(SetCurrentDirectoryA(set.c_str()));
    auto settings = MakeSettings("VARN Workbench", "vbench.exe", 1, 0, "", "", 0);
    ProgressPage page(settings.get());
    settings->InstallProductShell(&page, nullptr);
    SetCurrentDirectoryA(previous.c_str());
    EXPECT_EQ(installtest::ReadWholeFile(programDir_ + "\\setup1.dat"), "setup program");
    EXPECT_EQ(installtest::ReadWholeFile(programDir_ + "\\setup2.dat"), "main installer");
    EXPECT_FALSE(page.markFlags & MarkSkipped);  // the workbench always writes its associations
    auto records = logtest::ListedRecords(*settings);
    ASSERT_GE(records.size(), 2u);
    EXPECT_EQ(records[records.size() - 1], File(programDir_ + "\\setup1.dat"));
    EXPECT_EQ(records[records.size() - 2], File(programDir_ + "\\setup2.dat"));
}

TEST_F(Shortcuts, MissingSetupFilesAreStillRecorded) {
    std::string previous = installtest::CurrentDirectory();
    ASSERT_TRUE(SetCurrentDirectoryA(scratch_.c_str()));  // holds neither setup.exe nor insmain.exe
    auto settings = MakeSettings("VARN Workbench", "vbench.exe", 1, 0, "", "", 0);
    ProgressPage page(settings.get());
    settings->InstallProductShell(&page, nullptr);
    SetCurrentDirectoryA(previous.c_str());
    EXPECT_FALSE(logtest::PathExists(programDir_ + "\\setup1.dat"));
    auto records = WithoutKeys(*settings);
    ASSERT_GE(records.size(), 2u);
    EXPECT_EQ(records[records.size() - 1], File(programDir_ + "\\setup1.dat"));
    EXPECT_EQ(records[records.size() - 2], File(programDir_ + "\\setup2.dat"));
}

TEST_F(Shortcuts, ReadmeGetsTheLastShortcutAndADerivedTitle) {
    auto settings = MakeSettings("Varnplay", "varnplay.exe", 0, 0, "ReadMe.txt", "", 0);
    settings->options &= ~OptionCreateAssociations;
    ProgressPage page(settings.get());
    settings->InstallProductShell(&page, nullptr);
    EXPECT_STREQ(settings->readmeTitle.Get(), "ReadMe");
    std::string readmeLink = groupPath_ + "\\ReadMe.lnk";
    ExpectShortcut(readmeLink, programDir_ + "\\ReadMe.txt", "", "ReadMe");
    EXPECT_EQ(WithoutKeys(*settings).front(), File(readmeLink));

    auto dotted = MakeSettings("Varnplay", "varnplay.exe", 0, 0, "doc\\notes.final.htm", nullptr, 0);
    int count = 0;
    ShortcutEntry* list = dotted->BuildShortcutList(nullptr, 0, &count);
    ASSERT_EQ(count, 1);
    EXPECT_STREQ(list[0].title, "notes.final");
    EXPECT_STREQ(list[0].target, "doc\\notes.final.htm");
    free(list);

    auto titled = MakeSettings("Varnplay", "varnplay.exe", 0, 0, "ReadMe.txt", "Read me first", 0);
    const ShortcutEntry one[] = {{"A", "a.exe"}};
    list = titled->BuildShortcutList(one, 1, &count);
    ASSERT_EQ(count, 2);
    EXPECT_STREQ(list[0].title, "A");
    EXPECT_STREQ(list[1].title, "Read me first");
    free(list);

    auto none = MakeSettings("Varnplay", "varnplay.exe", 0, 0, "", "Unused", 0);
    list = none->BuildShortcutList(one, 1, &count);
    EXPECT_EQ(count, 1);
    free(list);
}

// A folder that was there before is the user's: never recorded, so the
// uninstaller never removes it.
TEST_F(Shortcuts, NestedFolderRecordsOnlyTheLevelsItCreates) {
    const ShortcutEntry entry[] = {{"Game", "game.exe"}};
    std::string games = groupPath_ + "\\Games", adventures = games + "\\Adventures";
    {
        auto settings = MakeSettings("x", "x.exe", 0, 0, "", "", 0);
        settings->CreateStartMenuGroup((group_ + "\\Games\\Adventures").c_str(), entry, 1);
        EXPECT_TRUE(IsDirectory(adventures));
        EXPECT_EQ(WithoutKeys(*settings), (std::vector<LoggedRecord>{File(adventures + "\\Game.lnk"), Dir(adventures),
                                                                   Dir(games), Dir(groupPath_)}));
    }
    logtest::RemoveTree(adventures);
    {
        auto settings = MakeSettings("x", "x.exe", 0, 0, "", "", 0);
        settings->CreateStartMenuGroup((group_ + "\\Games\\Adventures").c_str(), entry, 1);
        EXPECT_EQ(WithoutKeys(*settings),
                  (std::vector<LoggedRecord>{File(adventures + "\\Game.lnk"), Dir(adventures)}));
    }
    {  // both levels exist: nothing is recorded
        auto settings = MakeSettings("x", "x.exe", 0, 0, "", "", 0);
        settings->CreateStartMenuGroup((group_ + "\\Games\\Adventures").c_str(), nullptr, 0);
        EXPECT_EQ(WithoutKeys(*settings), std::vector<LoggedRecord>{});
    }
}

TEST_F(Shortcuts, StrayBackslashesMakeNoEmptyFolders) {
    auto settings = MakeSettings("x", "x.exe", 0, 0, "", "", 0);
    settings->CreateStartMenuGroup(("\\\\" + group_ + "\\\\Sub\\").c_str(), nullptr, 0);
    std::string sub = groupPath_ + "\\Sub";
    EXPECT_TRUE(IsDirectory(sub));
    EXPECT_EQ(settings->startMenuPath.Get(), sub + "\\");
    EXPECT_EQ(WithoutKeys(*settings), (std::vector<LoggedRecord>{Dir(sub), Dir(groupPath_)}));
}

TEST_F(Shortcuts, EmptyFolderPutsShortcutsIntoTheProgramsFolder) {
    std::string title = "vsetup empty folder test " + std::to_string(GetCurrentProcessId());
    std::string link = installtest::ProgramsFolder() + "\\" + title + ".lnk";
    auto settings = MakeSettings(title.c_str(), "game.exe", 0, 1, "", "", 0);
    const ShortcutEntry entry[] = {{title.c_str(), "game.exe"}};
    settings->CreateStartMenuGroup("", entry, 1);
    EXPECT_EQ(settings->startMenuPath.Get(), installtest::ProgramsFolder() + "\\");
    ExpectShortcut(link, programDir_ + "\\game.exe", "", title);
    EXPECT_EQ(WithoutKeys(*settings), std::vector<LoggedRecord>{File(link)});
    DeleteFileA(link.c_str());
}

TEST_F(Shortcuts, UnsavableShortcutDoesNotStopTheRest) {
    ASSERT_TRUE(CreateDirectoryA(groupPath_.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((groupPath_ + "\\First.lnk").c_str(), nullptr));  // a folder where the link goes
    auto settings = MakeSettings("x", "x.exe", 0, 0, "", "", 0);
    const ShortcutEntry entries[] = {{"First", "a.exe"}, {"Second", "b.exe"}};
    settings->CreateStartMenuGroup(group_.c_str(), entries, 2);
    ExpectShortcut(groupPath_ + "\\Second.lnk", programDir_ + "\\b.exe", "", "Second");
    EXPECT_EQ(WithoutKeys(*settings), (std::vector<LoggedRecord>{File(groupPath_ + "\\Second.lnk")}));
}

// The user makes Programs\<group> a link to a folder they cannot write
// (under Wine a Linux symbolic link stands in for a junction), or plants a
// link where a shortcut goes: nothing is written through either.
TEST_F(Shortcuts, LinksInTheProgramsFolderGetNoShortcuts) {
    std::string elsewhere = scratch_ + "\\elsewhere", victim = elsewhere + "\\Game.lnk";
    ASSERT_TRUE(CreateDirectoryA(elsewhere.c_str(), nullptr));
    ASSERT_TRUE(logtest::WriteBinaryFile(victim, {'v'}));
    const ShortcutEntry entry[] = {{"Game", "game.exe"}, {"Other", "other.exe"}};
    ASSERT_TRUE(RunUnixProgram("/bin/ln -s", UnixPathOf(elsewhere), UnixPathOf(groupPath_)));
    ASSERT_TRUE(Eventually([&] { return IsDirectory(groupPath_); }));
    {
        auto settings = MakeSettings("x", "x.exe", 0, 0, "", "", 0);
        EXPECT_EQ(settings->CreateStartMenuGroup(group_.c_str(), entry, 2), ExtractLinkRefused);
        EXPECT_TRUE(settings->startMenuPath.IsEmpty());
        EXPECT_EQ(WithoutKeys(*settings), std::vector<LoggedRecord>{});
    }
    RunUnixProgram("/bin/rm", UnixPathOf(groupPath_), "");
    ASSERT_TRUE(Eventually([&] { return !IsDirectory(groupPath_); }));
    ASSERT_TRUE(CreateDirectoryA(groupPath_.c_str(), nullptr));
    ASSERT_TRUE(RunUnixProgram("/bin/ln -s", UnixPathOf(victim), UnixPathOf(groupPath_ + "\\Game.lnk")));
    ASSERT_TRUE(Eventually([&] { return logtest::PathExists(groupPath_ + "\\Game.lnk"); }));
    {
        auto settings = MakeSettings("x", "x.exe", 0, 0, "", "", 0);
        EXPECT_EQ(settings->CreateStartMenuGroup(group_.c_str(), entry, 2), ExtractLinkRefused);
        ExpectShortcut(groupPath_ + "\\Other.lnk", programDir_ + "\\other.exe", "", "Other");
        EXPECT_EQ(WithoutKeys(*settings), std::vector<LoggedRecord>{File(groupPath_ + "\\Other.lnk")});
    }
    EXPECT_EQ(logtest::ReadBinaryFile(victim), std::vector<uint8_t>{'v'});
    RunUnixProgram("/bin/rm", UnixPathOf(groupPath_ + "\\Game.lnk"), "");
    EXPECT_TRUE(Eventually([&] { return !logtest::PathExists(groupPath_ + "\\Game.lnk"); }));  // before TearDown
}

TEST_F(Shortcuts, GameGroupHasTheGameAndItsReadme) {
    auto settings = MakeSettings("Devi Dezir", "devi.exe", 0, 1, "Devi\\Manual.htm", "", 0);
    ProgressPage page(settings.get());
    page.stepIndex = 1;
    settings->InstallGameShell(&page, nullptr);
    EXPECT_EQ(page.stepIndex, 3);
    EXPECT_FALSE(page.markFlags & MarkSkipped);
    std::string game = groupPath_ + "\\Devi Dezir.lnk", manual = groupPath_ + "\\Manual.lnk";
    ExpectShortcut(game, programDir_ + "\\devi.exe", "", "Devi Dezir");
    ExpectShortcut(manual, programDir_ + "\\Devi\\Manual.htm", "", "Manual");
    EXPECT_EQ(WithoutKeys(*settings), (std::vector<LoggedRecord>{File(manual), File(game), Dir(groupPath_)}));
}

}  // namespace
