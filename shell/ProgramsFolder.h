#pragma once

// The current user's Programs folder of the Start Menu, into a buffer of at
// least 260 characters; left empty when the shell cannot tell.
void GetProgramsFolder(char* path);
