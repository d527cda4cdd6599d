#pragma once
#include <string>

#include "SetReport.h"

// Reads the installation set in folder as the setup would and reports what
// it would ignore, refuse or miss: SETUP.DAT's lines and values, the files
// the set must hold, the archive's members and damage, and the programs and
// readme that its shortcuts name.
void CheckSet(const std::string& folder, SetReport& report);
