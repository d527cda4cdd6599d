#pragma once
// The publisher's view of SETUP.DAT: the lines the setup would ignore, the
// values it would refuse. The setup's own parser and checks decide.
#include <map>
#include <string>

#include "SetReport.h"
#include "setup/SetupConfig.h"

struct SetupDatReading {
    SetupConfig config;                   // as the setup reads it
    std::map<std::string, size_t> lines;  // the line that set each key last, by the table's name

    // 0 for a key no line set (its default stands).
    size_t LineOf(const std::string& key) const;
};

// Reports on the SETUP.DAT image in data (named file in the report) and
// fills *reading.
void CheckSetupDat(const std::string& file, const std::string& data, SetupDatReading* reading, SetReport& report);

// The key of the table nearest to a mistyped one, or empty when none is near.
std::string NearestSetupDatKey(const std::string& key);
