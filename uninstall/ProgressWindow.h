#pragma once
#include <windows.h>

#include <cstddef>

// The modeless "Uninstall" window: what is being removed and how far the
// removal has come. It has no close button; the removal is not interrupted.
class ProgressWindow {
public:
    ~ProgressWindow();
    bool Create(HINSTANCE instance, const char* appName);
    void Destroy();

    // Fits RemovalProgress: shows the item and the position, then lets the
    // window repaint.
    static void Update(void* context, size_t done, size_t total, const char* item);

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void PumpMessages();

    HWND window_ = nullptr;
};
