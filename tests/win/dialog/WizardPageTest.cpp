#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "resource.h"
#include "setup/InstallSettings.h"
#include "support/WindowScript.h"
#include "ui/WizardPage.h"

namespace {

using namespace wscript;

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

// A page as the real ones are built: it sets its buttons on activation and
// hands everything else to WizardPage.
class TestPage : public WizardPage {
public:
    explicit TestPage(InstallSettings* settings) : WizardPage(settings) {}
    void OnInitDialog() override {
        ++initCount;
        WizardPage::OnInitDialog();
    }
    BOOL OnNotify(NMHDR* header, WPARAM controlId) override {
        if (header->code == static_cast<UINT>(PSN_SETACTIVE))
            PostMessageA(header->hwndFrom, PSM_SETWIZBUTTONS, 0, PSWIZB_BACK | PSWIZB_NEXT);
        return WizardPage::OnNotify(header, controlId);
    }
    LRESULT SiblingAnswer(int) override { return 42; }
    int initCount = 0;
};

const int kTemplates[] = {IDD_WELCOME, IDD_LICENSE, IDD_START_FOLDER};
const int kTitles[] = {IDS_TITLE_WELCOME, IDS_TITLE_LICENSE, IDS_TITLE_START_FOLDER};

class WizardSheet : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&init);
        ResetSheetCentredFlag();
    }

    INT_PTR Run(DWORD wizardFlag = PSH_WIZARD) {
        PageRecordArray records(3);
        for (int i = 0; i < 3; ++i) PropertyPage::FillPageRecord(records.At(i), kTemplates[i], kTitles[i], &pages[i], Module());
        PROPSHEETHEADERA header = {};
        header.dwSize = PROPSHEETHEADERA_V1_SIZE;
        header.dwFlags = PSH_PROPSHEETPAGE | wizardFlag;
        header.hInstance = Module();
        header.pszCaption = "Varnplay Setup";
        header.nPages = 3;
        header.ppsp = records.Data();
        script.Start(15000);
        INT_PTR result = PropertySheetA(&header);
        script.Stop();
        return result;
    }

    HWND Sheet() const { return settings.sheetWindow; }
    int CurrentIndex() const {
        if (!Sheet()) return -1;
        LRESULT page = SendMessageA(Sheet(), PSM_GETCURRENTPAGEHWND, 0, 0);
        return static_cast<int>(SendMessageA(Sheet(), PSM_HWNDTOINDEX, static_cast<WPARAM>(page), 0));
    }
    std::function<bool()> AtPage(int index) {
        return [this, index] { return CurrentIndex() == index && !FindThreadDialog("Exit Setup"); };
    }
    static std::function<bool()> ExitSetupShown() {
        return [] { return FindThreadDialog("Exit Setup") != nullptr; };
    }
    static void Press(int button) {
        SendMessageA(GetDlgItem(FindThreadDialog("Exit Setup"), button), BM_CLICK, 0, 0);
    }
    void CancelAndExit() {
        script.Do("cancel", [this] { PostMessageA(Sheet(), PSM_PRESSBUTTON, PSBTN_CANCEL, 0); })
            .Then("Exit Setup", ExitSetupShown(), [] { Press(IDC_EXIT); });
    }

    InstallSettings settings{Module(), "Varnplay", "varnplay.exe", 0, 0, "readme.txt", "Readme", 0};
    TestPage pages[3] = {TestPage(&settings), TestPage(&settings), TestPage(&settings)};
    WindowScript script;
};

TEST_F(WizardSheet, EnterAndCtrlEnterInTheReadOnlyTextActAsNext) {
    bool textUnchanged = false;
    script.Then("page 0", AtPage(0), [this] { PostMessageA(Sheet(), PSM_PRESSBUTTON, PSBTN_NEXT, 0); })
        .Then("page 1", AtPage(1),
              [this] {
                  HWND text = GetDlgItem(pages[1].window, IDC_LICENSE_TEXT);
                  SetWindowTextA(text, "License");
                  SetFocus(text);
                  PostMessageA(text, WM_CHAR, '\r', 0x001C0001);
              })
        .Then("page 2 after Enter", AtPage(2),
              [&, this] {
                  textUnchanged = WindowText(GetDlgItem(pages[1].window, IDC_LICENSE_TEXT)) == "License";
                  PostMessageA(Sheet(), PSM_PRESSBUTTON, PSBTN_BACK, 0);
              })
        .Then("back on page 1", AtPage(1),
              [this] { PostMessageA(GetDlgItem(pages[1].window, IDC_LICENSE_TEXT), WM_CHAR, '\n', 0x001C0001); })
        .Then("page 2 after Ctrl+Enter", AtPage(2), [] {});
    CancelAndExit();
    Run();
    EXPECT_EQ(script.Failure(), "");
    EXPECT_TRUE(textUnchanged);
    EXPECT_EQ(DialogRegistryCount(), 0);
}

TEST_F(WizardSheet, EscapeAsksAndResumeKeepsThePageAndItsInput) {
    std::string typedAfterResume;
    int pageAfterResume = -1;
    script.Then("page 0", AtPage(0), [this] { PostMessageA(Sheet(), PSM_PRESSBUTTON, PSBTN_NEXT, 0); })
        .Then("page 1", AtPage(1), [this] { PostMessageA(Sheet(), PSM_PRESSBUTTON, PSBTN_NEXT, 0); })
        .Then("page 2", AtPage(2),
              [this] {
                  HWND edit = GetDlgItem(pages[2].window, IDC_START_FOLDER_EDIT);
                  SetWindowTextA(edit, "My Games");
                  SetFocus(edit);
                  PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
              })
        .Then("Exit Setup after Escape", ExitSetupShown(), [] { Press(IDC_RESUME); })
        .Then("resumed", AtPage(2),
              [&, this] {
                  pageAfterResume = CurrentIndex();
                  typedAfterResume = WindowText(GetDlgItem(pages[2].window, IDC_START_FOLDER_EDIT));
                  // The page's own Cancel mapping (IDCANCEL reaching the page).
                  PostMessageA(pages[2].window, WM_COMMAND, IDCANCEL, 0);
              })
        .Then("Exit Setup after IDCANCEL", ExitSetupShown(), [] { Press(IDC_EXIT); });
    Run();
    EXPECT_EQ(script.Failure(), "");
    EXPECT_EQ(pageAfterResume, 2);
    EXPECT_EQ(typedAfterResume, "My Games");
    EXPECT_TRUE(script.Finished());
}

TEST_F(WizardSheet, SheetIsRecordedOnEveryActivationAndCentredOnlyOnce) {
    bool centredAtFirst = false, recordedOnFirst = false, recordedOnSecond = false;
    RECT afterNext = {}, afterBack = {};
    script.Then("page 0", AtPage(0),
                [&, this] {
                    RECT desktop, own;
                    GetWindowRect(GetDesktopWindow(), &desktop);
                    GetWindowRect(Sheet(), &own);
                    centredAtFirst =
                        own.left == desktop.left + (desktop.right - desktop.left - (own.right - own.left)) / 2 &&
                        own.top == desktop.top + (desktop.bottom - desktop.top - (own.bottom - own.top)) / 2;
                    recordedOnFirst = pages[0].sheet == Sheet() && pages[0].wizardSheet == Sheet();
                    SetWindowPos(Sheet(), nullptr, 3, 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
                    PostMessageA(Sheet(), PSM_PRESSBUTTON, PSBTN_NEXT, 0);
                })
        .Then("page 1", AtPage(1),
              [&, this] {
                  GetWindowRect(Sheet(), &afterNext);
                  recordedOnSecond = pages[1].sheet == Sheet() && pages[1].wizardSheet == Sheet();
                  PostMessageA(Sheet(), PSM_PRESSBUTTON, PSBTN_BACK, 0);
              })
        .Then("page 0 again", AtPage(0), [&, this] { GetWindowRect(Sheet(), &afterBack); });
    CancelAndExit();
    Run();
    EXPECT_EQ(script.Failure(), "");
    EXPECT_NE(Sheet(), nullptr);
    EXPECT_TRUE(centredAtFirst);
    EXPECT_TRUE(recordedOnFirst);
    EXPECT_TRUE(recordedOnSecond);
    EXPECT_EQ(afterNext.left, 3);
    EXPECT_EQ(afterNext.top, 4);
    EXPECT_EQ(afterBack.left, 3);
    EXPECT_EQ(afterBack.top, 4);
}

TEST_F(WizardSheet, SiblingQueriesReloadAndAnswerThroughTheMessageResult) {
    const int kApply = 0x3021;
    bool applyEnabledWhenModified = false, applyDisabledAfterReload = false;
    int initsBefore = 0, initsAfter = 0;
    LRESULT answer = 0;
    script.Then("page 0", AtPage(0),
                [&, this] {
                    pages[0].SetModified(TRUE);
                    applyEnabledWhenModified = IsWindowEnabled(GetDlgItem(Sheet(), kApply)) != FALSE;
                    initsBefore = pages[0].initCount;
                    SendMessageA(Sheet(), PSM_QUERYSIBLINGS, 1, 0);
                    initsAfter = pages[0].initCount;
                    applyDisabledAfterReload = !IsWindowEnabled(GetDlgItem(Sheet(), kApply));
                    answer = SendMessageA(Sheet(), PSM_QUERYSIBLINGS, 2, 0);
                });
    CancelAndExit();
    Run(0);
    EXPECT_EQ(script.Failure(), "");
    EXPECT_TRUE(applyEnabledWhenModified);
    EXPECT_TRUE(applyDisabledAfterReload);
    EXPECT_EQ(initsAfter, initsBefore + 1);
    EXPECT_EQ(answer, 42);
}

TEST(PageRecord, IsTheShortRecordWithTitleAndThePageAsParameter) {
    InstallSettings settings(Module(), "Varnplay", "varnplay.exe", 0, 0, "readme.txt", "Readme", 0);
    TestPage page(&settings);
    PROPSHEETPAGEA record;
    memset(&record, 0xCC, sizeof record);
    PropertyPage::FillPageRecord(&record, IDD_LICENSE, IDS_TITLE_LICENSE, &page, Module());
    EXPECT_EQ(record.dwSize, static_cast<DWORD>(PROPSHEETPAGEA_V2_SIZE));
    if (sizeof(void*) == 4) {
        EXPECT_EQ(record.dwSize, 48u);
    }
    EXPECT_EQ(record.dwFlags, static_cast<DWORD>(PSP_USETITLE));
    EXPECT_EQ(record.hInstance, Module());
    EXPECT_EQ(record.pszTemplate, MAKEINTRESOURCEA(IDD_LICENSE));
    EXPECT_EQ(record.pszTitle, MAKEINTRESOURCEA(IDS_TITLE_LICENSE));
    EXPECT_EQ(record.pfnDlgProc, &PropertyPage::PageDialogProc);
    EXPECT_EQ(record.lParam, reinterpret_cast<LPARAM>(&page));
    EXPECT_EQ(record.pfnCallback, nullptr);
    EXPECT_EQ(record.pcRefParent, nullptr);
    EXPECT_EQ(page.sheet, nullptr);
    EXPECT_EQ(page.focusControl, 0);
}

}  // namespace
