#include "setup/SetupWizard.h"

// The property sheet arrives with the wizard pages; until then nothing is
// installed and the run counts as not finished.
bool RunSetupWizard(HINSTANCE, const SetupConfig&) { return false; }
