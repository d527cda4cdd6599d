#pragma once
#include <string>

#include "SetReport.h"

// Writes the set's setup.exe to output, followed by a bundle of every other
// file of the set folder (subfolders included, names relative to it). The
// same folder gives the same bytes. Refuses with a message, leaving no
// output, what the setup could not use: first of all what `vsapack check`
// reports as errors (its findings go to report).
bool PackBundle(const std::string& setFolder, const std::string& output, SetReport& report, std::string* summary,
                std::string* error);
