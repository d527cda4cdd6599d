#include <algorithm>
#include <cstring>

#include "ShellFixture.h"
#include "shell/EarlierDefault.h"

namespace {

using installtest::ReadRegistryString;

std::vector<LoggedRecord> NewestFirst(std::vector<LoggedRecord> oldestFirst) {
    std::reverse(oldestFirst.begin(), oldestFirst.end());
    return oldestFirst;
}

LoggedRecord ClassKey(const std::string& path) { return Key(HKEY_CLASSES_ROOT, path); }

// What an extension named before: another program's type, or nothing.
LoggedRecord Earlier(const std::string& extension, const std::string& value = "") {
    return LoggedRecord{UninstallAppName, 0, EncodeEarlierDefault(extension, value)};
}

// What its "Content Type" held before: a text, or none (null).
LoggedRecord EarlierType(const std::string& extension, const char* value) {
    std::string text = value ? value : "";
    return LoggedRecord{UninstallAppName, 0, EncodeEarlierContentType(extension, value ? &text : nullptr)};
}

std::string Classes(const char* key, const char* value = "") { return ReadRegistryString(HKEY_CLASSES_ROOT, key, value); }

bool SetContentType(const char* extension, const char* text) {
    HKEY key;
    if (RegCreateKeyA(HKEY_CLASSES_ROOT, extension, &key) != ERROR_SUCCESS) return false;
    LONG status = RegSetValueExA(key, "Content Type", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                 static_cast<DWORD>(std::strlen(text) + 1));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

const char kSettingsKey[] = "Software\\VARN\\Varnplay\\1.0\\Settings";

class FileAssociations : public ShellFixture {
protected:
    void ExpectPlayerValues(const std::string& dir, const std::string& joined) {
        EXPECT_EQ(Classes(".GAM"), "VARN.Game");
        EXPECT_EQ(Classes(".GAM", "Content Type"), "application/x-varn");
        EXPECT_EQ(Classes("VARN.Game"), "VARN Game");
        EXPECT_EQ(Classes("VARN.Game\\shell\\open\\command"), "\"" + joined + "vplay2.exe\" \"%1\"");
        EXPECT_EQ(Classes("VARN.Game\\DefaultIcon"), dir + "\\vplay2.exe,1");
        EXPECT_EQ(Classes(".SAV"), "VARN.Save");
        EXPECT_EQ(Classes(".SAV", "Content Type"), "application/x-varn-save");
        EXPECT_EQ(Classes("VARN.Save"), "VARN Saved Game");
        EXPECT_EQ(Classes("VARN.Save\\shell\\open\\command"), "\"" + joined + "vplay2.exe\" -r \"%1\"");
        EXPECT_EQ(Classes("VARN.Save\\DefaultIcon"), joined + "vplay2.exe,2");
    }
};

TEST_F(FileAssociations, PlayerWritesTheTenValuesAndRecordsEveryKey) {
    auto settings = MakeSettings("Varnplay", "varnplay.exe", 0, 0, "", "", 0);
    settings->WriteFileAssociations();
    ExpectPlayerValues(programDir_, programDir_ + "\\");
    EXPECT_EQ(logtest::ListedRecords(*settings),
              // each type before the extension that names it
              NewestFirst({ClassKey("VARN.Game"), ClassKey("VARN.Game\\shell"), ClassKey("VARN.Game\\shell\\open"),
                           ClassKey("VARN.Game\\shell\\open\\command"), ClassKey("VARN.Game\\DefaultIcon"),
                           Earlier(".GAM"), ClassKey(".GAM"), EarlierType(".GAM", nullptr), ClassKey(".GAM"),
                           ClassKey("VARN.Save"), ClassKey("VARN.Save\\shell"), ClassKey("VARN.Save\\shell\\open"),
                           ClassKey("VARN.Save\\shell\\open\\command"), ClassKey("VARN.Save\\DefaultIcon"),
                           Earlier(".SAV"), ClassKey(".SAV"), EarlierType(".SAV", nullptr), ClassKey(".SAV")}));
    EXPECT_EQ(Classes(".VDC"), "<missing>");
    EXPECT_EQ(Classes("VARN.Game\\shell\\debug"), "<missing>");
}

TEST_F(FileAssociations, TrailingBackslashDoublesOnlyInConcatenatedIcons) {
    auto settings = MakeSettings("Varnplay", "varnplay.exe", 0, 0, "", "", 0);
    settings->programDir.Assign((programDir_ + "\\").c_str());
    settings->WriteFileAssociations();
    ExpectPlayerValues(programDir_ + "\\", programDir_ + "\\");
    EXPECT_EQ(Classes("VARN.Game\\DefaultIcon"), programDir_ + "\\\\vplay2.exe,1");

    auto workbench = MakeSettings("VARN Workbench", "vbench.exe", 1, 0, "", "", 0);
    workbench->programDir.Assign((programDir_ + "\\").c_str());
    workbench->WriteFileAssociations();
    EXPECT_EQ(Classes("VARN.DebugConfig\\DefaultIcon"), programDir_ + "\\\\vbench2.exe,3");
    EXPECT_EQ(Classes("VARN.DebugConfig\\shell\\open\\command"), "\"" + programDir_ + "\\vbench.exe\" \"%1\"");
}

TEST_F(FileAssociations, ExistingExtensionKeyIsStillRecorded) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, ".SAV", &key), ERROR_SUCCESS);
    RegCloseKey(key);
    auto settings = MakeSettings("Varnplay", "varnplay.exe", 0, 0, "", "", 0);
    settings->WriteFileAssociations();
    auto records = logtest::ListedRecords(*settings);
    EXPECT_EQ(std::count(records.begin(), records.end(), ClassKey(".SAV")), 2);
}

// Another program's type and content type are recorded once, each before
// the key it speaks of; a type that is ours already is not (the earlier
// installation's log knows what came before), nor is its content type.
TEST_F(FileAssociations, OtherProgramsTypesAreRecordedBeforeTheyAreReplaced) {
    ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, ".GAM", REG_SZ, "OtherGame.Story", 15), ERROR_SUCCESS);
    ASSERT_TRUE(SetContentType(".GAM", "text/x-story"));
    ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, ".SAV", REG_SZ, "varn.save", 9), ERROR_SUCCESS);
    ASSERT_TRUE(SetContentType(".SAV", "text/x-old"));
    auto settings = MakeSettings("Varnplay", "varnplay.exe", 0, 0, "", "", 0);
    settings->WriteFileAssociations();
    EXPECT_EQ(Classes(".GAM"), "VARN.Game");
    EXPECT_EQ(Classes(".GAM", "Content Type"), "application/x-varn");
    auto records = logtest::ListedRecords(*settings);
    // Each before the key it speaks of, after the type the extension is pointed at.
    auto earlier = std::find(records.begin(), records.end(), Earlier(".GAM", "OtherGame.Story"));
    ASSERT_NE(earlier, records.end());
    ASSERT_GE(earlier - records.begin(), 3);
    EXPECT_EQ(std::vector<LoggedRecord>(earlier - 3, earlier + 2),
              NewestFirst({ClassKey("VARN.Game\\DefaultIcon"), Earlier(".GAM", "OtherGame.Story"), ClassKey(".GAM"),
                           EarlierType(".GAM", "text/x-story"), ClassKey(".GAM")}));
    size_t names = 0;
    for (const LoggedRecord& record : records) names += record.kind == UninstallAppName;
    EXPECT_EQ(names, 2u);

    ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, ".DDZ", REG_SZ, "txtfile", 7), ERROR_SUCCESS);
    auto game = MakeSettings("Devi Dezir", "lostpig.exe", 0, 1, "", "", 0);
    game->saveSuffix.Assign("DDZ");
    game->WriteGameSaveAssociation();
    EXPECT_EQ(Classes(".DDZ"), "Devi Dezir.Save");
    auto gameRecords = logtest::ListedRecords(*game);
    ASSERT_GE(gameRecords.size(), 2u);
    EXPECT_EQ(gameRecords[0], ClassKey(".DDZ"));
    EXPECT_EQ(gameRecords[1], Earlier(".DDZ", "txtfile"));
}

TEST_F(FileAssociations, WorkbenchWritesItsSixValuesAndBothFlags) {
    auto settings = MakeSettings("VARN Workbench", "vbench.exe", 1, 0, "", "", 1);  // v3 changes nothing here
    settings->WriteFileAssociations();
    settings->WriteSetupDoneFlags();
    std::string open = "\"" + programDir_ + "\\vbench.exe\" \"%1\"";
    EXPECT_EQ(Classes("VARN.Game\\shell\\debug"), "Open in VARN &Workbench");
    EXPECT_EQ(Classes("VARN.Game\\shell\\debug\\command"), open);
    EXPECT_EQ(Classes(".VDC"), "VARN.DebugConfig");
    EXPECT_EQ(Classes("VARN.DebugConfig"), "VARN Workbench Project");
    EXPECT_EQ(Classes("VARN.DebugConfig\\shell\\open\\command"), open);
    EXPECT_EQ(Classes("VARN.DebugConfig\\DefaultIcon"), programDir_ + "\\vbench2.exe,3");
    EXPECT_EQ(Classes(".GAM"), "<missing>");
    EXPECT_EQ(Classes(".SAV"), "<missing>");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kSettingsKey, "Setup Done"), "Yes");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kSettingsKey, "Debugger Setup Done"), "Yes");
    LoggedRecord settingsKey = Key(HKEY_CURRENT_USER, kSettingsKey);
    EXPECT_EQ(logtest::ListedRecords(*settings),
              NewestFirst({ClassKey("VARN.Game"), ClassKey("VARN.Game\\shell"), ClassKey("VARN.Game\\shell\\debug"),
                           ClassKey("VARN.Game\\shell\\debug\\command"), ClassKey("VARN.DebugConfig"),
                           ClassKey("VARN.DebugConfig\\shell"), ClassKey("VARN.DebugConfig\\shell\\open"),
                           ClassKey("VARN.DebugConfig\\shell\\open\\command"), ClassKey("VARN.DebugConfig\\DefaultIcon"),
                           Earlier(".VDC"), ClassKey(".VDC"),
                           Key(HKEY_CURRENT_USER, "Software\\VARN"), Key(HKEY_CURRENT_USER, "Software\\VARN\\Varnplay"),
                           Key(HKEY_CURRENT_USER, "Software\\VARN\\Varnplay\\1.0"), settingsKey, settingsKey}));
}

TEST_F(FileAssociations, DeclinedPlayerWritesOnlyTheSetupDoneFlag) {
    auto settings = MakeSettings("Varnplay", "varnplay.exe", 0, 0, "", "", 0);
    settings->options &= ~OptionCreateAssociations;
    ProgressPage page(settings.get());
    settings->InstallProductShell(&page, nullptr);
    settings->WriteSetupDoneFlags();
    for (const LoggedRecord& record : logtest::ListedRecords(*settings))
        EXPECT_NE(record.root, 0x80000000u) << record.text;
    EXPECT_EQ(Classes(".GAM"), "<missing>");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kSettingsKey, "Setup Done"), "Yes");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kSettingsKey, "Debugger Setup Done"), "<missing>");
}

TEST_F(FileAssociations, SingleGameWritesItsSavedGameTypeAndNoFlags) {
    auto settings = MakeSettings("Devi Dezir", "devi.exe", 0, 1, "", "", 0);
    settings->WriteGameSaveAssociation();
    settings->WriteSetupDoneFlags();
    EXPECT_EQ(Classes(".SAV"), "Devi Dezir.Save");
    EXPECT_EQ(Classes(".SAV", "Content Type"), "<missing>");
    EXPECT_EQ(Classes("Devi Dezir.Save"), "Devi Dezir Saved Game");
    EXPECT_EQ(Classes("Devi Dezir.Save\\shell\\open\\command"), "\"" + programDir_ + "\\devi.exe\" -r \"%1\"");
    EXPECT_EQ(Classes("Devi Dezir.Save\\DefaultIcon"), programDir_ + "\\devi.exe,2");
    EXPECT_EQ(Classes(".GAM"), "<missing>");
    EXPECT_FALSE(logtest::RegistryKeyExists(HKEY_CURRENT_USER, "Software\\VARN"));
    EXPECT_EQ(logtest::ListedRecords(*settings),
              NewestFirst({ClassKey("Devi Dezir.Save"), ClassKey("Devi Dezir.Save\\shell"),
                           ClassKey("Devi Dezir.Save\\shell\\open"), ClassKey("Devi Dezir.Save\\shell\\open\\command"),
                           ClassKey("Devi Dezir.Save\\DefaultIcon"), Earlier(".SAV"), ClassKey(".SAV")}));

    auto other = MakeSettings("Devi Dezir", "devi.exe", 0, 1, "", "", 0);
    other->saveSuffix.Assign("DDZ");
    other->programDir.Assign((programDir_ + "\\").c_str());
    other->WriteGameSaveAssociation();
    EXPECT_EQ(Classes(".DDZ"), "Devi Dezir.Save");
    EXPECT_EQ(Classes("Devi Dezir.Save\\DefaultIcon"), programDir_ + "\\devi.exe,2");
}

}  // namespace
