#include "Driver.h"

#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <cstdlib>

#include "Checks.h"

namespace {

constexpr DWORD kPollMs = 25;
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kResultLineId = 1010;

struct ButtonName {
    const char* name;
    int id;
};
const ButtonName kMessageBoxButtons[] = {{"OK", IDOK}, {"Cancel", IDCANCEL}, {"Yes", IDYES}, {"No", IDNO}};

int ButtonId(const std::string& name) {
    for (const ButtonName& button : kMessageBoxButtons) {
        if (name == button.name) return button.id;
    }
    return 0;
}

// As a click would: WM_COMMAND with BN_CLICKED from the button.
void PressDialogButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool EqualsNoCase(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Message texts hold line breaks; the transcript keeps one event per line,
// with '|' for each line break (CR LF counts as one).
std::string OneLine(const std::string& text) {
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        line += text[i] == '\r' || text[i] == '\n' ? '|' : text[i];
    }
    return line;
}

// The one UnInstXXXX.inf in the directory.
std::string FindUninstallLog(const std::string& directory, std::string& path) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((directory + "\\UnInst????.inf").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return "no uninstall log in " + directory;
    path = directory + "\\" + entry.cFileName;
    bool more = FindNextFileA(search, &entry) != 0;
    FindClose(search);
    return more ? "more than one uninstall log in " + directory : "";
}

std::string ToolPath(const char* name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory = path;
    return directory.substr(0, directory.find_last_of('\\') + 1) + name;
}

// Runs "uninstlog FILE" and collects its standard output.
std::string RunLogTool(const std::string& logFile, std::string& output, int& status) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return "no pipe";
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::string line = Quoted(ToolPath("uninstlog.exe")) + " " + Quoted(logFile);
    std::vector<char> writable(line.begin(), line.end());
    writable.push_back('\0');
    PROCESS_INFORMATION tool = {};
    BOOL started = CreateProcessA(nullptr, writable.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &tool);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        return "cannot run " + line;
    }
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got) output.append(buffer, got);
    CloseHandle(readEnd);
    WaitForSingleObject(tool.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(tool.hProcess, &code);
    status = static_cast<int>(code);
    CloseHandle(tool.hProcess);
    CloseHandle(tool.hThread);
    return "";
}

std::string CheckResult(const std::string& problem, const std::string& what) { return problem.empty() ? "" : problem + " (" + what + ")"; }

}  // namespace

const Driver::ActionEntry Driver::kActions[] = {
    {"start", 1, &Driver::Start},
    {"expect-page", 1, &Driver::ExpectPage},
    {"expect-pages", 1, &Driver::ExpectPages},
    {"next", 0, &Driver::Next},
    {"back", 0, &Driver::Back},
    {"cancel", 0, &Driver::Cancel},
    {"wait-finish", 0, &Driver::WaitFinish},
    {"finish", 0, &Driver::Finish},
    {"msgbox", 2, &Driver::MessageBox},
    {"exit-setup", 1, &Driver::ExitSetup},
    {"dialog", 1, &Driver::Dialog},
    {"type-id", 2, &Driver::TypeId},
    {"click-id", 1, &Driver::ClickId},
    {"expect-text", 2, &Driver::ExpectText},
    {"expect-no-text", 2, &Driver::ExpectNoText},
    {"expect-background", 1, &Driver::ExpectBackground},
    {"expect-running", 1, &Driver::ExpectRunning},
    {"wait-exit", 1, &Driver::WaitExit},
    {"run-other", 3, &Driver::RunOther},
    {"snap", 1, &Driver::Snap},
    {"expect-file", 1, &Driver::ExpectFile},
    {"expect-no-file", 1, &Driver::ExpectNoFile},
    {"wait-file", 1, &Driver::WaitFile},
    {"expect-file-text", 2, &Driver::ExpectFileText},
    {"expect-reg", 3, &Driver::ExpectReg},
    {"expect-key", 1, &Driver::ExpectKey},
    {"expect-no-key", 1, &Driver::ExpectNoKey},
    {"expect-shortcut", 2, &Driver::ExpectShortcut},
    {"delete-key", 1, &Driver::DeleteKey},
    {"delete-tree", 1, &Driver::DeleteTree},
    {"save-key", 2, &Driver::SaveKey},
    {"timeout", 1, &Driver::Timeout},
    {"kill-after", 1, &Driver::KillAfter},
    {"read-log", 1, &Driver::ReadLog},
    {"expect-log", 1, &Driver::ExpectLog},
    {"expect-log-line", 2, &Driver::ExpectLogLine},
    {"expect-no-log", 1, &Driver::ExpectNoLog},
    {"expect-not-running", 1, &Driver::ExpectNotRunning},
    {"show-shortcuts", 1, &Driver::ShowShortcuts},
    {"show-key", 1, &Driver::ShowKey},
    {"show-log", 1, &Driver::ShowLog},
    {"hold-for-delete", 1, &Driver::HoldForDelete},
    {"release-files", 0, &Driver::ReleaseFiles},
    {"working-folder", 1, &Driver::WorkingFolder},
    {"start-swapped", 3, &Driver::StartSwapped},
    {"expect-same-file", 2, &Driver::ExpectSameFile},
    {"show-signature", 1, &Driver::ShowSignature},
};

Driver::Driver(DWORD stepTimeoutMs, std::string snapDirectory)
    : stepTimeoutMs_(stepTimeoutMs), snapDirectory_(std::move(snapDirectory)) {}

Driver::~Driver() {
    Stop();
    ForgetProcess();
    for (HANDLE file : heldFiles_) CloseHandle(file);
}

void Driver::ForgetProcess() {
    if (process_.hProcess) CloseHandle(process_.hProcess);
    if (process_.hThread) CloseHandle(process_.hThread);
    if (job_) CloseHandle(job_);
    process_ = PROCESS_INFORMATION{};
    job_ = nullptr;
    dialog_ = nullptr;
}

bool Driver::Run(const std::vector<Command>& commands) {
    for (const Command& command : commands) {
        std::string problem = Execute(command);
        if (!problem.empty()) {
            Log("FAIL line " + std::to_string(command.line) + " (" + command.name + "): " + problem);
            Stop();
            return false;
        }
    }
    if (process_.hProcess && !Exited()) {
        Log("FAIL: the script ended while setup.exe was still running");
        Stop();
        return false;
    }
    Log("PASS");
    return true;
}

std::string Driver::Execute(const Command& command) {
    for (const ActionEntry& entry : kActions) {
        if (command.name != entry.name) continue;
        if (command.args.size() < entry.minArgs) return "needs " + std::to_string(entry.minArgs) + " argument(s)";
        return (this->*entry.action)(command);
    }
    return "unknown command";
}

// ---- waiting -------------------------------------------------------------

bool Driver::Exited() const {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0;
}

SetupWindows Driver::Windows() const { return FindSetupWindows(process_.dwProcessId); }

std::string Driver::ExitStatusText() const {
    DWORD status = 0;
    GetExitCodeProcess(process_.hProcess, &status);
    return std::to_string(status);
}

std::string Driver::UnexpectedWindows(const SetupWindows& windows) {
    if (!windows.messageBoxes.empty()) {
        HWND box = windows.messageBoxes.front();
        return "unexpected message box " + Quoted(WindowText(box)) + ": " +
               Quoted(OneLine(ControlText(box, kMessageBoxTextId)));
    }
    if (windows.exitDialog) return "unexpected Exit Setup dialog";
    return "";
}

std::string Driver::WaitFor(const std::string& what, const std::function<bool()>& condition, int flags) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return "";
        bool exited = Exited();
        if (exited && !(flags & AllowExit)) return "setup.exe exited with status " + ExitStatusText() + " while waiting for " + what;
        if (!exited && process_.hProcess && !(flags & AllowModal)) {
            std::string unexpected = UnexpectedWindows(Windows());
            if (!unexpected.empty()) return unexpected + " while waiting for " + what;
        }
        if (GetTickCount() - start > stepTimeoutMs_) return "timed out waiting for " + what;
        if (process_.hProcess && !exited) {
            WaitForSingleObject(process_.hProcess, kPollMs);
        } else {
            Sleep(kPollMs);  // nothing to wait on but the clock (files after the exit)
        }
    }
}

std::string Driver::WaitForSheet(HWND& sheet) {
    return WaitFor("the wizard", [&] { return (sheet = Windows().sheet) != nullptr; });
}

HWND Driver::TargetWindow() {
    if (dialog_ && IsWindow(dialog_)) return dialog_;
    dialog_ = nullptr;
    HWND sheet = Windows().sheet;
    return sheet ? CurrentPage(sheet) : nullptr;
}

void Driver::Log(const std::string& line) const {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void Driver::Stop() {
    if (!process_.hProcess || Exited()) return;
    Log("ending setup.exe");
    TerminateProcess(process_.hProcess, 99);
    WaitForSingleObject(process_.hProcess, 5000);
}

// ---- the wizard ------------------------------------------------------------

std::string Driver::Start(const Command& command) { return StartProcess(command, nullptr); }

// The command line is UTF-8 (a script may name a folder that the ANSI code
// page cannot hold); before the program's first instruction runs,
// `beforeResume` may change what lies around it.
std::string Driver::StartProcess(const Command& command, const std::function<std::string()>& beforeResume) {
    if (process_.hProcess && !Exited()) return "setup.exe is still running";
    ForgetProcess();  // a case may start setup.exe again once it has ended
    std::string arguments = command.args.size() > 1 ? command.args[1] : "";
    std::string line = Quoted(command.args[0]) + (arguments.empty() ? "" : " " + arguments);
    std::wstring writable = Utf8ToWide(line);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring folder = Utf8ToWide(workingFolder_);
    if (!CreateProcessW(nullptr, &writable[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, folder.c_str(),
                        &startup, &process_))
        return "cannot start " + command.args[0] + " (error " + std::to_string(GetLastError()) + ")";
    // The job counts the programs setup.exe starts, such as an opened readme.
    job_ = CreateJobObjectA(nullptr, nullptr);
    if (!job_ || !AssignProcessToJobObject(job_, process_.hProcess)) Log("note: no job object");
    std::string problem = beforeResume ? beforeResume() : "";
    if (!problem.empty()) return problem;
    ResumeThread(process_.hThread);
    resumedAt_ = GetTickCount64();
    Log("start: " + line);
    return "";
}

std::string Driver::ExpectPage(const Command& command) {
    const std::string& title = command.args[0];
    HWND sheet = nullptr;
    std::string seen;
    std::string problem = WaitFor("page " + Quoted(title), [&] {
        sheet = Windows().sheet;
        seen = sheet ? PageTitle(sheet) : "";
        return sheet && seen == title;
    });
    if (!problem.empty()) return problem + " (last title " + Quoted(seen) + ")";
    lastPageIndex_ = PageIndex(sheet, CurrentPage(sheet));
    Log("page " + std::to_string(lastPageIndex_ + 1) + "/" + std::to_string(PageCount(sheet)) + ": " + Quoted(title));
    return "";
}

std::string Driver::ExpectPages(const Command& command) {
    HWND sheet = nullptr;
    std::string problem = WaitForSheet(sheet);
    if (!problem.empty()) return problem;
    int count = PageCount(sheet);
    Log("pages: " + std::to_string(count));
    if (std::to_string(count) != command.args[0]) return "the wizard has " + std::to_string(count) + " pages";
    return "";
}

std::string Driver::PressSheetButton(int buttonId, int pressCode, const char* name) {
    HWND sheet = nullptr;
    std::string problem = WaitFor(std::string("a usable ") + name + " button", [&] {
        sheet = Windows().sheet;
        return sheet && ButtonUsable(sheet, buttonId);
    });
    if (!problem.empty()) return problem;
    HWND before = CurrentPage(sheet);
    PostMessageA(sheet, PSM_PRESSBUTTON, pressCode, 0);
    Log(std::string("press: ") + name);
    if (pressCode == PSBTN_FINISH || pressCode == PSBTN_CANCEL) return "";
    // Done when another page shows or the page answered with a window of its own.
    return WaitFor(std::string("the effect of ") + name, [&] {
        SetupWindows windows = Windows();
        if (!windows.messageBoxes.empty() || windows.exitDialog || !windows.dialogs.empty()) return true;
        return !windows.sheet || CurrentPage(windows.sheet) != before;
    }, AllowModal | AllowExit);
}

std::string Driver::Next(const Command&) { return PressSheetButton(kNextButton, PSBTN_NEXT, "Next"); }
std::string Driver::Back(const Command&) { return PressSheetButton(kBackButton, PSBTN_BACK, "Back"); }
std::string Driver::Cancel(const Command&) { return PressSheetButton(kCancelButton, PSBTN_CANCEL, "Cancel"); }

std::string Driver::WaitForFinishButton(HWND& sheet) {
    return WaitFor("a usable Finish button", [&] {
        sheet = Windows().sheet;
        return sheet && ButtonUsable(sheet, kFinishButton);
    });
}

std::string Driver::WaitFinish(const Command&) {
    HWND sheet = nullptr;
    std::string problem = WaitForFinishButton(sheet);
    if (!problem.empty()) return problem;
    Log("finish enabled; title " + Quoted(PageTitle(sheet)) + "; result line " +
        Quoted(ControlText(CurrentPage(sheet), kResultLineId)));
    return "";
}

std::string Driver::Finish(const Command&) {
    HWND sheet = nullptr;
    std::string problem = WaitForFinishButton(sheet);
    return problem.empty() ? PressSheetButton(kFinishButton, PSBTN_FINISH, "Finish") : problem;
}

// ---- other windows -----------------------------------------------------------

std::string Driver::MessageBox(const Command& command) {
    const std::string& expected = command.args[0];
    int button = ButtonId(command.args[1]);
    if (!button) return "unknown button " + command.args[1];
    HWND box = nullptr;
    std::string problem = WaitFor("a message box", [&] {
        SetupWindows windows = Windows();
        box = windows.messageBoxes.empty() ? nullptr : windows.messageBoxes.front();
        return box != nullptr;
    }, AllowModal);
    if (!problem.empty()) return problem;
    std::string caption = WindowText(box), text = ControlText(box, kMessageBoxTextId);
    Log("msgbox " + Quoted(caption) + ": " + Quoted(OneLine(text)) + " -> " + command.args[1]);
    if (caption != "Setup") return "message box caption " + Quoted(caption);
    if (expected != "*" && !Contains(text, expected)) return "expected a message containing " + Quoted(expected);
    if (!GetDlgItem(box, button)) return "the message box has no " + command.args[1] + " button";
    PressDialogButton(box, button);
    return WaitFor("the message box to close", [&] { return !IsWindow(box); }, AllowModal | AllowExit);
}

std::string Driver::ExitSetup(const Command& command) {
    const std::string& choice = command.args[0];
    int button = choice == "exit" ? 1004 : choice == "resume" ? 1006 : 0;
    if (!button) return "exit-setup takes exit or resume";
    HWND dialog = nullptr;
    std::string problem = WaitFor("the Exit Setup dialog", [&] { return (dialog = Windows().exitDialog) != nullptr; },
                                  AllowModal);
    if (!problem.empty()) return problem;
    Log("exit-setup -> " + choice);
    PressDialogButton(dialog, button);
    return WaitFor("the Exit Setup dialog to close", [&] { return !IsWindow(dialog); }, AllowModal | AllowExit);
}

std::string Driver::Dialog(const Command& command) {
    const std::string& caption = command.args[0];
    dialog_ = nullptr;  // a new one: the last may still be closing
    std::string problem = WaitFor("dialog " + Quoted(caption), [&] {
        for (HWND dialog : Windows().dialogs) {
            if (WindowText(dialog) == caption) dialog_ = dialog;
        }
        return dialog_ != nullptr;
    });
    if (problem.empty()) Log("dialog " + Quoted(caption));
    return problem;
}

std::string Driver::TypeId(const Command& command) {
    HWND target = TargetWindow();
    HWND control = target ? GetDlgItem(target, std::atoi(command.args[0].c_str())) : nullptr;
    if (!control) return "no control " + command.args[0];
    if (!SetControlText(control, command.args[1])) return "the control did not take the text";
    Log("type " + command.args[0] + ": " + Quoted(command.args[1]));
    return "";
}

std::string Driver::ClickId(const Command& command) {
    HWND target = TargetWindow();
    HWND control = target ? GetDlgItem(target, std::atoi(command.args[0].c_str())) : nullptr;
    if (!control) return "no control " + command.args[0];
    PostMessageA(control, BM_CLICK, 0, 0);
    Log("click " + command.args[0]);
    return "";
}

std::string Driver::ExpectText(const Command& command) {
    int id = std::atoi(command.args[0].c_str());
    std::string seen, wanted = ExpandFolders(command.args[1]);
    std::string problem = WaitFor("text " + Quoted(wanted) + " in control " + command.args[0], [&] {
        HWND target = TargetWindow();
        seen = target ? OneLine(ControlText(target, id)) : "";
        return Contains(seen, wanted);
    });
    if (!problem.empty()) return problem + " (it reads " + Quoted(seen) + ")";
    Log("text " + command.args[0] + ": " + Quoted(seen));
    return "";
}

std::string Driver::ExpectNoText(const Command& command) {
    HWND target = TargetWindow();
    if (!target) return "no page or dialog";
    std::string seen = OneLine(ControlText(target, std::atoi(command.args[0].c_str())));
    if (Contains(seen, ExpandFolders(command.args[1]))) return "control " + command.args[0] + " reads " + Quoted(seen);
    return "";
}

std::string Driver::ExpectBackground(const Command& command) {
    HWND sheet = nullptr;
    std::string problem = WaitForSheet(sheet);
    if (!problem.empty()) return problem;
    HWND background = Windows().background;
    HWND owner = GetWindow(sheet, GW_OWNER);
    bool wanted = command.args[0] == "yes";
    Log(std::string("background window: ") + (background ? "yes" : "no") + ", wizard owner: " +
        (owner ? (owner == background ? "background" : "other") : "none"));
    if (wanted && (!background || !IsWindowVisible(background))) return "no visible background window";
    if (wanted && owner != background) return "the wizard is not owned by the background window";
    if (!wanted && (background || owner)) return "quiet mode has a background window or an owner";
    return "";
}

std::string Driver::ExpectRunning(const Command& command) {
    DWORD wait = static_cast<DWORD>(std::atoi(command.args[0].c_str()));
    if (!process_.hProcess) return "setup.exe was not started";
    if (WaitForSingleObject(process_.hProcess, wait) != WAIT_TIMEOUT) return "setup.exe exited with status " + ExitStatusText();
    std::string unexpected = UnexpectedWindows(Windows());
    if (!unexpected.empty()) return unexpected;
    Log("still running after " + command.args[0] + " ms");
    return "";
}

// Ends setup.exe as a crash or the task manager would, MS milliseconds after
// it was started; passes also when it ended by itself before.
std::string Driver::KillAfter(const Command& command) {
    if (!process_.hProcess) return "setup.exe was not started";
    DWORD wait = static_cast<DWORD>(std::strtoul(command.args[0].c_str(), nullptr, 10));
    if (WaitForSingleObject(process_.hProcess, wait) == WAIT_OBJECT_0) {
        Log("setup.exe ended before the kill, status " + ExitStatusText());
        return "";
    }
    TerminateProcess(process_.hProcess, 99);
    WaitForSingleObject(process_.hProcess, 5000);
    Log("killed setup.exe after " + command.args[0] + " ms");
    return "";
}

std::string Driver::WaitExit(const Command& command) {
    std::string problem = WaitFor("setup.exe to end", [&] { return Exited(); }, AllowExit);
    if (!problem.empty()) return problem;
    // How long a kill may come while it still meets setup.exe running (within a poll).
    ULONGLONG ranMs = GetTickCount64() - resumedAt_;
    std::string status = ExitStatusText();
    Log("exit status " + status);
    Log("setup.exe ran for " + std::to_string(ranMs) + " ms");
    return status == command.args[0] ? "" : "expected exit status " + command.args[0];
}

// A second program beside the one started (another setup.exe, the
// uninstaller), run to its end within the step time; its status checked.
std::string Driver::RunOther(const Command& command) {
    std::string line = Quoted(command.args[0]) + (command.args[1].empty() ? "" : " " + command.args[1]);
    std::vector<char> writable(line.begin(), line.end());
    writable.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION other = {};
    if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup, &other))
        return "cannot start " + line;
    CloseHandle(other.hThread);
    bool ended = WaitForSingleObject(other.hProcess, stepTimeoutMs_) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(other.hProcess, 99);
    DWORD code = 0;
    GetExitCodeProcess(other.hProcess, &code);
    CloseHandle(other.hProcess);
    if (!ended) return line + " did not end: a window waits";
    Log("ran " + line + ": exit status " + std::to_string(code));
    return std::to_string(code) == command.args[2] ? "" : "expected exit status " + command.args[2];
}

// Hands a screenshot to the script that runs the driver: NAME.ready holds the
// wizard's (or a dialog's) screen rectangle "x y width height"; the script
// answers with NAME.done.
std::string Driver::Snap(const Command& command) {
    if (snapDirectory_.empty()) return "";
    SetupWindows windows = Windows();
    HWND shown = !windows.messageBoxes.empty() ? windows.messageBoxes.front()
                 : windows.exitDialog           ? windows.exitDialog
                 : !windows.dialogs.empty()     ? windows.dialogs.front()
                                                : windows.sheet;
    RECT rect = {};
    if (shown) GetWindowRect(shown, &rect);
    std::string base = snapDirectory_ + "\\" + command.args[0];
    std::string geometry = std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
                           std::to_string(rect.right - rect.left) + " " + std::to_string(rect.bottom - rect.top) + "\n";
    HANDLE ready = CreateFileA((base + ".ready").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (ready == INVALID_HANDLE_VALUE) return "cannot signal " + base + ".ready";
    DWORD written = 0;
    WriteFile(ready, geometry.data(), static_cast<DWORD>(geometry.size()), &written, nullptr);
    CloseHandle(ready);
    Log("snap " + command.args[0]);
    std::string done = base + ".done";
    std::string problem = WaitFor("the screenshot " + command.args[0], [&] {
        return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES;
    }, AllowModal | AllowExit);
    DeleteFileA(done.c_str());
    return problem;
}

// ---- outcome checks ------------------------------------------------------------

std::string Driver::ExpectFile(const Command& command) {
    std::string problem = CheckFileExists(command.args[0], true);
    if (problem.empty()) Log("file: " + command.args[0]);
    return problem;
}

std::string Driver::ExpectNoFile(const Command& command) {
    std::string problem = CheckFileExists(command.args[0], false);
    if (problem.empty()) Log("no file: " + command.args[0]);
    return problem;
}

std::string Driver::WaitFile(const Command& command) {
    std::string problem = WaitFor(command.args[0], [&] { return CheckFileExists(command.args[0], true).empty(); },
                                  AllowModal | AllowExit);
    if (problem.empty()) Log("file appeared: " + command.args[0]);
    return problem;
}

std::string Driver::ExpectFileText(const Command& command) {
    std::string problem = CheckFileContains(command.args[0], ExpandFolders(command.args[1]));
    if (problem.empty()) Log("file " + command.args[0] + " holds " + Quoted(command.args[1]));
    return problem;
}

std::string Driver::ExpectReg(const Command& command) {
    std::string problem = CheckRegistryValue(command.args[0], command.args[1], ExpandFolders(command.args[2]));
    if (problem.empty()) Log("reg " + command.args[0] + " " + Quoted(command.args[1]) + " = " + Quoted(command.args[2]));
    return problem;
}

std::string Driver::ExpectKey(const Command& command) {
    std::string problem = CheckRegistryKeyExists(command.args[0], true);
    if (problem.empty()) Log("key: " + command.args[0]);
    return problem;
}

std::string Driver::ExpectNoKey(const Command& command) {
    std::string problem = CheckRegistryKeyExists(command.args[0], false);
    if (problem.empty()) Log("no key: " + command.args[0]);
    return problem;
}

std::string Driver::ExpectShortcut(const Command& command) {
    std::string arguments = command.args.size() > 2 ? ExpandFolders(command.args[2]) : "";
    std::string problem = CheckShortcut(command.args[0], command.args[1], arguments);
    if (problem.empty()) Log("shortcut " + command.args[0] + " -> " + command.args[1] + (arguments.empty() ? "" : " " + arguments));
    return problem;
}

std::string Driver::DeleteKey(const Command& command) { return CheckResult(DeleteRegistryTree(command.args[0]), "clean-up"); }
std::string Driver::DeleteTree(const Command& command) { return CheckResult(DeleteDirectoryTree(command.args[0]), "clean-up"); }
std::string Driver::SaveKey(const Command& command) { return SaveRegistryTree(command.args[0], command.args[1]); }

std::string Driver::Timeout(const Command& command) {
    int seconds = std::atoi(command.args[0].c_str());
    if (seconds <= 0) return "timeout takes a number of seconds";
    stepTimeoutMs_ = static_cast<DWORD>(seconds) * 1000;
    return "";
}

// ---- the uninstall log, read with the log tool beside the driver --------------

std::string Driver::ReadLog(const Command& command) {
    std::string directory = ExpandFolders(command.args[0]);
    std::string logFile;
    std::string problem = FindUninstallLog(directory, logFile);
    if (!problem.empty()) return problem;
    int status = 0;
    std::string output;
    problem = RunLogTool(logFile, output, status);
    if (!problem.empty()) return problem;
    logLines_.clear();
    for (size_t start = 0; start < output.size();) {
        size_t end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        logLines_.push_back(output.substr(start, end - start));
        start = end + 1;
    }
    Log("uninstall log " + logFile + ": " + std::to_string(logLines_.size()) + " records");
    for (const std::string& line : logLines_) Log("  " + line);
    return status == 0 ? "" : "the log tool reports damage (status " + std::to_string(status) + ")";
}

std::string Driver::ExpectLog(const Command& command) {
    std::string wanted = ExpandFolders(command.args[0]);
    for (const std::string& line : logLines_) {
        if (Matches(line, wanted)) return "";
    }
    return "no log record " + Quoted(wanted);
}

std::string Driver::ExpectLogLine(const Command& command) {
    size_t index = static_cast<size_t>(std::atoi(command.args[0].c_str()));
    std::string wanted = ExpandFolders(command.args[1]);
    if (index == 0 || index > logLines_.size()) return "the log has no record " + command.args[0];
    if (!Matches(logLines_[index - 1], wanted)) return "log record " + command.args[0] + " is " + Quoted(logLines_[index - 1]);
    return "";
}

std::string Driver::ExpectNoLog(const Command& command) {
    for (const std::string& line : logLines_) {
        if (Contains(line, command.args[0])) return "unexpected log record " + Quoted(line);
    }
    return "";
}

// The programs of the job still running, by file name. A program that setup.exe
// started before it ended either still runs (listed here) or has done its work.
std::vector<std::string> Driver::RunningPrograms() const {
    std::vector<std::string> names;
    struct {
        JOBOBJECT_BASIC_PROCESS_ID_LIST list;
        ULONG_PTR more[63];
    } ids = {};
    ids.list.NumberOfAssignedProcesses = 64;
    if (!job_ || !QueryInformationJobObject(job_, JobObjectBasicProcessIdList, &ids, sizeof ids, nullptr)) return names;
    for (DWORD i = 0; i < ids.list.NumberOfProcessIdsInList; ++i) {
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(ids.list.ProcessIdList[i]));
        if (!process) continue;
        char path[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (QueryFullProcessImageNameA(process, 0, path, &size)) {
            std::string image = path;
            names.push_back(image.substr(image.find_last_of('\\') + 1));
        }
        CloseHandle(process);
    }
    return names;
}

std::string Driver::ExpectNotRunning(const Command& command) {
    std::string list;
    bool found = false;
    for (const std::string& name : RunningPrograms()) {
        list += (list.empty() ? "" : ", ") + name;
        found = found || EqualsNoCase(name, command.args[0]);
    }
    Log("programs of setup.exe still running: " + (list.empty() ? std::string("none") : list));
    return found ? command.args[0] + " was started" : "";
}

// ---- for the demo: what an installation left ----------------------------------

std::string Driver::ShowShortcuts(const Command& command) {
    std::printf("%s", DescribeShortcuts(command.args[0]).c_str());
    std::fflush(stdout);
    return "";
}

std::string Driver::ShowKey(const Command& command) {
    std::printf("%s", DescribeKey(command.args[0]).c_str());
    std::fflush(stdout);
    return "";
}

// Like read-log, with the records as the only output.
std::string Driver::ShowLog(const Command& command) {
    std::string logFile, output;
    std::string problem = FindUninstallLog(ExpandFolders(command.args[0]), logFile);
    int status = 0;
    if (problem.empty()) problem = RunLogTool(logFile, output, status);
    if (!problem.empty()) return problem;
    std::printf("%s:\n%s", logFile.c_str(), output.c_str());
    std::fflush(stdout);
    return status == 0 ? "" : "the log tool reports damage";
}
