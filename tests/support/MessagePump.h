#pragma once
#include <windows.h>

#include <functional>

// Dispatches what is queued (and what the handling queues in turn) until the
// queue stays empty for a short moment or the time is up. Messages for a
// modeless property sheet go through PSM_ISDIALOGMESSAGE first.
void PumpPending(DWORD maxMilliseconds = 2000);

// Pumps until the condition holds; false when the time ran out first.
bool PumpUntil(const std::function<bool()>& condition, DWORD maxMilliseconds = 5000);

// Windows whose keyboard messages go through PSM_ISDIALOGMESSAGE.
void SetPumpSheet(HWND sheet);
