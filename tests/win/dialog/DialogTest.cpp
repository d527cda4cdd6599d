#include <gtest/gtest.h>
#include <windows.h>

#include "resource.h"
#include "setup/InstallSettings.h"
#include "support/WindowScript.h"
#include "ui/Dialog.h"
#include "ui/ExitConfirmDialog.h"

namespace {

using namespace wscript;

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

HWND FakeWindow(int n) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1000 + n)); }

TEST(DialogRegistry, GrowsByFiveKeepsOrderOnRemovalAndIsFreedWhenEmpty) {
    ASSERT_EQ(DialogRegistryCount(), 0);
    ASSERT_EQ(DialogRegistryCapacity(), 0);
    Dialog dialogs[6];
    for (int i = 0; i < 6; ++i) {
        dialogs[i].window = FakeWindow(i);
        RegisterDialog(&dialogs[i]);
        EXPECT_EQ(DialogRegistryCapacity(), i < 5 ? 5 : 10) << "after " << i + 1 << " registrations";
    }
    EXPECT_EQ(FindDialog(FakeWindow(5)), &dialogs[5]);

    UnregisterDialog(&dialogs[2]);
    ASSERT_EQ(DialogRegistryCount(), 5);
    const int expectedOrder[] = {0, 1, 3, 4, 5};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(DialogRegistryAt(i), &dialogs[expectedOrder[i]]);
    EXPECT_EQ(FindDialog(FakeWindow(2)), nullptr);
    EXPECT_EQ(DialogRegistryCapacity(), 10);

    UnregisterDialog(&dialogs[2]);  // not registered: nothing happens
    EXPECT_EQ(DialogRegistryCount(), 5);
    for (int i : expectedOrder) UnregisterDialog(&dialogs[i]);
    EXPECT_EQ(DialogRegistryCount(), 0);
    EXPECT_EQ(DialogRegistryCapacity(), 0);

    RegisterDialog(&dialogs[0]);
    EXPECT_EQ(DialogRegistryCapacity(), 5);
    // The destructors remove what is still registered.
}

TEST(DialogRegistry, FindReturnsTheFirstObjectOfAWindowAndDestructorUnregisters) {
    Dialog first;
    first.window = FakeWindow(1);
    RegisterDialog(&first);
    {
        Dialog second;
        second.window = FakeWindow(1);
        RegisterDialog(&second);
        EXPECT_EQ(FindDialog(FakeWindow(1)), &first);
        UnregisterDialog(&first);
        EXPECT_EQ(FindDialog(FakeWindow(1)), &second);
    }
    EXPECT_EQ(DialogRegistryCount(), 0);
    EXPECT_EQ(DialogRegistryCapacity(), 0);
}

TEST(DialogConstruction, StartsWithoutWindowAndRoomForTenControls) {
    Dialog dialog;
    EXPECT_EQ(dialog.window, nullptr);
    EXPECT_EQ(dialog.controlCount, 0);
    EXPECT_EQ(dialog.controlCapacity, 10);
    EXPECT_NE(dialog.controls, nullptr);
}

// A plain top-level window and two pop-ups it owns, one of them disabled.
class OwnedWindows : public ::testing::Test {
protected:
    void SetUp() override {
        owner_ = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                                 nullptr, Module(), nullptr);
        enabledPopup_ = CreateWindowExA(0, "STATIC", "enabled", WS_POPUP | WS_VISIBLE, 20, 20, 50, 50, owner_,
                                        nullptr, Module(), nullptr);
        disabledPopup_ = CreateWindowExA(0, "STATIC", "disabled", WS_POPUP | WS_VISIBLE | WS_DISABLED, 80, 20, 50,
                                         50, owner_, nullptr, Module(), nullptr);
        ASSERT_TRUE(owner_ && enabledPopup_ && disabledPopup_);
    }
    void TearDown() override {
        DestroyWindow(owner_);  // takes the owned pop-ups with it
    }
    HWND owner_ = nullptr, enabledPopup_ = nullptr, disabledPopup_ = nullptr;
};

TEST_F(OwnedWindows, ModalRunDisablesEnabledOwnedPopupsAndRestoresOnlyThose) {
    Dialog dialog;
    bool popupDisabledDuringRun = false, ownerDisabledDuringRun = false, otherStillDisabled = false;
    WindowScript script;
    script.Then("the dialog", [] { return FindThreadDialog("Exit Setup") != nullptr; },
                [&] {
                    popupDisabledDuringRun = !IsWindowEnabled(enabledPopup_);
                    ownerDisabledDuringRun = !IsWindowEnabled(owner_);
                    otherStillDisabled = !IsWindowEnabled(disabledPopup_);
                    PostMessageA(FindThreadDialog("Exit Setup"), WM_COMMAND, IDCANCEL, 0);
                });
    script.Start();
    INT_PTR result = dialog.RunModal(IDD_EXIT_SETUP, owner_, Module());
    script.Stop();
    ASSERT_EQ(script.Failure(), "");
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(popupDisabledDuringRun);
    EXPECT_TRUE(ownerDisabledDuringRun);  // by the system's modal run
    EXPECT_TRUE(otherStillDisabled);
    EXPECT_TRUE(IsWindowEnabled(enabledPopup_));
    EXPECT_FALSE(IsWindowEnabled(disabledPopup_));
    EXPECT_TRUE(IsWindowEnabled(owner_));
}

TEST_F(OwnedWindows, RecordHoldsExactlyWhatWasDisabledIncludingTheOwnerOnRequest) {
    DisabledWindows* record = DisableOwnedWindows(owner_, TRUE);
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(record->count, 1);
    EXPECT_EQ(record->windows[0], enabledPopup_);
    EXPECT_EQ(record->owner, owner_);
    EXPECT_FALSE(IsWindowEnabled(owner_));
    EnableOwnedWindows(record);
    EXPECT_TRUE(IsWindowEnabled(owner_));
    EXPECT_TRUE(IsWindowEnabled(enabledPopup_));
    EXPECT_FALSE(IsWindowEnabled(disabledPopup_));

    EnableWindow(owner_, FALSE);  // an owner that is already disabled is neither recorded nor re-enabled
    record = DisableOwnedWindows(owner_, TRUE);
    EXPECT_EQ(record->owner, nullptr);
    EnableOwnedWindows(record);
    EXPECT_FALSE(IsWindowEnabled(owner_));
}

TEST(CenterOnDesktop, TruncatesOddHalvesTowardZero) {
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    int desktopWidth = desktop.right - desktop.left, desktopHeight = desktop.bottom - desktop.top;
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, Module(), nullptr);
    ASSERT_NE(window, nullptr);
    struct Case {
        int widthDelta, heightDelta;  // window size minus desktop size
        int expectedX, expectedY;     // offsets from the desktop's corner
    } cases[] = {
        {-3, -5, 1, 2},    // smaller by odd amounts: (3 / 2, 5 / 2) = (1, 2)
        {-4, -7, 2, 3},
        {3, 5, -1, -2},    // larger by odd amounts: -3 / 2 truncates to -1, not -2
    };
    for (const Case& c : cases) {
        SetWindowPos(window, nullptr, 0, 0, desktopWidth + c.widthDelta, desktopHeight + c.heightDelta,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        RECT before;
        GetWindowRect(window, &before);
        ASSERT_EQ(before.right - before.left, desktopWidth + c.widthDelta);
        CenterWindowOnDesktop(window);
        RECT after;
        GetWindowRect(window, &after);
        EXPECT_EQ(after.left, desktop.left + c.expectedX) << "width delta " << c.widthDelta;
        EXPECT_EQ(after.top, desktop.top + c.expectedY) << "height delta " << c.heightDelta;
        EXPECT_EQ(after.right - after.left, before.right - before.left);
        EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    }
    DestroyWindow(window);
}

// A base Dialog run on the Exit Setup template: the base knows only IDOK and
// IDCANCEL, so its own buttons do nothing.
INT_PTR RunBaseDialogWith(WPARAM finalCommand, bool* stayedOpenOnOtherCommand, bool* centred, bool* registered) {
    Dialog dialog;
    WindowScript script;
    HWND found = nullptr;
    script.Then("the dialog", [&] { return (found = FindThreadDialog("Exit Setup")) != nullptr; },
                [&] {
                    RECT desktop, own;
                    GetWindowRect(GetDesktopWindow(), &desktop);
                    GetWindowRect(found, &own);
                    *centred = own.left == desktop.left + (desktop.right - desktop.left - (own.right - own.left)) / 2 &&
                               own.top == desktop.top + (desktop.bottom - desktop.top - (own.bottom - own.top)) / 2;
                    *registered = FindDialog(found) == &dialog && dialog.window == found;
                    SendMessageA(found, WM_COMMAND, IDC_EXIT, 0);
                    *stayedOpenOnOtherCommand = IsWindowVisible(found) != FALSE;
                    PostMessageA(found, WM_COMMAND, finalCommand, 0);
                });
    script.Start();
    INT_PTR result = dialog.RunModal(IDD_EXIT_SETUP, nullptr, Module());
    script.Stop();
    EXPECT_EQ(script.Failure(), "");
    EXPECT_EQ(FindDialog(found), nullptr) << "WM_DESTROY unregisters";
    return result;
}

TEST(DialogBase, EndsWithOkOrCancelAndLeavesOtherCommandsUnhandled) {
    for (WPARAM command : {static_cast<WPARAM>(IDOK), static_cast<WPARAM>(IDCANCEL)}) {
        bool stayedOpen = false, centred = false, registered = false;
        EXPECT_EQ(RunBaseDialogWith(command, &stayedOpen, &centred, &registered), static_cast<INT_PTR>(command));
        EXPECT_TRUE(stayedOpen);
        EXPECT_TRUE(centred);
        EXPECT_TRUE(registered);
    }
    EXPECT_EQ(DialogRegistryCount(), 0);
}

TEST(DialogBase, MissingTemplateGivesTheSystemFailureValue) {
    Dialog dialog;
    EXPECT_EQ(dialog.RunModal(9999, nullptr, Module()), -1);
}

// Presses keys and commands at the Exit Setup dialog, checks after each one
// that it is still open, and finally clicks the given button.
struct ExitDialogProbe {
    bool focusOnResume = false;
    bool openAfterEnterCommand = false, openAfterEscapeCommand = false, openAfterEscapeKey = false;
};

void ScriptExitDialog(WindowScript& script, ExitDialogProbe& probe, int buttonToClick) {
    auto dialog = [] { return FindThreadDialog("Exit Setup"); };
    script.Then("Exit Setup", [=] { return dialog() != nullptr; },
                [=, &probe] {
                    probe.focusOnResume = GetFocus() == GetDlgItem(dialog(), IDC_RESUME);
                    SendMessageA(dialog(), WM_COMMAND, IDOK, 0);
                    probe.openAfterEnterCommand = IsWindowVisible(dialog()) != FALSE;
                    SendMessageA(dialog(), WM_COMMAND, IDCANCEL, 0);
                    probe.openAfterEscapeCommand = IsWindowVisible(dialog()) != FALSE;
                    PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
                })
        .Do("after Escape", [=, &probe] { probe.openAfterEscapeKey = dialog() != nullptr; })
        .Do("click", [=] { SendMessageA(GetDlgItem(dialog(), buttonToClick), BM_CLICK, 0, 0); });
}

void ExpectOnlyButtonsClose(const ExitDialogProbe& probe) {
    EXPECT_TRUE(probe.focusOnResume);
    EXPECT_TRUE(probe.openAfterEnterCommand);
    EXPECT_TRUE(probe.openAfterEscapeCommand);
    EXPECT_TRUE(probe.openAfterEscapeKey);
}

TEST(ExitConfirm, IgnoresEnterAndEscapeAndReturnsTheButtonPressed) {
    for (int button : {IDC_EXIT, IDC_RESUME}) {
        ExitConfirmDialog dialog;
        ExitDialogProbe probe;
        WindowScript script;
        ScriptExitDialog(script, probe, button);
        script.Start();
        INT_PTR result = dialog.RunModal(IDD_EXIT_SETUP, nullptr, Module());
        script.Stop();
        ASSERT_EQ(script.Failure(), "");
        EXPECT_EQ(result, button);
        ExpectOnlyButtonsClose(probe);
    }
}

TEST(ExitConfirm, TemplateHasNoCloseBoxAndTheResumeButtonIsTheDefault) {
    ExitConfirmDialog dialog;
    LONG_PTR style = 0, resumeStyle = 0;
    WindowScript script;
    script.Then("Exit Setup", [] { return FindThreadDialog("Exit Setup") != nullptr; },
                [&] {
                    HWND found = FindThreadDialog("Exit Setup");
                    style = GetWindowLongPtrA(found, GWL_STYLE);
                    resumeStyle = GetWindowLongPtrA(GetDlgItem(found, IDC_RESUME), GWL_STYLE);
                    SendMessageA(GetDlgItem(found, IDC_RESUME), BM_CLICK, 0, 0);
                });
    script.Start();
    dialog.RunModal(IDD_EXIT_SETUP, nullptr, Module());
    script.Stop();
    ASSERT_EQ(script.Failure(), "");
    EXPECT_EQ(style & WS_SYSMENU, 0);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(resumeStyle & 0x0F, BS_DEFPUSHBUTTON);
}

TEST(ConfirmExit, ExitMeansTrueResumeMeansFalse) {
    InstallSettings settings(Module(), "Varnplay", "varnplay.exe", 0, 0, "readme.txt", "Readme", 0);
    for (int button : {IDC_EXIT, IDC_RESUME}) {
        ExitDialogProbe probe;
        WindowScript script;
        ScriptExitDialog(script, probe, button);
        script.Start();
        BOOL exit = settings.ConfirmExit(nullptr);
        script.Stop();
        ASSERT_EQ(script.Failure(), "");
        EXPECT_EQ(exit != FALSE, button == IDC_EXIT);
    }
    EXPECT_EQ(DialogRegistryCount(), 0);
}

}  // namespace
