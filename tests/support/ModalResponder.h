#pragma once
#include <windows.h>

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

// Answers the modal dialogs and message boxes that the code under test opens
// on this thread: a WH_CBT hook sees each new dialog window when it is first
// activated, records its caption and message text, and runs the next queued
// action on it (the action posts the button press). A dialog without a
// queued action is cancelled so that a test cannot hang in a modal loop.
class ModalResponder {
public:
    using Action = std::function<void(HWND dialog)>;
    struct Seen {
        std::string caption;
        std::string text;  // a message box's text (static 0xFFFF); empty otherwise
        UINT icon = 0;     // MB_ICON... guessed from the message box's icon control
        bool unexpected = false;
    };

    ModalResponder();
    ~ModalResponder();
    ModalResponder(const ModalResponder&) = delete;
    ModalResponder& operator=(const ModalResponder&) = delete;

    void Then(Action action) { actions_.push_back(std::move(action)); }
    // Windows to leave alone (the sheet itself, which is also a dialog).
    void Ignore(HWND window) { handled_.insert(window); }

    // Common actions.
    static Action Press(int buttonId);
    static Action SetTextThenPress(int controlId, std::string text, int buttonId);

    const std::vector<Seen>& seen() const { return seen_; }
    size_t pending() const { return actions_.size(); }

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    void OnActivate(HWND window);

    HHOOK hook_ = nullptr;
    std::deque<Action> actions_;
    std::set<HWND> handled_;
    std::vector<Seen> seen_;
};

std::string WindowText(HWND window);
std::string DialogItemText(HWND dialog, int controlId);
