#include <algorithm>
#include <cctype>

#include "PageFixture.h"
#include "support/ModalResponder.h"
#include "support/TempTree.h"

namespace {

const char kMissingQuestion[] = "The directory you selected does not exist.  Do you want to create it?";
const char kNotADirectory[] =
    "The path you selected is not a directory.  Please select a directory as the destination.";

class ProgramDirTest : public PageTest {
protected:
    void SetUp() override {
        settings.programDir.Assign(tree_.Path("Proposed").c_str());  // does not exist
        AddWelcome();
        page_ = AddProgramDir();
        AddStartFolder();
        Open();
        Next();
        ASSERT_EQ(Current(), 1);
        responder_.reset(new ModalResponder);
    }
    // Presses Browse; the chooser is answered with the given path and OK.
    void TearDown() override {
        for (const ModalResponder::Seen& seen : responder_->seen()) EXPECT_FALSE(seen.unexpected) << seen.caption;
        responder_.reset();
        PageTest::TearDown();
    }
    void BrowseTo(const std::string& path) {
        responder_->Then(ModalResponder::SetTextThenPress(IDC_PATH_EDIT, path, IDOK));
        Command(IDC_BROWSE, BN_CLICKED);
    }
    std::string Shown() const { return Text(IDC_PROGRAM_DIR_TEXT); }
    size_t Questions() const { return responder_->seen().size(); }

    TempTree tree_;
    ProgramDirPage* page_ = nullptr;
    std::unique_ptr<ModalResponder> responder_;
};

TEST_F(ProgramDirTest, ProposedDirectoryIsShownAndTakenWithoutAQuestion) {
    EXPECT_EQ(Shown(), tree_.Path("Proposed"));
    EXPECT_TRUE(sheet.IsButtonEnabled(WizardSheet::kBackId));
    EXPECT_TRUE(sheet.IsButtonEnabled(WizardSheet::kNextId));
    Next();
    EXPECT_EQ(Current(), 2);
    EXPECT_EQ(Questions(), 0u);
}

TEST_F(ProgramDirTest, BrowseReturningTheSamePathInAnotherCaseChangesNothing) {
    std::string upper = tree_.Path("Proposed");
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return std::toupper(c); });
    BrowseTo(upper);
    ASSERT_EQ(Questions(), 1u);
    EXPECT_EQ(responder_->seen()[0].caption, "Select Installation Directory");
    EXPECT_EQ(Shown(), tree_.Path("Proposed"));
    EXPECT_EQ(std::string(settings.programDir.Get()), tree_.Path("Proposed"));
    EXPECT_FALSE(page_->dirChanged);
    Next();
    EXPECT_EQ(Current(), 2);
    EXPECT_EQ(Questions(), 1u);  // no check of the unchanged directory
}

TEST_F(ProgramDirTest, CancelInTheChooserLeavesThePageAsItWas) {
    responder_->Then(ModalResponder::Press(IDCANCEL));
    Command(IDC_BROWSE, BN_CLICKED);
    EXPECT_EQ(Shown(), tree_.Path("Proposed"));
    EXPECT_FALSE(page_->dirChanged);
}

TEST_F(ProgramDirTest, MissingDirectoryAsksAndNoKeepsThePage) {
    std::string chosen = tree_.Path("New Place");
    BrowseTo(chosen);
    EXPECT_EQ(Shown(), chosen);
    EXPECT_EQ(std::string(settings.programDir.Get()), chosen);
    responder_->Then(ModalResponder::Press(IDNO));
    Next();
    ASSERT_EQ(Questions(), 2u);
    EXPECT_EQ(responder_->seen()[1].caption, "Setup");
    EXPECT_EQ(responder_->seen()[1].text, kMissingQuestion);
    EXPECT_EQ(responder_->seen()[1].icon, static_cast<UINT>(MB_ICONQUESTION));
    EXPECT_EQ(Current(), 1);
    EXPECT_TRUE(page_->dirChanged);
}

TEST_F(ProgramDirTest, MissingDirectoryYesGoesOnAndIsNotAskedAgain) {
    BrowseTo(tree_.Path("New Place"));
    responder_->Then(ModalResponder::Press(IDYES));
    Next();
    EXPECT_EQ(Current(), 2);
    EXPECT_EQ(Questions(), 2u);
    EXPECT_FALSE(page_->dirChanged);
    Back();
    Next();
    EXPECT_EQ(Current(), 2);
    EXPECT_EQ(Questions(), 2u);
    EXPECT_EQ(GetFileAttributesA(tree_.Path("New Place").c_str()), INVALID_FILE_ATTRIBUTES);  // the page creates nothing
}

TEST_F(ProgramDirTest, MissingParentIsAskedAboutLikeAMissingDirectory) {
    BrowseTo(tree_.Path("no parent\\child"));
    responder_->Then(ModalResponder::Press(IDNO));
    Next();
    ASSERT_EQ(Questions(), 2u);
    EXPECT_EQ(responder_->seen()[1].text, kMissingQuestion);
    EXPECT_EQ(Current(), 1);
}

TEST_F(ProgramDirTest, FileInsteadOfADirectoryIsRefusedOnEveryNext) {
    std::string file = tree_.MakeFile("plain.txt", "text");
    BrowseTo(file);
    responder_->Then(ModalResponder::Press(IDOK));
    Next();
    ASSERT_EQ(Questions(), 2u);
    EXPECT_EQ(responder_->seen()[1].caption, "Setup");
    EXPECT_EQ(responder_->seen()[1].text, kNotADirectory);
    EXPECT_EQ(responder_->seen()[1].icon, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(Current(), 1);
    responder_->Then(ModalResponder::Press(IDOK));
    Next();
    EXPECT_EQ(Questions(), 3u);
    EXPECT_EQ(Current(), 1);

    BrowseTo(tree_.root());
    Next();
    EXPECT_EQ(Current(), 2);
    EXPECT_EQ(Questions(), 4u);  // only the chooser: an existing directory passes silently
}

TEST_F(ProgramDirTest, ExistingDirectoryPassesSilentlyEveryTime) {
    std::string existing = tree_.MakeDir("Existing");
    BrowseTo(existing);
    Next();
    EXPECT_EQ(Current(), 2);
    EXPECT_TRUE(page_->dirChanged);  // checked again on the next Next
    Back();
    RemoveTree(existing);
    responder_->Then(ModalResponder::Press(IDNO));
    Next();
    EXPECT_EQ(Current(), 1);
    ASSERT_EQ(Questions(), 2u);
    EXPECT_EQ(responder_->seen()[1].text, kMissingQuestion);
}

// Nothing may land in a drive's root, the set's own folder (a relative path),
// Program Files itself or a drive that is not there: every Next checks the
// destination, also the wizard's own proposal, before the question above.
TEST_F(ProgramDirTest, DestinationsThatCannotBeInstalledIntoKeepThePage) {
    char programFiles[MAX_PATH], shortName[MAX_PATH];
    InstallSettingsBase::GetProgramFilesDir(programFiles);
    ASSERT_NE(GetShortPathNameA(programFiles, shortName, MAX_PATH), 0u);
    // 64-bit Windows has two; each build is told of its own.
    std::string other = programFiles;
    const std::string x86 = " (x86)";
    bool isX86 = other.size() > x86.size() && other.compare(other.size() - x86.size(), x86.size(), x86) == 0;
    other = isX86 ? other.substr(0, other.size() - x86.size()) : other + x86;
    ASSERT_NE(GetFileAttributesA(other.c_str()), INVALID_FILE_ATTRIBUTES) << other;
    struct Case {
        std::string path;
        bool browse;  // else the wizard's proposal
        const char* message;
    } cases[] = {
        {programFiles, false, "The installation directory is the Program Files folder itself."},
        {shortName, true, "The installation directory is the Program Files folder itself."},
        {other, true, "The installation directory is the Program Files folder itself."},
        {"", true, "No installation directory was given."},
        {"RelDir", true, "The installation directory is not a full path."},
        {"C:\\", true, "The installation directory is the root folder of a drive or network share."},
        {"C:\\a|b", true, "The installation directory holds a character that Windows does not allow"},
        {"Q:\\Acme", true, "The drive or network share of the installation directory does not exist."},
    };
    for (const Case& c : cases) {
        size_t before = Questions();
        if (c.browse) {
            BrowseTo(c.path);
        } else {
            settings.programDir.Assign(c.path.c_str());
        }
        EXPECT_EQ(page_->dirChanged, c.browse) << c.path;  // the first is the proposal, unchanged
        responder_->Then(ModalResponder::Press(IDOK));
        Next();
        EXPECT_EQ(Current(), 1) << c.path;
        ASSERT_EQ(Questions(), before + (c.browse ? 2 : 1)) << c.path;
        const ModalResponder::Seen& refusal = responder_->seen().back();
        EXPECT_EQ(refusal.text.rfind(c.message, 0), 0u) << refusal.text;
        EXPECT_EQ(refusal.text.substr(refusal.text.size() - 31), "  Please select another folder.") << c.path;
        EXPECT_EQ(refusal.icon, static_cast<UINT>(MB_ICONWARNING)) << c.path;
    }
    BrowseTo(tree_.Path("Fine"));
    responder_->Then(ModalResponder::Press(IDYES));
    Next();
    EXPECT_EQ(Current(), 2);
}

TEST_F(ProgramDirTest, ChooserOpensOnTheCurrentDestination) {
    std::string existing = tree_.MakeDir("Start Here");
    settings.programDir.Assign(existing.c_str());
    std::string pathBox;
    responder_->Then([&pathBox](HWND dialog) {
        pathBox = DialogItemText(dialog, IDC_PATH_EDIT);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    Command(IDC_BROWSE, BN_CLICKED);
    EXPECT_EQ(pathBox, existing);
    EXPECT_EQ(responder_->seen().at(0).caption, "Select Installation Directory");
}

}  // namespace
