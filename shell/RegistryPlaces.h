#pragma once
// Where the setup writes in the registry. The uninstaller's reach is drawn
// from the same names, so that the two cannot drift apart.
inline constexpr char kAppPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
inline constexpr char kUninstallEntriesKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline constexpr char kSettingsKey[] = "Software\\VARN\\Varnplay\\1.0\\Settings";  // under HKEY_CURRENT_USER
