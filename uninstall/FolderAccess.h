#pragma once
// Whether an ordinary user could change a folder: rename or replace it,
// rename what it holds, or give themselves that right. Read from the
// folder's owner and access list; only administrators, the system and the
// installer service may hold those rights for the answer to be no.
bool UsersCanChangeFolder(const char* folder);
