#pragma once
#include "ui/Dialog.h"

// "Exit Setup" (dialog 113): only its two buttons close it.
class ExitConfirmDialog : public Dialog {
public:
    BOOL InitialFocus(WPARAM proposedFocus) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
};
