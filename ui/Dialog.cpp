#include "ui/Dialog.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int kInitialControlCapacity = 10;
constexpr int kRegistryGrowth = 5;

struct DialogRegistry {
    Dialog** entries = nullptr;
    int count = 0;
    int capacity = 0;
};
DialogRegistry registry;

void* CheckedAlloc(size_t bytes) {
    void* block = std::malloc(bytes);
    if (!block) std::abort();  // small allocations are assumed to succeed
    return block;
}

}  // namespace

void RegisterDialog(Dialog* dialog) {
    if (registry.count == registry.capacity) {
        int grown = registry.capacity + kRegistryGrowth;
        Dialog** entries = static_cast<Dialog**>(CheckedAlloc(sizeof(Dialog*) * grown));
        if (registry.count) std::memcpy(entries, registry.entries, sizeof(Dialog*) * registry.count);
        std::free(registry.entries);
        registry.entries = entries;
        registry.capacity = grown;
    }
    registry.entries[registry.count++] = dialog;
}

void UnregisterDialog(Dialog* dialog) {
    for (int i = 0; i < registry.count; ++i) {
        if (registry.entries[i] != dialog) continue;
        std::memmove(registry.entries + i, registry.entries + i + 1, sizeof(Dialog*) * (registry.count - i - 1));
        if (--registry.count == 0) {
            std::free(registry.entries);
            registry.entries = nullptr;
            registry.capacity = 0;
        }
        return;
    }
}

Dialog* FindDialog(HWND window) {
    for (int i = 0; i < registry.count; ++i) {
        if (registry.entries[i]->window == window) return registry.entries[i];
    }
    return nullptr;
}

int DialogRegistryCount() { return registry.count; }
int DialogRegistryCapacity() { return registry.capacity; }

Dialog* DialogRegistryAt(int index) {
    return index >= 0 && index < registry.count ? registry.entries[index] : nullptr;
}

void CenterWindowOnDesktop(HWND window) {
    RECT desktop, own;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(window, &own);
    int width = own.right - own.left, height = own.bottom - own.top;
    int x = desktop.left + (desktop.right - desktop.left - width) / 2;
    int y = desktop.top + (desktop.bottom - desktop.top - height) / 2;
    MoveWindow(window, x, y, width, height, TRUE);
}

static bool IsEnabledOwnedBy(HWND candidate, HWND owner) {
    return GetWindow(candidate, GW_OWNER) == owner && IsWindowEnabled(candidate);
}

DisabledWindows* DisableOwnedWindows(HWND owner, BOOL disableOwner) {
    int found = 0;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (IsEnabledOwnedBy(w, owner)) ++found;
    }
    size_t bytes = sizeof(DisabledWindows) + sizeof(HWND) * (found > 0 ? found - 1 : 0);
    DisabledWindows* record = static_cast<DisabledWindows*>(CheckedAlloc(bytes));
    record->count = 0;
    record->owner = nullptr;
    // The second walk may see fewer windows; it never records more than counted.
    for (HWND w = GetTopWindow(nullptr); w && record->count < found; w = GetWindow(w, GW_HWNDNEXT)) {
        if (!IsEnabledOwnedBy(w, owner)) continue;
        record->windows[record->count++] = w;
        EnableWindow(w, FALSE);
    }
    if (disableOwner && IsWindowEnabled(owner)) {
        record->owner = owner;
        EnableWindow(owner, FALSE);
    }
    return record;
}

void EnableOwnedWindows(DisabledWindows* record) {
    if (!record) return;
    for (int i = record->count - 1; i >= 0; --i) EnableWindow(record->windows[i], TRUE);
    if (record->owner) EnableWindow(record->owner, TRUE);
    std::free(record);
}

Dialog::Dialog()
    : controlCount(0),
      controlCapacity(kInitialControlCapacity),
      controls(static_cast<DialogControl**>(CheckedAlloc(sizeof(DialogControl*) * kInitialControlCapacity))) {}

Dialog::~Dialog() {
    UnregisterDialog(this);
    for (int i = 0; i < controlCount; ++i) delete controls[i];
    std::free(controls);
}

void Dialog::AttachControl(DialogControl* control) {
    if (controlCount == controlCapacity) {
        int grown = controlCapacity + kInitialControlCapacity;
        DialogControl** bigger = static_cast<DialogControl**>(CheckedAlloc(sizeof(DialogControl*) * grown));
        std::memcpy(bigger, controls, sizeof(DialogControl*) * controlCount);
        std::free(controls);
        controls = bigger;
        controlCapacity = grown;
    }
    controls[controlCount++] = control;
}

void Dialog::OnInitDialog() { CenterOnDesktop(); }

BOOL Dialog::InitialFocus(WPARAM) { return TRUE; }

void Dialog::OnDestroy() { UnregisterDialog(this); }

BOOL Dialog::OnDrawItem(int, DRAWITEMSTRUCT* item) {
    for (int i = 0; i < controlCount; ++i) {
        if (controls[i]->window == item->hwndItem) {
            controls[i]->Draw(item);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL Dialog::OnDeleteItem(int, DELETEITEMSTRUCT*) { return FALSE; }

int Dialog::OnCompareItem(int, COMPAREITEMSTRUCT*) { return 0; }

BOOL Dialog::OnCommand(WPARAM wParam, LPARAM) {
    HWND item = GetDlgItem(window, static_cast<int>(wParam));
    for (int i = 0; item && i < controlCount; ++i) {
        if (controls[i]->window == item) {
            controls[i]->Command();
            return TRUE;
        }
    }
    if (wParam == IDOK || wParam == IDCANCEL) {
        EndDialog(window, static_cast<INT_PTR>(wParam));
        return TRUE;
    }
    return FALSE;
}

BOOL Dialog::OnNotify(NMHDR*, WPARAM) { return FALSE; }

INT_PTR Dialog::DialogProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            return InitialFocus(wParam);
        case WM_COMMAND: return OnCommand(wParam, lParam);
        case WM_NOTIFY: return OnNotify(reinterpret_cast<NMHDR*>(lParam), wParam);
        case WM_DRAWITEM: return OnDrawItem(static_cast<int>(wParam), reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        case WM_DELETEITEM:
            return OnDeleteItem(static_cast<int>(wParam), reinterpret_cast<DELETEITEMSTRUCT*>(lParam));
        case WM_COMPAREITEM:
            return OnCompareItem(static_cast<int>(wParam), reinterpret_cast<COMPAREITEMSTRUCT*>(lParam));
        case WM_DESTROY: OnDestroy(); return TRUE;
        default: return FALSE;
    }
}

INT_PTR CALLBACK Dialog::SharedDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        Dialog* dialog = reinterpret_cast<Dialog*>(lParam);
        dialog->window = window;
        RegisterDialog(dialog);
        return dialog->DialogProc(window, message, wParam, lParam);
    }
    Dialog* dialog = FindDialog(window);
    return dialog ? dialog->DialogProc(window, message, wParam, lParam) : FALSE;
}

INT_PTR Dialog::RunModal(int resourceId, HWND owner, HINSTANCE instance) {
    DisabledWindows* disabled = owner ? DisableOwnedWindows(owner, FALSE) : nullptr;
    INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(resourceId), owner, SharedDialogProc,
                                     reinterpret_cast<LPARAM>(this));
    if (owner) EnableOwnedWindows(disabled);
    return result;
}

void Dialog::CenterOnDesktop() { CenterWindowOnDesktop(window); }
