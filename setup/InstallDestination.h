#pragma once
#include "setup/DestinationCheck.h"

// The destination check against this system's Program Files folder and file
// system: the one check of the program directory page and of quiet mode.
DestinationProblem CheckInstallDestination(const char* path);
