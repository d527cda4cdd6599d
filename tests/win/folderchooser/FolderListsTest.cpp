#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ChooserFixture.h"
#include "resource.h"
#include "setup/PathHelpers.h"
#include "support/TempTree.h"

namespace {

using Names = std::vector<std::string>;

bool Contains(const Names& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool SortedIgnoringCase(const Names& names) {
    return std::is_sorted(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return CompareNoCase(a.c_str(), b.c_str()) < 0;
    });
}

// Folders made in the root of drive C: for one test, with attributes.
class RootFolders {
public:
    ~RootFolders() {
        for (const std::string& path : made_) RemoveTree(path);
    }
    std::string Make(const std::string& name, DWORD attributes = 0) {
        std::string path = "C:\\" + name;
        CreateDirectoryA(path.c_str(), nullptr);
        if (attributes) SetFileAttributesA(path.c_str(), attributes);
        made_.push_back(path);
        return path;
    }
    void MakeFile(const std::string& name) {
        std::string path = "C:\\" + name;
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        made_.push_back(path);
        files_.push_back(path);
    }

private:
    std::vector<std::string> made_, files_;
};

TEST(FolderList, DriveRootIsOneOpenEntryFollowedByItsVisibleSubfolders) {
    RootFolders root;
    root.Make("vsetup fc Beta");
    root.Make("VSETUP FC alpha");
    root.Make("vsetup fc gamma");
    std::string hidden = root.Make("vsetup fc hidden", FILE_ATTRIBUTE_HIDDEN);
    std::string system = root.Make("vsetup fc system", FILE_ATTRIBUTE_SYSTEM);
    root.MakeFile("vsetup fc file");
    ASSERT_TRUE(GetFileAttributesA(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN) << "the file system keeps no hidden bit";
    ASSERT_TRUE(GetFileAttributesA(system.c_str()) & FILE_ATTRIBUTE_SYSTEM) << "the file system keeps no system bit";

    OpenChooser open("C:\\");
    std::vector<ListedFolder> folders = open.Folders();
    ASSERT_FALSE(folders.empty());
    EXPECT_EQ(folders[0].name, "C:\\");
    EXPECT_EQ(folders[0].fullPath, "C:\\");
    EXPECT_EQ(folders[0].depth, 0);
    EXPECT_TRUE(folders[0].onPath);
    EXPECT_EQ(open.SelectedFolder(), 0);
    EXPECT_EQ(open.PathBox(), "C:\\");
    for (size_t i = 1; i < folders.size(); ++i) {
        EXPECT_EQ(folders[i].depth, 1) << folders[i].name;
        EXPECT_FALSE(folders[i].onPath) << folders[i].name;
        EXPECT_EQ(folders[i].fullPath, "C:\\" + folders[i].name);
    }
    Names subfolders = open.FolderNamesAtDepth(1);
    EXPECT_TRUE(SortedIgnoringCase(subfolders));
    auto alpha = std::find(subfolders.begin(), subfolders.end(), "VSETUP FC alpha");
    auto beta = std::find(subfolders.begin(), subfolders.end(), "vsetup fc Beta");
    auto gamma = std::find(subfolders.begin(), subfolders.end(), "vsetup fc gamma");
    ASSERT_TRUE(alpha != subfolders.end() && beta != subfolders.end() && gamma != subfolders.end());
    EXPECT_EQ(beta - alpha, 1);
    EXPECT_EQ(gamma - beta, 1);
    EXPECT_FALSE(Contains(subfolders, "vsetup fc hidden"));
    EXPECT_FALSE(Contains(subfolders, "vsetup fc system"));
    EXPECT_FALSE(Contains(subfolders, "vsetup fc file"));
    EXPECT_FALSE(Contains(subfolders, "."));
    EXPECT_FALSE(Contains(subfolders, ".."));
}

TEST(FolderList, DeepPathShowsItsWholeChainThenItsSubfolders) {
    TempTree tree;
    std::string deep = tree.MakeDir("Alpha\\beta\\Gamma");
    tree.MakeDir("Alpha\\beta\\Gamma\\zeta");
    tree.MakeDir("Alpha\\beta\\Gamma\\Eta");
    tree.MakeDir("Alpha\\beta\\Gamma\\eta2");
    tree.MakeFile("Alpha\\beta\\Gamma\\notes.txt", "x");

    OpenChooser open(deep.c_str());
    std::vector<ListedFolder> folders = open.Folders();
    // The chain: one entry per component, each the path up to it.
    size_t levels = 2 + std::count(deep.begin() + 3, deep.end(), '\\');  // the root, then one per separator
    ASSERT_GT(folders.size(), levels);
    EXPECT_EQ(folders[0].fullPath, deep.substr(0, 3));
    for (size_t k = 0; k < levels; ++k) {
        EXPECT_EQ(folders[k].depth, static_cast<int>(k));
        EXPECT_TRUE(folders[k].onPath);
        EXPECT_TRUE(folders[k].hasIcon) << folders[k].fullPath;
        if (k > 0) {
            EXPECT_EQ(folders[k].fullPath, folders[k - 1].fullPath + (k > 1 ? "\\" : "") + folders[k].name);
        }
    }
    EXPECT_EQ(folders[levels - 1].fullPath, deep);
    EXPECT_EQ(folders[levels - 1].name, "Gamma");
    EXPECT_EQ(open.SelectedFolder(), static_cast<int>(levels - 1));
    EXPECT_EQ(open.PathBox(), deep);
    EXPECT_EQ(open.FolderNamesAtDepth(static_cast<int>(levels)), Names({"Eta", "eta2", "zeta"}));
    EXPECT_EQ(folders[levels].fullPath, deep + "\\Eta");
    EXPECT_EQ(folders.size(), levels + 3);
}

TEST(FolderList, MissingPathShowsItsChainWithoutIconsForTheMissingLevels) {
    TempTree tree;
    std::string missing = tree.Path("not here\\nor here");
    OpenChooser open(missing.c_str());
    std::vector<ListedFolder> folders = open.Folders();
    ASSERT_GE(folders.size(), 3u);
    EXPECT_EQ(folders.back().fullPath, missing);
    EXPECT_EQ(folders.back().name, "nor here");
    EXPECT_TRUE(folders.back().onPath);  // no subfolders follow
    EXPECT_FALSE(folders.back().hasIcon);
    EXPECT_FALSE(folders[folders.size() - 2].hasIcon);
    EXPECT_TRUE(folders[folders.size() - 3].hasIcon) << folders[folders.size() - 3].fullPath;
    EXPECT_EQ(open.PathBox(), missing);
}

TEST(FolderList, TrailingBackslashGivesTheSameEntriesAndIsDroppedInThePathBox) {
    TempTree tree;
    std::string dir = tree.MakeDir("Trail");
    tree.MakeDir("Trail\\inside");
    OpenChooser plain(dir.c_str());
    OpenChooser trailing((dir + "\\").c_str());
    std::vector<ListedFolder> a = plain.Folders(), b = trailing.Folders();
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].name, b[i].name);
        EXPECT_EQ(a[i].fullPath, b[i].fullPath);
        EXPECT_EQ(a[i].depth, b[i].depth);
    }
    EXPECT_EQ(trailing.PathBox(), dir);
    EXPECT_EQ(trailing.FolderNamesAtDepth(a.back().depth), Names({"inside"}));
}

TEST(FolderList, EmptyPathLeavesTheListEmpty) {
    OpenChooser open("");
    EXPECT_TRUE(open.Folders().empty());
    EXPECT_EQ(open.PathBox(), "");
}

TEST(DriveList, LettersAreUpperCaseAndTheLowerCasePathSelectsItsDrive) {
    OpenChooser open("c:\\windows");
    std::vector<DriveItem*> drives = open.Drives();
    char roots[512];
    DWORD length = GetLogicalDriveStringsA(sizeof roots, roots);
    size_t expected = 0;
    for (char* root = roots; root < roots + length && *root; root += strlen(root) + 1) ++expected;
    ASSERT_EQ(drives.size(), expected);
    for (DriveItem* drive : drives) {
        EXPECT_TRUE(drive->letter >= 'A' && drive->letter <= 'Z') << drive->letter;
        EXPECT_NE(drive->icon, nullptr) << drive->letter;
    }
    ASSERT_NE(open.SelectedDrive(), nullptr);
    EXPECT_EQ(open.SelectedDrive()->letter, 'C');
    EXPECT_STREQ(open.SelectedDrive()->lastDir.Get(), "c:\\windows");
}

TEST(DriveList, PathWithoutDriveLetterSelectsNoDriveAndEveryDriveKeepsItsOwnDirectory) {
    OpenChooser open("Varn\\doc");
    EXPECT_EQ(open.SelectedDrive(), nullptr);
    for (DriveItem* drive : open.Drives()) {
        char own[MAX_PATH];
        char name[3] = {drive->letter, ':', '\0'};
        GetFullPathNameA(name, sizeof own, own, nullptr);
        EXPECT_STREQ(drive->lastDir.Get(), own);
    }
    std::vector<ListedFolder> folders = open.Folders();
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(folders[0].name, "Varn\\");
    EXPECT_EQ(folders[1].fullPath, "Varn\\doc");
}

TEST(FolderList, EveryRecordIsReleasedWithTheDialog) {
    TempTree tree;
    tree.MakeDir("a\\one");
    tree.MakeDir("a\\two");
    auto* open = new OpenChooser(tree.Path("a").c_str());
    LRESULT folders = SendDlgItemMessageA(open->window, IDC_FOLDER_LIST, LB_GETCOUNT, 0, 0);
    LRESULT drives = SendDlgItemMessageA(open->window, IDC_DRIVE_LIST, CB_GETCOUNT, 0, 0);
    int* deleted = &open->deletedRecords;
    open->ClickFolder(0);
    EXPECT_EQ(*deleted, 0);  // a selection rebuilds nothing
    DestroyWindow(open->window);
    EXPECT_EQ(*deleted, folders + drives);
    open->window = nullptr;
    delete open;
}

}  // namespace
