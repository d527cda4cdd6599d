#pragma once
// Where the setup writes in the registry. The uninstaller's reach is drawn
// from the same names, so that the two cannot drift apart.
inline constexpr char kAppPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
inline constexpr char kUninstallEntriesKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline constexpr char kSettingsKey[] = "Software\\VARN\\Varnplay\\1.0\\Settings";  // under HKEY_CURRENT_USER

// The "Content Type" values the player's associations write. The uninstaller
// hands an extension's earlier value back only while it still holds ours.
inline constexpr char kContentTypeValue[] = "Content Type";
inline constexpr char kGameContentType[] = "application/x-varn";
inline constexpr char kSaveContentType[] = "application/x-varn-save";
struct ExtensionContentType {
    const char* extension;
    const char* contentType;
};
inline constexpr ExtensionContentType kContentTypesWritten[] = {{".GAM", kGameContentType},
                                                                {".SAV", kSaveContentType}};
