#include "setup/InstallSettings.h"

// The install sequence arrives with the progress page.
void InstallSettings::RunInstall(ProgressPage*, HWND) {}
