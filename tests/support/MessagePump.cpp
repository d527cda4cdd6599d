#include "support/MessagePump.h"

#include <prsht.h>

namespace {

HWND pumpSheet = nullptr;

void DispatchQueued() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (pumpSheet && IsWindow(pumpSheet) &&
            SendMessageA(pumpSheet, PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(&message)))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

void SetPumpSheet(HWND sheet) { pumpSheet = sheet; }

void PumpPending(DWORD maxMilliseconds) {
    const DWORD quietMilliseconds = 30;
    DWORD start = GetTickCount();
    for (;;) {
        DispatchQueued();
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= maxMilliseconds) return;
        DWORD wait = maxMilliseconds - elapsed < quietMilliseconds ? maxMilliseconds - elapsed : quietMilliseconds;
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT) == WAIT_TIMEOUT) return;
    }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD maxMilliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        DispatchQueued();
        if (condition()) return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= maxMilliseconds) return false;
        DWORD wait = maxMilliseconds - elapsed < 50 ? maxMilliseconds - elapsed : 50;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
    }
}
