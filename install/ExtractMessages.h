#pragma once

// What the user is told when the archive could not be expanded, by result code.
const char* ExtractFailureMessage(int extractResult);

extern const char kSetupNotCompletedLine[];
