#include "support/WindowScript.h"

#include <cstring>

namespace wscript {

namespace {
WindowScript* activeScript = nullptr;

struct DialogSearch {
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM context) {
    DialogSearch* search = reinterpret_cast<DialogSearch*>(context);
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    if (WindowText(window) != search->caption) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK CloseDialog(HWND window, LPARAM) {
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") != 0) return TRUE;
    if (WindowText(window) == "Exit Setup") {
        EndDialog(window, 0);
    } else if (GetWindowLongPtrA(window, GWL_STYLE) & WS_POPUP) {
        DestroyWindow(window);
    }
    return TRUE;
}
}  // namespace

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!condition()) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return condition();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return true;
}

std::string WindowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

HWND FindThreadDialog(const char* caption) {
    DialogSearch search = {caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

WindowScript& WindowScript::Then(std::string description, std::function<bool()> ready, std::function<void()> act) {
    steps_.push_back({std::move(description), std::move(ready), std::move(act)});
    return *this;
}

WindowScript& WindowScript::Do(std::string description, std::function<void()> act) {
    return Then(std::move(description), [] { return true; }, std::move(act));
}

void WindowScript::Start(DWORD timeoutMs) {
    activeScript = this;
    running_ = true;
    deadline_ = GetTickCount() + timeoutMs;
    timer_ = SetTimer(nullptr, 0, 10, Tick);
}

void WindowScript::Stop() {
    if (timer_) KillTimer(nullptr, timer_);
    timer_ = 0;
    running_ = false;
    if (activeScript == this) activeScript = nullptr;
}

void CALLBACK WindowScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (activeScript && activeScript->running_) activeScript->Advance();
}

void WindowScript::Advance() {
    if (next_ < steps_.size() && steps_[next_].ready()) {
        Step& step = steps_[next_++];
        step.act();  // one step per tick: what it posted is handled before the next looks
        return;
    }
    if (next_ < steps_.size() && static_cast<LONG>(GetTickCount() - deadline_) >= 0) GiveUp();
}

void WindowScript::GiveUp() {
    failure_ = "timed out waiting for: " + steps_[next_].description;
    running_ = false;
    EnumThreadWindows(GetCurrentThreadId(), CloseDialog, 0);
}

}  // namespace wscript
