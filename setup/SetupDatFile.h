#pragma once
#include "setup/SetupConfig.h"

// Reads SETUP.DAT (or another name) from the bundle, else from the current
// directory, into config.
// Any failure leaves config as it was.
void ReadSetupDatFile(const char* fileName, SetupConfig& config);
