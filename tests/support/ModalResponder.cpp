#include "support/ModalResponder.h"

#include <cstring>

namespace {
thread_local ModalResponder* activeResponder = nullptr;

bool IsDialogWindow(HWND window) {
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    return std::strcmp(className, "#32770") == 0;
}
}  // namespace

std::string WindowText(HWND window) {
    int length = GetWindowTextLengthA(window);
    std::string text(length + 1, '\0');
    GetWindowTextA(window, &text[0], length + 1);
    text.resize(strlen(text.c_str()));
    return text;
}

std::string DialogItemText(HWND dialog, int controlId) {
    HWND item = GetDlgItem(dialog, controlId);
    return item ? WindowText(item) : std::string();
}

ModalResponder::ModalResponder() {
    activeResponder = this;
    hook_ = SetWindowsHookExA(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
}

ModalResponder::~ModalResponder() {
    if (hook_) UnhookWindowsHookEx(hook_);
    if (activeResponder == this) activeResponder = nullptr;
}

ModalResponder::Action ModalResponder::Press(int buttonId) {
    return [buttonId](HWND dialog) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
    };
}

ModalResponder::Action ModalResponder::SetTextThenPress(int controlId, std::string text, int buttonId) {
    return [controlId, text, buttonId](HWND dialog) {
        SetDlgItemTextA(dialog, controlId, text.c_str());
        Press(buttonId)(dialog);
    };
}

LRESULT CALLBACK ModalResponder::HookProc(int code, WPARAM wParam, LPARAM lParam) {
    ModalResponder* self = activeResponder;
    if (code == HCBT_ACTIVATE && self) self->OnActivate(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(self ? self->hook_ : nullptr, code, wParam, lParam);
}

void ModalResponder::OnActivate(HWND window) {
    if (!IsDialogWindow(window) || handled_.count(window)) return;
    handled_.insert(window);
    Seen seen;
    seen.caption = WindowText(window);
    seen.text = DialogItemText(window, 0xFFFF);
    HWND iconControl = GetDlgItem(window, 0x0440);  // a message box's icon
    if (iconControl) {
        HICON icon = reinterpret_cast<HICON>(SendMessageA(iconControl, STM_GETICON, 0, 0));
        if (icon == LoadIconA(nullptr, IDI_QUESTION)) seen.icon = MB_ICONQUESTION;
        if (icon == LoadIconA(nullptr, IDI_WARNING)) seen.icon = MB_ICONWARNING;
    }
    if (actions_.empty()) {
        seen.unexpected = true;
        seen_.push_back(seen);
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    seen_.push_back(seen);
    Action action = std::move(actions_.front());
    actions_.pop_front();
    action(window);
}
