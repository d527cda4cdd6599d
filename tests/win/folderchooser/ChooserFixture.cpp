#include "ChooserFixture.h"

#include "resource.h"

namespace {

// Counts the records the lists hand back, to see that none is left behind.
class CountingChooser : public FolderChooser {
public:
    CountingChooser(const char* label, const char* title, const char* path, int* counter)
        : FolderChooser(label, title, path, nullptr, nullptr), counter_(counter) {}
    BOOL OnDeleteItem(int controlId, DELETEITEMSTRUCT* item) override {
        if (item->itemData) ++*counter_;
        return FolderChooser::OnDeleteItem(controlId, item);
    }

private:
    int* counter_;
};

}  // namespace

OpenChooser::OpenChooser(const char* path, const char* label, const char* title) {
    chooser = new CountingChooser(label, title, path, &deletedRecords);
    window = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_FOLDER_CHOOSER), nullptr,
                                Dialog::SharedDialogProc, reinterpret_cast<LPARAM>(chooser));
}

OpenChooser::~OpenChooser() {
    if (window && IsWindow(window)) DestroyWindow(window);
    delete chooser;
}

std::vector<ListedFolder> OpenChooser::Folders() const {
    std::vector<ListedFolder> folders;
    HWND list = GetDlgItem(window, IDC_FOLDER_LIST);
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        auto* item = reinterpret_cast<FolderItem*>(SendMessageA(list, LB_GETITEMDATA, i, 0));
        HICON shown = item->onPath ? item->openIcon : item->closedIcon;
        folders.push_back({item->name.Get(), item->fullPath.Get(), item->depth, item->onPath != 0, shown != nullptr});
    }
    return folders;
}

std::vector<std::string> OpenChooser::FolderNamesAtDepth(int depth) const {
    std::vector<std::string> names;
    for (const ListedFolder& folder : Folders())
        if (folder.depth == depth) names.push_back(folder.name);
    return names;
}

int OpenChooser::SelectedFolder() const {
    return static_cast<int>(SendDlgItemMessageA(window, IDC_FOLDER_LIST, LB_GETCURSEL, 0, 0));
}

int OpenChooser::IndexOf(const std::string& fullPath) const {
    std::vector<ListedFolder> folders = Folders();
    for (size_t i = 0; i < folders.size(); ++i)
        if (folders[i].fullPath == fullPath) return static_cast<int>(i);
    return -1;
}

std::string OpenChooser::PathBox() const {
    char text[1024] = {};
    GetDlgItemTextA(window, IDC_PATH_EDIT, text, sizeof text);
    return text;
}

std::vector<DriveItem*> OpenChooser::Drives() const {
    std::vector<DriveItem*> drives;
    HWND list = GetDlgItem(window, IDC_DRIVE_LIST);
    LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        drives.push_back(reinterpret_cast<DriveItem*>(SendMessageA(list, CB_GETITEMDATA, i, 0)));
    return drives;
}

DriveItem* OpenChooser::SelectedDrive() const {
    LRESULT index = SendDlgItemMessageA(window, IDC_DRIVE_LIST, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return nullptr;
    return reinterpret_cast<DriveItem*>(SendDlgItemMessageA(window, IDC_DRIVE_LIST, CB_GETITEMDATA, index, 0));
}

void OpenChooser::Command(int id, int code) {
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

void OpenChooser::ClickFolder(int index) {
    SendDlgItemMessageA(window, IDC_FOLDER_LIST, LB_SETCURSEL, index, 0);
    Command(IDC_FOLDER_LIST, LBN_SELCHANGE);
}

void OpenChooser::DoubleClickFolder(int index) {
    ClickFolder(index);
    Command(IDC_FOLDER_LIST, LBN_DBLCLK);
}

void OpenChooser::SelectDrive(char letter) {
    std::vector<DriveItem*> drives = Drives();
    for (size_t i = 0; i < drives.size(); ++i) {
        if (drives[i]->letter != letter) continue;
        SendDlgItemMessageA(window, IDC_DRIVE_LIST, CB_SETCURSEL, i, 0);
        Command(IDC_DRIVE_LIST, CBN_SELCHANGE);
        return;
    }
}
