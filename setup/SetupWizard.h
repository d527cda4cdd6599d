#pragma once
#include <windows.h>

#include "setup/SetupConfig.h"

// Builds the settings and pages, runs the property sheet and tears it all
// down; true when the installation ran to its end and Finish was pressed.
bool RunSetupWizard(HINSTANCE instance, const SetupConfig& config);
