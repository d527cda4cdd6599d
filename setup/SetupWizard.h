#pragma once
#include <windows.h>

#include "setup/SetupConfig.h"

enum WizardResult {
    WizardNotFinished,       // closed before the installation ended, or a SETUP.DAT value refused
    WizardFinished,          // the installation ran to its end and Finish was pressed
    WizardDirectoryRefused,  // quiet: the directory failed the destination check; nothing written
};

// Builds the settings and pages, runs the property sheet and tears it all down.
WizardResult RunSetupWizard(HINSTANCE instance, const SetupConfig& config);
