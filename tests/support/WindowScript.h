#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// In a namespace of their own so they sit beside other suites' helpers.
namespace wscript {

// Pumps this thread's messages until the condition holds or the time is up;
// returns the condition's last value. Never sleeps blindly.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

// Drives modal windows (DialogBoxParam, PropertySheet) of this thread from a
// thread timer, which keeps firing inside any modal loop. Each step waits for
// its condition, then acts; a WM_TIMER is only taken when no posted message is
// pending, so whatever one step posted has been handled before the next step
// looks. When the deadline passes, the script gives up: it records the step,
// ends every "Exit Setup" dialog and destroys the thread's other dialogs, so
// the modal call returns and the test can fail instead of hanging.
class WindowScript {
public:
    WindowScript& Then(std::string description, std::function<bool()> ready, std::function<void()> act);
    WindowScript& Do(std::string description, std::function<void()> act);

    void Start(DWORD timeoutMs = 10000);
    void Stop();
    ~WindowScript() { Stop(); }

    bool Finished() const { return next_ == steps_.size(); }
    // Empty when every step ran; otherwise the step that timed out.
    std::string Failure() const { return failure_; }

private:
    struct Step {
        std::string description;
        std::function<bool()> ready;
        std::function<void()> act;
    };
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Advance();
    void GiveUp();

    std::vector<Step> steps_;
    size_t next_ = 0;
    UINT_PTR timer_ = 0;
    DWORD deadline_ = 0;
    std::string failure_;
    bool running_ = false;
};

// The visible top-level dialog of this thread with that caption, or null.
HWND FindThreadDialog(const char* caption);
std::string WindowText(HWND window);

}  // namespace wscript
