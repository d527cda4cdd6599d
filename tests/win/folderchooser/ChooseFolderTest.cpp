#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "folderchooser/FolderChooser.h"
#include "resource.h"
#include "support/ModalResponder.h"
#include "support/TempTree.h"

namespace {

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

struct Result {
    int returned;
    std::string text;
    bool untouched;
};

// Runs ChooseFolder with a buffer full of 'Q' and reports what came back.
Result Choose(const char* initialPath, size_t size = 260, FolderAcceptProc accept = nullptr, void* data = nullptr) {
    char buffer[400];
    std::memset(buffer, 'Q', sizeof buffer);
    int returned = ChooseFolder(nullptr, Instance(), "Destination &Path:", "Select Installation Directory", buffer,
                                size, initialPath, accept, data);
    bool untouched = true;
    for (char c : buffer) untouched = untouched && c == 'Q';
    std::string text = untouched ? std::string() : std::string(buffer, strnlen(buffer, sizeof buffer));
    EXPECT_EQ(buffer[sizeof buffer - 1], 'Q');  // nothing beyond the size given
    return {returned, text, untouched};
}

TEST(ChooseFolder, CancelAndTheCloseBoxLeaveTheBufferUntouched) {
    ModalResponder responder;
    responder.Then(ModalResponder::Press(IDCANCEL));
    Result cancelled = Choose("C:\\windows");
    EXPECT_EQ(cancelled.returned, 0);
    EXPECT_TRUE(cancelled.untouched);

    responder.Then([](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); });
    Result closed = Choose("C:\\windows");
    EXPECT_EQ(closed.returned, 0);
    EXPECT_TRUE(closed.untouched);
    ASSERT_EQ(responder.seen().size(), 2u);
    EXPECT_EQ(responder.seen()[0].caption, "Select Installation Directory");
}

TEST(ChooseFolder, OkReturnsThePathBoxUnchecked) {
    ModalResponder responder;
    responder.Then(ModalResponder::SetTextThenPress(IDC_PATH_EDIT, "Q:\\no such\\place\\", IDOK));
    Result typed = Choose("C:\\windows");
    EXPECT_EQ(typed.returned, 1);
    EXPECT_EQ(typed.text, "Q:\\no such\\place\\");

    responder.Then(ModalResponder::SetTextThenPress(IDC_PATH_EDIT, "", IDOK));
    Result empty = Choose("C:\\windows");
    EXPECT_EQ(empty.returned, 1);
    EXPECT_TRUE(!empty.untouched && empty.text.empty());

    responder.Then(ModalResponder::Press(IDOK));
    Result asShown = Choose("C:\\windows\\");
    EXPECT_EQ(asShown.text, "C:\\windows");  // the chain's form of the path
}

TEST(ChooseFolder, OverlongPathIsRefusedNotCutAndTheResultFitsTheBuffer) {
    TempTree tree;
    std::string path = tree.root();
    while (path.size() < 300) path += "\\abcdefghij";
    ModalResponder responder;
    responder.Then(ModalResponder::Press(IDOK));
    responder.Then([](HWND box) {  // the refusal; then the user gives up
        PostMessageA(GetWindow(box, GW_OWNER), WM_COMMAND, IDCANCEL, 0);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    Result refused = Choose(path.c_str());
    EXPECT_EQ(refused.returned, 0);
    EXPECT_TRUE(refused.untouched);
    ASSERT_EQ(responder.seen().size(), 2u);
    EXPECT_EQ(responder.seen()[1].caption, "Setup");
    EXPECT_EQ(responder.seen()[1].text, "The path is longer than 259 characters.  Please type a shorter one.");

    std::string longest = path.substr(0, 259);
    responder.Then(ModalResponder::SetTextThenPress(IDC_PATH_EDIT, longest, IDOK));
    EXPECT_EQ(Choose("C:\\windows").text, longest);

    responder.Then(ModalResponder::Press(IDOK));
    Result small = Choose("C:\\windows", 6);
    EXPECT_EQ(small.text, "C:\\wi");
}

struct AcceptLog {
    int acceptPhase0 = 0;
    int acceptPhase1 = 0;
    std::string lastPath;
    int lastPhase = -1;
    bool sawWindow = false;
    int calls = 0;
};

int Accept(void* data, const char* path, int phase, HWND window) {
    AcceptLog* log = static_cast<AcceptLog*>(data);
    ++log->calls;
    log->lastPath = path;
    log->lastPhase = phase;
    log->sawWindow = window != nullptr;
    return phase == 0 ? log->acceptPhase0 : log->acceptPhase1;
}

TEST(ChooseFolder, AcceptedStartPathShowsNoDialog) {
    ModalResponder responder;
    AcceptLog log;
    log.acceptPhase0 = 1;
    Result result = Choose("D:\\Games", 260, Accept, &log);
    EXPECT_EQ(result.returned, 1);
    EXPECT_EQ(result.text, "D:\\Games");
    EXPECT_TRUE(responder.seen().empty());
    EXPECT_EQ(log.lastPhase, 0);
    EXPECT_FALSE(log.sawWindow);
}

TEST(ChooseFolder, RefusedTypedPathKeepsTheDialogOpen) {
    ModalResponder responder;
    AcceptLog log;
    bool stillOpen = false;
    responder.Then([&](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_PATH_EDIT, "C:\\refused");
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        stillOpen = IsWindow(dialog) && IsWindowEnabled(dialog);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    Result result = Choose("C:\\windows", 260, Accept, &log);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(result.returned, 0);
    EXPECT_EQ(log.lastPath, "C:\\refused");
    EXPECT_EQ(log.lastPhase, 1);
    EXPECT_TRUE(log.sawWindow);
}

TEST(ChooseFolder, OpenedFolderThatIsAcceptedEndsTheDialog) {
    TempTree tree;
    std::string inner = tree.MakeDir("Inner");
    ModalResponder responder;
    AcceptLog log;
    responder.Then([&](HWND dialog) {
        log.acceptPhase0 = 1;  // from now on an opened folder is accepted
        HWND list = GetDlgItem(dialog, IDC_FOLDER_LIST);
        LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        SendMessageA(list, LB_SETCURSEL, count - 1, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_FOLDER_LIST, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    });
    Result result = Choose(tree.root().c_str(), 260, Accept, &log);
    EXPECT_EQ(result.returned, 1);
    EXPECT_EQ(result.text, inner);
    EXPECT_EQ(log.lastPhase, 0);
    EXPECT_TRUE(log.sawWindow);
}

}  // namespace
