#include "PageFixture.h"
#include "support/MessagePump.h"
#include "support/TempTree.h"

namespace {

const char kIntroTail[] = " on your computer.  You should exit all other applications before running this Setup program.";

TEST_F(PageTest, WelcomeGreetsWithTheApplicationNameAndOffersOnlyNext) {
    AddWelcome();
    AddProgramDir();
    Open();
    EXPECT_EQ(Text(IDC_WELCOME_HEADING), "Welcome to Varnplay Setup!");
    EXPECT_EQ(Text(IDC_WELCOME_INTRO), std::string("This program will install Varnplay") + kIntroTail);
    EXPECT_FALSE(sheet.IsButtonEnabled(WizardSheet::kBackId));
    EXPECT_TRUE(sheet.IsButtonEnabled(WizardSheet::kNextId));
    EXPECT_EQ(settings.sheetWindow, sheet.window());

    Next();
    EXPECT_EQ(Current(), 1);
    Back();
    EXPECT_EQ(Current(), 0);
    EXPECT_FALSE(sheet.IsButtonEnabled(WizardSheet::kBackId));
    EXPECT_TRUE(sheet.IsButtonEnabled(WizardSheet::kNextId));
}

TEST_F(PageTest, WelcomeKeepsAVeryLongApplicationNameWhole) {
    std::string name(300, 'n');
    name.replace(0, 6, "Varn 3");
    name.back() = 'Z';
    settings.appName.Assign(name.c_str());
    AddWelcome();
    Open();
    EXPECT_EQ(Text(IDC_WELCOME_HEADING), "Welcome to " + name + " Setup!");
    EXPECT_EQ(Text(IDC_WELCOME_INTRO), "This program will install " + name + kIntroTail);
}

TEST_F(PageTest, WelcomeWithAnEmptyNameKeepsBothBlanks) {
    settings.appName.Assign("");
    AddWelcome();
    Open();
    EXPECT_EQ(Text(IDC_WELCOME_HEADING), "Welcome to  Setup!");
}

// A license text of the given size with CR LF line ends.
std::string LicenseText(size_t size) {
    std::string text;
    for (int line = 1; text.size() < size; ++line)
        text += "Clause " + std::to_string(line) + ": the licensee may play the game.\r\n";
    return text.substr(0, size);
}

class LicenseTest : public PageTest {
protected:
    std::string Show(const std::string& content) {
        settings.SetLicenseFile(tree_.MakeFile("LICENSE.TXT", content).c_str());
        AddWelcome();
        AddLicense();
        AddProgramDir();
        Open();
        Next();
        EXPECT_EQ(Current(), 1);
        return Text(IDC_LICENSE_TEXT);
    }
    TempTree tree_;
};

TEST_F(LicenseTest, EmptyFileGivesAnEmptyUsablePage) {
    EXPECT_EQ(Show(""), "");
    EXPECT_TRUE(sheet.IsButtonEnabled(WizardSheet::kBackId));
    EXPECT_TRUE(sheet.IsButtonEnabled(WizardSheet::kNextId));
    Next();
    EXPECT_EQ(Current(), 2);
}

TEST_F(LicenseTest, OneChunkOf511Bytes) { EXPECT_EQ(Show(LicenseText(511)), LicenseText(511)); }

TEST_F(LicenseTest, TwoChunksFor512BytesKeepTheTextUnchanged) { EXPECT_EQ(Show(LicenseText(512)), LicenseText(512)); }

TEST_F(LicenseTest, ManyChunksInFileOrder) { EXPECT_EQ(Show(LicenseText(5000)), LicenseText(5000)); }

// Longer than an edit control's default limit (about 32 KB): nothing may be cut.
TEST_F(LicenseTest, LongLicenseIsShownWhole) { EXPECT_EQ(Show(LicenseText(70000)), LicenseText(70000)); }

TEST_F(LicenseTest, CaretStartsAtTheTopAndReturnsThereOnEveryVisit) {
    Show(LicenseText(2000));
    EXPECT_EQ(Selection(IDC_LICENSE_TEXT), std::make_pair(DWORD(0), DWORD(0)));
    SendMessageA(sheet.PageItem(IDC_LICENSE_TEXT), EM_SETSEL, 100, 300);
    Next();
    Back();
    EXPECT_EQ(Current(), 1);
    EXPECT_EQ(Selection(IDC_LICENSE_TEXT), std::make_pair(DWORD(0), DWORD(0)));
    EXPECT_EQ(Text(IDC_LICENSE_TEXT), LicenseText(2000));  // loaded once, not appended again
}

TEST_F(LicenseTest, MissingFileShowsTheNoticeAndTheWizardGoesOn) {
    settings.SetLicenseFile(tree_.Path("NOLICENSE.TXT").c_str());
    AddWelcome();
    AddLicense();
    AddProgramDir();
    Open();
    Next();
    ASSERT_EQ(Current(), 1);
    EXPECT_EQ(Text(IDC_LICENSE_TEXT),
              "License file not found.  Your copy of this installation set may be corrupted - you may need to "
              "obtain a new copy of the installation set.");
    Next();
    EXPECT_EQ(Current(), 2);
}

TEST_F(LicenseTest, EnterInTheTextActsAsNext) {
    Show(LicenseText(100));
    SendMessageA(sheet.PageItem(IDC_LICENSE_TEXT), WM_CHAR, '\r', 0);
    PumpPending();
    EXPECT_EQ(Current(), 2);
}

TEST_F(PageTest, LicenseIsSkippedInBothDirectionsWithoutALicense) {
    settings.options &= ~static_cast<DWORD>(OptionLicensePage);
    AddWelcome();
    AddLicense();
    AddProgramDir();
    Open();
    Next();
    EXPECT_EQ(Current(), 2);
    Back();
    EXPECT_EQ(Current(), 0);
    EXPECT_FALSE(sheet.IsButtonEnabled(WizardSheet::kBackId));
    Next();
    EXPECT_EQ(Current(), 2);
}

}  // namespace
