#include "shell/ShortcutTables.h"

#include <cstddef>

namespace {

const ShortcutEntry kPlayerShortcuts[] = {
    {"Varnplay Interpreter", "varnplay.exe"},
};
const ShortcutEntry kWorkbenchShortcuts[] = {
    {"VARN Workbench", "vbench.exe"},
    {"Varnplay Interpreter", "vplay2.exe"},
    {"Varnplay Documentation", "doc\\varnplay\\intro.htm"},
};
const ShortcutEntry kV3PlayerShortcuts[] = {
    {"VARN 3 Interpreter", "vplay3.exe"},
};
const ShortcutEntry kV3WorkbenchShortcuts[] = {
    {"VARN 3 Workbench", "vbench3.exe"},
    {"VARN 3 Interpreter", "vplay3.exe"},
    {"User Manuals", "doc\\index.htm"},
};

template <size_t N>
const ShortcutEntry* Table(const ShortcutEntry (&table)[N], int* count) {
    *count = static_cast<int>(N);
    return table;
}

}  // namespace

const ShortcutEntry* ProductShortcutTable(bool debugger, bool v3, int* count) {
    if (v3 && debugger) return Table(kV3WorkbenchShortcuts, count);
    if (v3) return Table(kV3PlayerShortcuts, count);
    if (debugger) return Table(kWorkbenchShortcuts, count);
    return Table(kPlayerShortcuts, count);
}
