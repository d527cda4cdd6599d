#pragma once
// The Start Menu shortcuts of each product set. Plain data, so that the
// packer can tell a publisher which programs a set's shortcuts name.

// A Start Menu shortcut: title (link name and description) and target
// relative to the program directory. Entries do not own their texts.
struct ShortcutEntry {
    const char* title;
    const char* target;
};

// The fixed table of the workbench, the version-3 set, both, or the player.
// A single game has no fixed table: its one shortcut is built at run time.
const ShortcutEntry* ProductShortcutTable(bool debugger, bool v3, int* count);
