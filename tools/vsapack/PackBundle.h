#pragma once
#include <string>

// Writes the set's setup.exe to output, followed by a bundle of every other
// file of the set folder (subfolders included, names relative to it). The
// same folder gives the same bytes. Refuses with a message, leaving no
// output, what the setup could not use.
bool PackBundle(const std::string& setFolder, const std::string& output, std::string* summary, std::string* error);
