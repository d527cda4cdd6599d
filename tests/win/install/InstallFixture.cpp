#include "InstallFixture.h"

#include "setup/SetupMessages.h"

namespace {

const char* const kClassKeys[] = {".GAM", ".SAV", ".VDC", "VARN.Game", "VARN.Save", "VARN.DebugConfig",
                                  "Devi Dezir.Save"};
const char* const kPrograms[] = {"varnplay.exe", "vbench.exe", "vbench3.exe", "devi.exe"};

void CleanRegistry() {
    for (const char* key : kClassKeys) installtest::DeleteRegistryTree(HKEY_CLASSES_ROOT, key);
    installtest::DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\VARN");
    for (const char* program : kPrograms) {
        std::string appPaths = std::string("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") + program;
        std::string uninstall = std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + program;
        installtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, appPaths.c_str());
        installtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, uninstall.c_str());
    }
}

std::vector<uint32_t> Pixels(HBITMAP bitmap) {
    BITMAP info = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return {};
    BITMAPINFO request = {};
    request.bmiHeader.biSize = sizeof request.bmiHeader;
    request.bmiHeader.biWidth = info.bmWidth;
    request.bmiHeader.biHeight = info.bmHeight;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, info.bmHeight, pixels.data(), &request, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return pixels;
}

bool IsTextVisible(HWND page, const char* text) {
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char buffer[64] = {};
        GetWindowTextA(child, buffer, sizeof buffer);
        if (strcmp(buffer, text) == 0) return IsWindowVisible(child) != FALSE;
    }
    return false;
}

}  // namespace

void InstallRun::SetUp() {
    installtest::KeepWineMenuBuilderAway();
    CoInitialize(nullptr);
    ResetInstallErrors();
    scratch_ = logtest::MakeScratchDirectory("vsetup-install-test");
    set_ = scratch_ + "\\set";
    ASSERT_TRUE(CreateDirectoryA(set_.c_str(), nullptr));
    programFiles_ = scratch_ + "\\Program Files";
    programDir_ = programFiles_ + "\\Varn Play";
    group_ = "vsetup install test " + std::to_string(GetCurrentProcessId());
    groupPath_ = installtest::ProgramsFolder() + "\\" + group_;
    uninstallerCopy_ = installtest::WindowsDirectory() + "\\VARNUINS.EXE";
    ASSERT_FALSE(logtest::PathExists(uninstallerCopy_)) << "the test would replace a real uninstaller";
        ownsUninstallerCopy_ = true;
    ASSERT_TRUE(installtest::WriteTextFile(set_ + "\\VARNUINS.EXE", "uninstaller"));
    ASSERT_TRUE(installtest::WriteTextFile(set_ + "\\setup.exe", "setup"));
    ASSERT_TRUE(installtest::WriteTextFile(set_ + "\\insmain.exe", "insmain"));
    CleanRegistry();
    previousDir_ = installtest::CurrentDirectory();
    ASSERT_TRUE(SetCurrentDirectoryA(set_.c_str()));
    installedDir.Free();
}

void InstallRun::TearDown() {
    ProgressPage::startThread = ProgressPage::StartWithCreateThread;
    SetCurrentDirectoryA(previousDir_.c_str());
    if (ownsUninstallerCopy_) DeleteFileA(uninstallerCopy_.c_str());
    logtest::RemoveTree(groupPath_);
    logtest::RemoveTree(scratch_);
    CleanRegistry();
    CoUninitialize();
}

std::unique_ptr<InstallSettings> InstallRun::MakeSettings(const char* appName, const char* mainExe, int debugger,
                                                          int game, const char* readme, int v3) {
    auto settings = std::make_unique<InstallSettings>(GetModuleHandleA(nullptr), appName, mainExe, debugger, game,
                                                      readme, "", v3);
    settings->programDir.Assign(programDir_.c_str());
    settings->startFolder.Assign(group_.c_str());
    settings->saveSuffix.Assign("SAV");
    return settings;
}

void InstallRun::WriteArchive(const Members& members, bool damage) {
    MemorySink sink;
    ArchiveWriter writer(sink);
    ASSERT_TRUE(writer.Begin());
    for (const auto& member : members)
        ASSERT_TRUE(writer.AddMember(member.first.c_str(), member.second.data(),
                                     static_cast<uint32_t>(member.second.size())))
            << writer.Error();
    ASSERT_TRUE(writer.Finish()) << writer.Error();
    if (damage) {  // spoil the compressed data in the middle of the payload
        for (size_t at = sink.bytes.size() / 2 - 8; at < sink.bytes.size() / 2 + 8; ++at) sink.bytes[at] ^= 0x5A;
    }
    ASSERT_TRUE(logtest::WriteBinaryFile(set_ + "\\insfiles.vsa", sink.bytes));
}

int InstallRun::MarkBitmapOf(HWND control, HINSTANCE instance) {
    if (!control || !IsWindowVisible(control)) return 0;
    std::vector<uint32_t> shown = Pixels(reinterpret_cast<HBITMAP>(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0)));
    for (int id : {IDB_STEP_CURRENT, IDB_STEP_SKIPPED, IDB_STEP_DONE}) {
        HBITMAP reference = static_cast<HBITMAP>(
            LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
        bool same = !shown.empty() && Pixels(reference) == shown;
        DeleteObject(reference);
        if (same) return id;
    }
    return -1;
}

PageState InstallRun::RunSheet(InstallSettings& settings, ProgressPage& page, const std::function<void()>& whileRunning) {
    PageState state;
    WizardSheet sheet;
    EXPECT_TRUE(sheet.Open(settings.instance, {{&page, IDD_PROGRESS, IDS_TITLE_PROGRESS}}, "Varnplay Setup"));
    if (!sheet.window()) return state;
    if (whileRunning) whileRunning();
    state.finishEnabled = PumpUntil([&] { return sheet.IsButtonEnabled(WizardSheet::kFinishId); }, 60000);
    PumpPending(200);  // the title post arrives with the button post
    HWND window = page.window;
    for (int id = IDC_STEP_MARK_1; id <= IDC_STEP_MARK_6; ++id)
        state.markBitmaps.push_back(MarkBitmapOf(GetDlgItem(window, id), settings.instance));
    state.resultVisible = IsWindowVisible(GetDlgItem(window, IDC_RESULT_LINE)) != FALSE;
    state.barVisible = IsWindowVisible(GetDlgItem(window, IDC_PROGRESS_BAR)) != FALSE;
    state.copyingVisible = IsWindowVisible(GetDlgItem(window, IDC_COPYING_TEXT)) != FALSE;
    state.item5Visible = IsTextVisible(window, "Item 5");
    state.item6Visible = IsTextVisible(window, "Item 6");
    char text[256] = {};
    GetDlgItemTextA(window, IDC_RESULT_LINE, text, sizeof text);
    state.resultLine = text;
    GetWindowTextA(sheet.window(), text, sizeof text);
    state.title = text;
    if (state.finishEnabled) sheet.Press(PSBTN_FINISH);
    EXPECT_EQ(page.workerThread, nullptr);
    return state;
}

std::string InstallRun::LogNameIn(const std::string& directory) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((directory + "\\UnInst*.inf").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return "";
    FindClose(search);
    return found.cFileName;
}
