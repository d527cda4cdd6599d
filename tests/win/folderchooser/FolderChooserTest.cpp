#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "ChooserFixture.h"
#include "resource.h"
#include "support/ModalResponder.h"
#include "support/TempTree.h"

namespace {

class ChooserCommands : public ::testing::Test {
protected:
    void SetUp() override {
        top_ = tree_.MakeDir("Top");
        tree_.MakeDir("Top\\Middle\\Inner");
        tree_.MakeDir("Top\\Middle\\Other");
        tree_.MakeDir("Top\\Side");
        middle_ = top_ + "\\Middle";
    }
    TempTree tree_;
    std::string top_, middle_;
};

TEST_F(ChooserCommands, SingleClickOnlyFillsThePathBox) {
    OpenChooser open(middle_.c_str());
    int inner = open.IndexOf(middle_ + "\\Inner");
    ASSERT_GE(inner, 0);
    size_t before = open.Folders().size();
    open.ClickFolder(inner);
    EXPECT_EQ(open.PathBox(), middle_ + "\\Inner");
    EXPECT_STREQ(open.chooser->path.Get(), middle_.c_str());
    EXPECT_EQ(open.Folders().size(), before);
}

TEST_F(ChooserCommands, DoubleClickOnTheCurrentFolderDoesNothing) {
    OpenChooser open(middle_.c_str());
    int current = open.SelectedFolder();
    ASSERT_EQ(open.Folders()[current].fullPath, middle_);
    open.DoubleClickFolder(current);
    EXPECT_EQ(open.deletedRecords, 0);  // the list was not rebuilt
    EXPECT_STREQ(open.chooser->path.Get(), middle_.c_str());
}

TEST_F(ChooserCommands, DoubleClickOnAnAncestorMovesUpToIt) {
    OpenChooser open(middle_.c_str());
    int top = open.IndexOf(top_);
    ASSERT_GE(top, 0);
    open.DoubleClickFolder(top);
    EXPECT_STREQ(open.chooser->path.Get(), top_.c_str());
    std::vector<ListedFolder> folders = open.Folders();
    int selected = open.SelectedFolder();
    EXPECT_EQ(folders[selected].fullPath, top_);
    EXPECT_TRUE(folders[selected].onPath);
    EXPECT_EQ(open.FolderNamesAtDepth(folders[selected].depth + 1), std::vector<std::string>({"Middle", "Side"}));
    EXPECT_EQ(open.PathBox(), top_);
}

TEST_F(ChooserCommands, DoubleClickOnASubfolderMovesIntoIt) {
    OpenChooser open(middle_.c_str());
    int inner = open.IndexOf(middle_ + "\\Inner");
    ASSERT_GE(inner, 0);
    int depth = open.Folders()[inner].depth;
    open.DoubleClickFolder(inner);
    EXPECT_EQ(std::string(open.chooser->path.Get()), middle_ + "\\Inner");
    std::vector<ListedFolder> folders = open.Folders();
    EXPECT_EQ(folders.back().fullPath, middle_ + "\\Inner");
    EXPECT_EQ(folders.back().depth, depth);
    EXPECT_TRUE(folders.back().onPath);
    EXPECT_EQ(open.SelectedFolder(), static_cast<int>(folders.size() - 1));
    // The drive remembers the folder opened on it.
    ASSERT_NE(open.SelectedDrive(), nullptr);
    EXPECT_EQ(std::string(open.SelectedDrive()->lastDir.Get()), middle_ + "\\Inner");
}

TEST_F(ChooserCommands, ChangingTheDriveAndBackReturnsToTheFolderLastOpened) {
    OpenChooser open(middle_.c_str());
    std::vector<DriveItem*> drives = open.Drives();
    char other = 0;
    for (DriveItem* drive : drives)
        if (drive->letter != 'C') other = drive->letter;
    if (!other) GTEST_SKIP() << "the prefix has one drive only";
    std::string otherDir;
    for (DriveItem* drive : drives)
        if (drive->letter == other) otherDir = drive->lastDir.Get();

    open.DoubleClickFolder(open.IndexOf(middle_ + "\\Other"));
    open.SelectDrive(other);
    EXPECT_EQ(std::string(open.chooser->path.Get()), otherDir);
    EXPECT_EQ(open.Folders()[open.SelectedFolder()].fullPath, open.PathBox());
    open.SelectDrive('C');
    EXPECT_EQ(std::string(open.chooser->path.Get()), middle_ + "\\Other");
    EXPECT_EQ(open.PathBox(), middle_ + "\\Other");
}

TEST_F(ChooserCommands, TypingRebuildsNothingUntilOk) {
    OpenChooser open(middle_.c_str());
    SetDlgItemTextA(open.window, IDC_PATH_EDIT, top_.c_str());
    EXPECT_EQ(open.deletedRecords, 0);
    EXPECT_STREQ(open.chooser->path.Get(), middle_.c_str());
}

TEST_F(ChooserCommands, NetworkLeavesTheFolderListAlone) {
    OpenChooser open(middle_.c_str());
    ModalResponder responder;  // whatever the platform shows is cancelled
    size_t folders = open.Folders().size();
    open.Command(IDC_NETWORK);
    EXPECT_EQ(open.Folders().size(), folders);
    EXPECT_STREQ(open.chooser->path.Get(), middle_.c_str());
    EXPECT_TRUE(IsWindow(open.window));
}

TEST(ChooserTexts, TemplateTextsStayWithoutLabelAndTitle) {
    OpenChooser plain("C:\\");
    EXPECT_EQ(WindowText(plain.window), "Choose a Folder");
    EXPECT_EQ(DialogItemText(plain.window, IDC_PATH_LABEL), "Destination &Path:");
    OpenChooser given("C:\\", "&Folder to use:", "Pick One");
    EXPECT_EQ(WindowText(given.window), "Pick One");
    EXPECT_EQ(DialogItemText(given.window, IDC_PATH_LABEL), "&Folder to use:");
}

}  // namespace
