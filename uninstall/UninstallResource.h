#pragma once
// Resource ids of the uninstaller.
#define IDD_UNINSTALL_PROGRESS 100
#define IDC_UNINSTALL_HEADING 1001
#define IDC_UNINSTALL_ITEM 1002
#define IDC_UNINSTALL_BAR 1003
