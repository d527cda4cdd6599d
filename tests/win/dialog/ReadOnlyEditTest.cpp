#include <gtest/gtest.h>
#include <windows.h>

#include "support/WindowScript.h"
#include "ui/ReadOnlyEdit.h"

namespace {

using namespace wscript;

// A parent that records the commands its children send or post.
struct CommandLog {
    int okCount = 0;
    LPARAM okSource = 0;
    bool marker = false;
};
CommandLog commandLog;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && wParam == IDOK) {
        ++commandLog.okCount;
        commandLog.okSource = lParam;
    }
    if (message == WM_APP) commandLog.marker = true;
    return DefWindowProcA(window, message, wParam, lParam);
}

class ReadOnlyEditControl : public ::testing::Test {
protected:
    void SetUp() override {
        HINSTANCE module = GetModuleHandleA(nullptr);
        RegisterReadOnlyEdit(module);
        WNDCLASSA cls = {};
        cls.lpfnWndProc = ParentProc;
        cls.hInstance = module;
        cls.lpszClassName = "ReadOnlyEditTestParent";
        RegisterClassA(&cls);
        parent_ = CreateWindowExA(0, cls.lpszClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                  module, nullptr);
        ASSERT_NE(parent_, nullptr);
        commandLog = CommandLog();
    }
    void TearDown() override { DestroyWindow(parent_); }

    HWND CreateEdit(DWORD extraStyle) {
        return CreateWindowExA(0, kReadOnlyEditClass, "text", WS_CHILD | WS_VISIBLE | ES_MULTILINE | extraStyle, 0, 0,
                               200, 100, parent_, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    // Posted messages arrive in order: once a marker posted now has arrived,
    // so has everything posted before it.
    void Drain() {
        commandLog.marker = false;
        PostMessageA(parent_, WM_APP, 0, 0);
        ASSERT_TRUE(PumpUntil([] { return commandLog.marker; }));
    }
    HWND parent_ = nullptr;
};

TEST_F(ReadOnlyEditControl, EnterAndCtrlEnterPostOkToTheParentAndNeverReachTheText) {
    HWND edit = CreateEdit(ES_READONLY);
    ASSERT_NE(edit, nullptr);
    for (WPARAM key : {static_cast<WPARAM>('\r'), static_cast<WPARAM>('\n')}) {
        commandLog = CommandLog();
        EXPECT_EQ(SendMessageA(edit, WM_CHAR, key, 0x001C0001), 0);
        EXPECT_EQ(commandLog.okCount, 0) << "posted, not sent";
        ASSERT_TRUE(PumpUntil([] { return commandLog.okCount == 1; }));
        EXPECT_EQ(commandLog.okSource, reinterpret_cast<LPARAM>(edit));
    }
    EXPECT_EQ(WindowText(edit), "text");
}

TEST_F(ReadOnlyEditControl, OtherKeysGoToTheSystemEdit) {
    HWND readOnly = CreateEdit(ES_READONLY);
    SendMessageA(readOnly, WM_CHAR, 'x', 0);
    EXPECT_EQ(WindowText(readOnly), "text");

    HWND writable = CreateEdit(0);  // same class without the read-only style: typing reaches the system edit
    SendMessageA(writable, EM_SETSEL, 4, 4);
    SendMessageA(writable, WM_CHAR, 'x', 0);
    SendMessageA(writable, WM_CHAR, '\r', 0);
    EXPECT_EQ(WindowText(writable), "textx");
    Drain();
    EXPECT_EQ(commandLog.okCount, 1);
    EXPECT_EQ(SendMessageA(writable, EM_GETLINECOUNT, 0, 0), 1);
}

}  // namespace
