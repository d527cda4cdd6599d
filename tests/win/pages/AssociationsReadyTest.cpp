#include "PageFixture.h"

namespace {

const char kTwoSections[] =
    "VARN Program Directory:\r\n    C:\\Program Files\\Varnplay\r\n\r\nStart Menu Folder:\r\n    Varnplay";

class AssociationsTest : public PageTest {
protected:
    void SetUp() override {
        settings.options |= OptionAssociationsPage;
        AddStartFolder();
        AddAssociations();
        AddReady();
        Open();
        Next();
        ASSERT_EQ(Current(), 1);
    }
    bool Checked(int id) const { return IsDlgButtonChecked(sheet.CurrentPage(), id) == BST_CHECKED; }
    void Choose(int id) {
        CheckDlgButton(sheet.CurrentPage(), IDC_ASSOC_YES, id == IDC_ASSOC_YES ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(sheet.CurrentPage(), IDC_ASSOC_NO, id == IDC_ASSOC_NO ? BST_CHECKED : BST_UNCHECKED);
    }
    bool CreateAssociations() const { return (settings.options & OptionCreateAssociations) != 0; }
};

TEST_F(AssociationsTest, YesIsPreselectedAndNextReportsYes) {
    EXPECT_TRUE(Checked(IDC_ASSOC_YES));
    EXPECT_FALSE(Checked(IDC_ASSOC_NO));
    EXPECT_TRUE(sheet.IsButtonEnabled(WizardSheet::kBackId));
    EXPECT_TRUE(sheet.IsButtonEnabled(WizardSheet::kNextId));
    Next();
    ASSERT_EQ(Current(), 2);
    EXPECT_TRUE(CreateAssociations());
    EXPECT_EQ(Text(IDC_SUMMARY_TEXT), std::string(kTwoSections) + "\r\n\r\nCreate File Type Associations:\r\n    Yes");
}

TEST_F(AssociationsTest, NoReachesTheSummaryAsNo) {
    Choose(IDC_ASSOC_NO);
    DWORD others = settings.options & ~static_cast<DWORD>(OptionCreateAssociations);
    Next();
    ASSERT_EQ(Current(), 2);
    EXPECT_FALSE(CreateAssociations());
    EXPECT_EQ(settings.options & ~static_cast<DWORD>(OptionCreateAssociations), others);
    EXPECT_EQ(Text(IDC_SUMMARY_TEXT), std::string(kTwoSections) + "\r\n\r\nCreate File Type Associations:\r\n    No");
}

TEST_F(AssociationsTest, BackStoresNothingButTheChoiceStaysForTheNextVisit) {
    Choose(IDC_ASSOC_NO);
    Back();
    EXPECT_EQ(Current(), 0);
    EXPECT_TRUE(CreateAssociations());
    Next();
    EXPECT_EQ(Current(), 1);
    EXPECT_TRUE(Checked(IDC_ASSOC_NO));
    EXPECT_FALSE(Checked(IDC_ASSOC_YES));
    Next();
    EXPECT_FALSE(CreateAssociations());
}

TEST_F(AssociationsTest, SummaryIsRebuiltOnEveryVisit) {
    Next();
    ASSERT_EQ(Current(), 2);
    EXPECT_EQ(Selection(IDC_SUMMARY_TEXT), std::make_pair(DWORD(0), DWORD(0)));
    Back();
    Choose(IDC_ASSOC_NO);
    settings.programDir.Assign("D:\\A very long destination path\\that goes on and on\\far beyond the box\\Varnplay");
    Next();
    EXPECT_EQ(Text(IDC_SUMMARY_TEXT),
              "VARN Program Directory:\r\n    D:\\A very long destination path\\that goes on and on\\far beyond the "
              "box\\Varnplay\r\n\r\nStart Menu Folder:\r\n    Varnplay\r\n\r\nCreate File Type Associations:\r\n    No");
    // The long path stays on one line: the box scrolls sideways instead.
    EXPECT_EQ(SendMessageA(sheet.PageItem(IDC_SUMMARY_TEXT), EM_GETLINECOUNT, 0, 0), 8);
}

TEST_F(PageTest, SummaryWithoutTheAssociationsPageHasTwoSections) {
    AddStartFolder();
    AddReady();
    Open();
    Next();
    ASSERT_EQ(Current(), 1);
    EXPECT_EQ(Text(IDC_SUMMARY_TEXT), kTwoSections);
    EXPECT_TRUE(sheet.IsButtonEnabled(WizardSheet::kBackId));
    EXPECT_TRUE(sheet.IsButtonEnabled(WizardSheet::kNextId));
    Back();
    EXPECT_EQ(Current(), 0);
}

}  // namespace
