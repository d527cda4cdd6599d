#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "pages/AssociationsPage.h"
#include "pages/LicensePage.h"
#include "pages/ProgramDirPage.h"
#include "pages/ReadyPage.h"
#include "pages/StartFolderPage.h"
#include "pages/WelcomePage.h"
#include "resource.h"
#include "setup/InstallSettings.h"
#include "support/WizardSheet.h"

// A wizard of real pages over one InstallSettings, run as a modeless sheet.
class PageTest : public ::testing::Test {
protected:
    PageTest() : settings(GetModuleHandleA(nullptr), "Varnplay", "varnplay.exe", 0, 0, "", "", 0) {
        settings.programDir.Assign("C:\\Program Files\\Varnplay");
        settings.startFolder.Assign("Varnplay");
    }
    void TearDown() override {
        sheet.Close();
        pages_.clear();
    }

    template <class Page>
    Page* Add(int dialogId, int titleId) {
        Page* page = new Page(&settings);
        pages_.emplace_back(page);
        entries_.push_back({page, dialogId, titleId});
        return page;
    }
    WelcomePage* AddWelcome() { return Add<WelcomePage>(IDD_WELCOME, IDS_TITLE_WELCOME); }
    LicensePage* AddLicense() { return Add<LicensePage>(IDD_LICENSE, IDS_TITLE_LICENSE); }
    ProgramDirPage* AddProgramDir() { return Add<ProgramDirPage>(IDD_PROGRAM_DIR, IDS_TITLE_PROGRAM_DIR); }
    StartFolderPage* AddStartFolder() { return Add<StartFolderPage>(IDD_START_FOLDER, IDS_TITLE_START_FOLDER); }
    AssociationsPage* AddAssociations() { return Add<AssociationsPage>(IDD_ASSOCIATIONS, IDS_TITLE_ASSOCIATIONS); }
    ReadyPage* AddReady() { return Add<ReadyPage>(IDD_READY, IDS_TITLE_READY); }

    void Open() { ASSERT_TRUE(sheet.Open(GetModuleHandleA(nullptr), entries_)); }
    void Next() { sheet.Press(PSBTN_NEXT); }
    void Back() { sheet.Press(PSBTN_BACK); }
    int Current() const { return sheet.CurrentIndex(); }

    // A control's text on the current page.
    std::string Text(int controlId) const {
        HWND control = sheet.PageItem(controlId);
        int length = GetWindowTextLengthA(control);
        std::string text(length + 1, '\0');
        GetWindowTextA(control, &text[0], length + 1);
        text.resize(strlen(text.c_str()));
        return text;
    }
    std::pair<DWORD, DWORD> Selection(int controlId) const {
        DWORD start = 0, end = 0;
        SendMessageA(sheet.PageItem(controlId), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }
    void Command(int controlId, int code) {
        HWND page = sheet.CurrentPage();
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(controlId, code), reinterpret_cast<LPARAM>(GetDlgItem(page, controlId)));
    }

    InstallSettings settings;
    WizardSheet sheet;

private:
    std::vector<std::unique_ptr<WizardPage>> pages_;
    std::vector<SheetPage> entries_;
};
