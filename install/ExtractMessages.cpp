#include "install/ExtractMessages.h"

const char kSetupNotCompletedLine[] = "An error occurred.  Setup was not completed.";

const char* ExtractFailureMessage(int extractResult) {
    switch (extractResult) {
        case 1:
            return "An error occurred reading installation files.  You should obtain a new copy of the Setup files.";
        case 2:
        case 3:
        case 6:
            return "An error occurred writing to your hard disk.  You may be running low on space.  You might want "
                   "to delete some files you are no longer using, then run Setup again.";
        case 7:
            return "Setup was unable to install a file onto your disk, because the file is being used by a running "
                   "application. Please close all other applications first, then run Setup again.";
        case 8:
            return "Setup found a link to another folder where it was to install files, and did not write "
                   "through it.  Remove the link, then run Setup again.";
        case 9:
            return "A file of the installation has a name that this version of Windows cannot use.  It needs Windows "
                   "10 version 1903 or later, or a system code page that has the name's characters.  Setup was not "
                   "completed.  The file:";
        default:
            return "An error occurred copying files to your system.";
    }
}
