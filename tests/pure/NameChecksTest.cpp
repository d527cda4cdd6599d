#include <gtest/gtest.h>

#include <map>
#include <string>

#include "pure/NameCharsSupport.h"
#include "setup/ConfigCheck.h"
#include "setup/DestinationCheck.h"
#include "setup/NameRules.h"
#include "setup/PathHelpers.h"
#include "setup/SetupDatParser.h"

namespace {

// A small file system: folders and files by path, letter case ignored.
class FakeProbe : public PathProbe {
public:
    bool Exists(const char* path, bool* isDirectory) override {
        ++calls;
        for (const auto& entry : entries) {
            if (!EqualsNoCase(entry.first.c_str(), path)) continue;
            *isDirectory = entry.second;
            return true;
        }
        return false;
    }
    std::map<std::string, bool> entries = {{"C:\\", true},          {"C:\\Program Files", true},
                                           {"C:\\Games", true},     {"C:\\afile.txt", false},
                                           {"\\\\server\\share\\", true}};
    int calls = 0;
};

TEST(DestinationCheck, RefusesWhatWouldLandWhereTheUserDidNotMeanIt) {
    std::string longest = "C:\\" + std::string(256, 'x');  // 259 characters
    struct Case {
        std::string path;
        DestinationProblem expected;
    } cases[] = {
        {"", DestinationEmpty},
        {"RelDir", DestinationNotFullPath},
        {"\\Games", DestinationNotFullPath},
        {"C:Games", DestinationNotFullPath},
        {"C:", DestinationNotFullPath},
        {"\"C:\\Program Files\\Varnplay Demo\"", DestinationNotFullPath},
        {"\\\\server", DestinationNotFullPath},
        {"\\\\server\\", DestinationNotFullPath},
        {"\\\\\\share\\x", DestinationNotFullPath},
        {longest + "x", DestinationTooLong},
        {"C:\\a|b", DestinationBadCharacter},
        {"C:\\a/b", DestinationBadCharacter},
        {"C:\\a:b", DestinationBadCharacter},
        {"C:\\a\tb", DestinationBadCharacter},
        {"\\\\?\\C:\\x", DestinationNetwork},
        {"C:\\Games\\COM1", DestinationDeviceName},
        {"C:\\nul.txt\\x", DestinationDeviceName},
        {"C:\\Games\\..", DestinationBadFolderName},
        {"C:\\Games\\.", DestinationBadFolderName},
        {"C:\\Games ", DestinationBadFolderName},
        {"C:\\Program Files.", DestinationBadFolderName},
        {"C:\\", DestinationRoot},
        {"c:\\\\", DestinationEmptyName},
        {"\\\\server\\share", DestinationNetwork},
        {"\\\\server\\share\\", DestinationNetwork},
        {"C:\\Program Files", DestinationProgramFiles},
        {"c:\\PROGRAM FILES\\", DestinationProgramFiles},
        {"C:\\\\Program Files", DestinationEmptyName},
        {"C:\\Games\\\\Varnplay", DestinationEmptyName},
        {"C:\\Games\\\\\\Varnplay\\", DestinationEmptyName},
        {"C:\\Games\\Varnplay\\\\", DestinationEmptyName},
        {"Q:\\Acme", DestinationNoSuchRoot},
        {"\\\\nosuch\\share\\x", DestinationNetwork},
        {"C:\\afile.txt", DestinationIsFile},
        {"C:\\afile.txt\\sub", DestinationIsFile},
        // and their neighbours that are fine
        {longest, DestinationOk},
        {"C:\\Games", DestinationOk},
        {"c:\\games\\", DestinationOk},
        {"C:\\Games\\Varn 3", DestinationOk},
        {"C:\\New\\Deeper", DestinationOk},
        {"C:\\Program Files\\Varnplay", DestinationOk},
        {"\\\\server\\share\\Games", DestinationNetwork},
        {"C:\\Games\\..a\\COM10\\console", DestinationOk},
        {"C:\\Spi\xE9le", DestinationOk},
    };
    for (const Case& c : cases) {
        FakeProbe probe;
        EXPECT_EQ(CheckDestination(c.path.c_str(), "C:\\Program Files", probe), c.expected) << c.path;
        if (c.expected == DestinationOk) continue;
        // The written form is judged first: a path that is wrong as written is never looked up.
        if (c.expected < DestinationNoSuchRoot) {
            EXPECT_EQ(probe.calls, 0) << c.path;
        }
        EXPECT_STRNE(DestinationProblemText(c.expected), "") << c.path;
    }
}

std::vector<ConfigProblem> ProblemsOf(const std::string& setupDat, size_t capacity = kMaxConfigProblems) {
    SetupConfig config;
    ParseSetupDat(setupDat.data(), setupDat.size(), config);
    std::vector<ConfigProblem> problems(kMaxConfigProblems);
    size_t count = CheckSetupConfig(config, problems.data(), capacity);
    problems.resize(count < capacity ? count : capacity);
    EXPECT_LE(count, kMaxConfigProblems);
    return problems;
}

TEST(ConfigCheck, ValuesThatMakeBrokenNamesAreRefusedByKey) {
    struct Case {
        const char* setupDat;
        const char* key;  // null: accepted
    } cases[] = {
        {"", nullptr},
        {"startfolder=..\\..\\..\\Odd Escape", "startfolder"},
        {"startfolder=C:\\Odd", "startfolder"},
        {"startfolder=Games/Varn", "startfolder"},
        {"startfolder=Games\\CON", "startfolder"},
        {"startfolder=Games\\Varn ", "startfolder"},
        {"startfolder=Games\\Adventures", nullptr},
        {"startfolder=\\Games\\\\Varn\\", nullptr},
        {"startfolder=", nullptr},
        {"mainexe=bin\\helper.dll", "mainexe"},
        {"mainexe=", "mainexe"},
        {"mainexe=a|b.exe", "mainexe"},
        {"mainexe=nul.exe", "mainexe"},
        {"mainexe=lostpig.exe", nullptr},
        {"game\nsavesuffix=", nullptr},
        {"game\nsavesuffix=.SAV", "savesuffix"},
        {"game\nsavesuffix=S\\V", "savesuffix"},
        {"game\nsavesuffix=LPS", nullptr},
        {"game\nsavesuffix=exe", "savesuffix"},  // Windows runs or uses these itself
        {"game\nsavesuffix=EXE", "savesuffix"},
        {"game\nsavesuffix=Lnk", "savesuffix"},
        {"game\nsavesuffix=ps1", "savesuffix"},
        {"game\nsavesuffix=reg", "savesuffix"},
        {"game\nsavesuffix=appref-ms", "savesuffix"},
        {"game\nsavesuffix=exe1", nullptr},
        {"game\nsavesuffix=ex", nullptr},
        {"game\nsavesuffix=txt", nullptr},  // another program's documents: the packer warns
        {"savesuffix=exe", nullptr},
        {"savesuffix=S\\V", nullptr},  // only a single game uses it
        {"license=..\\x.txt", "license"},
        {"license=\\x.txt", "license"},
        {"license=C:\\x.txt", "license"},
        {"license=docs\\EULA.TXT", nullptr},
        {"license=docs/EULA.TXT", nullptr},
        {"license=", nullptr},
        {"readme=doc\\..\\..\\x.txt", "readme"},
        {"readme=CON.txt", "readme"},
        {"readme=doc\\intro.htm", nullptr},
        {"readme=doc/intro.htm", nullptr},
        {"readme=doc\\.htm", "readme"},  // no name for its shortcut
        {"readme=doc\\.htm\nreadme_title=Intro", nullptr},
        {"game\nappname=\"|\"", "appname"},
        {"game\nappname=CON", "appname"},
        {"game\nappname=Devi \"Dezir\"", nullptr},
        {"game\nappname=Devi\\Dezir", "appname"},
        {"appname=\"|\"", nullptr},  // only "Uninstall ..." is made from it
        {"readme=r.txt\nreadme_title=COM1", "readme_title"},
        {"readme=r.txt\nreadme_title=A/B", nullptr},
        {"readme_title=COM1", nullptr},  // no readme, no shortcut
        {"version=1.2.0\npublisher=VARN Software Ltd.", nullptr},
        {"version=\npublisher=", nullptr},  // given empty: no value at all
        {"version= 1.2", "version"},       // the blank after "=" is part of the value
        {"version=1.2 ", "version"},
        {"version=1.2\tbeta", "version"},
        {"publisher=VARN\x7f", "publisher"},
        {"publisher=VARN \xe9" "ditions", nullptr},
    };
    for (const Case& c : cases) {
        std::vector<ConfigProblem> problems = ProblemsOf(c.setupDat);
        if (!c.key) {
            EXPECT_TRUE(problems.empty()) << c.setupDat << ": " << problems[0].key << " " << problems[0].reason;
            continue;
        }
        ASSERT_EQ(problems.size(), 1u) << c.setupDat;
        EXPECT_STREQ(problems[0].key, c.key) << c.setupDat;
    }
}

TEST(ConfigCheck, EveryProblemIsFoundInKeyOrderAndTheMessageNamesTheKey) {
    std::string setupDat = "mainexe=\nstartfolder=..\\x\ngame\nsavesuffix=.x\n";
    std::vector<ConfigProblem> all = ProblemsOf(setupDat);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_STREQ(all[0].key, "startfolder");
    EXPECT_STREQ(all[1].key, "mainexe");
    EXPECT_STREQ(all[2].key, "savesuffix");
    std::vector<ConfigProblem> first = ProblemsOf(setupDat, 1);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_STREQ(ConfigProblemMessage(first[0]).Get(),
                 "The value of startfolder in SETUP.DAT holds \"..\", which leads out of its folder.  "
                 "Nothing was installed.");
}

TEST(ConfigCheck, ValueThisWindowsCannotHoldComesFirstByItsKey) {
    ScopedNameCodePage western(1252);  // a Windows that ignores the UTF-8 code page
    std::vector<ConfigProblem> all = ProblemsOf("mainexe=\nappname=\xD0\x98\xD0\xB3\xD1\x80\xD0\xB0\n");
    ASSERT_EQ(all.size(), 2u);
    EXPECT_STREQ(all[0].key, "appname");
    EXPECT_STREQ(all[1].key, "mainexe");
    EXPECT_STREQ(ConfigProblemMessage(all[0]).Get(),
                 "The value of appname in SETUP.DAT holds a character that this version of Windows cannot use in "
                 "names: it needs Windows 10 version 1903 or later, or a system code page that has the character.  "
                 "Nothing was installed.");
    ScopedNameCodePage utf8(kCodePageUtf8);
    EXPECT_EQ(ProblemsOf("appname=\xD0\x98\xD0\xB3\xD1\x80\xD0\xB0\n").size(), 0u);
}

TEST(LinkFileName, LeavesOutWhatAFileNameCannotHold) {
    EXPECT_STREQ(LinkFileName("Devi \"Dezir\"").Get(), "Devi Dezir");
    EXPECT_STREQ(LinkFileName("a\\b/c:d*e?f<g>h|i\x01j").Get(), "abcdefghij");
    EXPECT_STREQ(LinkFileName("").Get(), "");
}

}  // namespace
