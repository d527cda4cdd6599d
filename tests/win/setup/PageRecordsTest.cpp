#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include "resource.h"
#include "setup/PageRecords.h"
#include "ui/PropertyPage.h"

namespace {

struct PageSpec {
    int dialogId;
    int titleId;
};
const PageSpec kWizardPages[] = {
    {IDD_WELCOME, IDS_TITLE_WELCOME},       {IDD_LICENSE, IDS_TITLE_LICENSE},
    {IDD_PROGRAM_DIR, IDS_TITLE_PROGRAM_DIR}, {IDD_START_FOLDER, IDS_TITLE_START_FOLDER},
    {IDD_ASSOCIATIONS, IDS_TITLE_ASSOCIATIONS}, {IDD_READY, IDS_TITLE_READY},
    {IDD_PROGRESS, IDS_TITLE_PROGRESS},
};
constexpr int kPageCount = sizeof kWizardPages / sizeof kWizardPages[0];

class PageRecordsTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitCommonControls();
        for (int i = 0; i < kPageCount; ++i) {
            ASSERT_TRUE(records_.Add(&pages_[i], kWizardPages[i].dialogId, kWizardPages[i].titleId, Instance()));
        }
    }
    void TearDown() override {
        if (sheet_) DestroyWindow(sheet_);
    }
    static HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

    // A modeless wizard over the records, as the setup's modal one is built.
    HWND CreateSheet() {
        PROPSHEETHEADERA header = {};
        header.dwSize = PROPSHEETHEADERA_V1_SIZE;
        header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD | PSH_MODELESS;
        header.hInstance = Instance();
        header.pszCaption = "Records Setup";
        header.nPages = static_cast<UINT>(records_.Count());
        header.ppsp = records_.Data();
        sheet_ = reinterpret_cast<HWND>(PropertySheetA(&header));
        return sheet_;
    }

    PropertyPage pages_[kPageCount];
    PageRecords records_;
    HWND sheet_ = nullptr;
};

TEST_F(PageRecordsTest, RecordsFollowEachOtherAtTheSizeTheyDeclare) {
    const BYTE* at = reinterpret_cast<const BYTE*>(records_.Data());
    for (int i = 0; i < kPageCount; ++i) {
        const PROPSHEETPAGEA* record = reinterpret_cast<const PROPSHEETPAGEA*>(at);
        ASSERT_EQ(record->dwSize, static_cast<DWORD>(PROPSHEETPAGEA_V2_SIZE)) << "record " << i;
        EXPECT_EQ(record->pszTemplate, MAKEINTRESOURCEA(kWizardPages[i].dialogId)) << "record " << i;
        EXPECT_EQ(record->pszTitle, MAKEINTRESOURCEA(kWizardPages[i].titleId)) << "record " << i;
        EXPECT_EQ(record->lParam, reinterpret_cast<LPARAM>(&pages_[i])) << "record " << i;
        at += record->dwSize;
    }
    PropertyPage extra;
    EXPECT_FALSE(records_.Add(&extra, IDD_WELCOME, IDS_TITLE_WELCOME, Instance()));
    EXPECT_EQ(records_.Count(), kPageCount);
}

TEST_F(PageRecordsTest, TheSheetReachesEveryPageWithItsObject) {
    HWND sheet = CreateSheet();
    ASSERT_NE(sheet, nullptr);
    for (int i = 0; i < kPageCount; ++i) {
        EXPECT_NE(SendMessageA(sheet, PSM_INDEXTOPAGE, i, 0), 0) << "page " << i;
    }
    SendMessageA(sheet, PSM_SETCURSEL, kPageCount - 1, 0);
    HWND last = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    ASSERT_NE(last, nullptr);
    EXPECT_NE(GetDlgItem(last, IDC_PROGRESS_BAR), nullptr);  // dialog 108 was loaded
    EXPECT_EQ(FindDialog(last), &pages_[kPageCount - 1]);
}

}  // namespace
