#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "folderchooser/FolderChain.h"
#include "install/DirectoryChain.h"
#include "install/MemberPlacement.h"
#include "pure/NameCharsSupport.h"
#include "setup/DestinationCheck.h"
#include "setup/NameRules.h"
#include "setup/PathHelpers.h"
#include "shell/FolderComponents.h"
#include "shell/ReadmeTitle.h"
#include "uninstall/RemovalScope.h"

namespace {

// Real characters whose second byte is an ASCII symbol or letter.
#define SO "\x83\x5C"           // ソ in 932
#define PO "\x83\x7C"           // ポ in 932
#define HYO "\x95\x5C"          // 表 in 932
#define A_KATA "\x83\x41"       // ア in 932
#define DI_KATA "\x83\x61"      // ヂ in 932: ア with its trail byte folded
#define JOU_GBK "\x81\x5C"      // 乗 in 936
#define UN_GBK "\xDF\x5C"       // 運 in 936
#define ISOU_GBK "\x81\x7C"     // 亅 in 936
#define KOU_BIG5 "\xA5\x5C"     // 功 in 950
#define KYO_BIG5 "\xB3\x5C"     // 許 in 950
#define GAK_UHC "\x81\x41"      // 갂 in 949
#define GAT_UHC "\x81\x61"      // 갵 in 949

// Only the drive's root exists.
class RootOnlyProbe : public PathProbe {
public:
    bool Exists(const char* path, bool* isDirectory) override {
        *isDirectory = true;
        return std::string(path) == "C:\\";
    }
};

std::vector<std::string> Characters(const char* text) {
    std::vector<std::string> characters;
    for (const char* at = text; *at;) {
        const char* next = NextChar(at);
        characters.emplace_back(at, next);
        at = next;
    }
    return characters;
}

TEST(NameChars, StepsOverDoubleByteCharactersOfEachPage) {
    struct Case {
        unsigned codePage;
        const char* text;
        std::vector<std::string> characters;
    } cases[] = {
        {932, "C:\\" SO PO "\\" HYO, {"C", ":", "\\", SO, PO, "\\", HYO}},
        {936, UN_GBK "|" ISOU_GBK, {UN_GBK, "|", ISOU_GBK}},
        {950, KOU_BIG5 "\\" KYO_BIG5, {KOU_BIG5, "\\", KYO_BIG5}},
        {949, GAK_UHC "a", {GAK_UHC, "a"}},
        {1252, "Caf\xE9\\" SO, {"C", "a", "f", "\xE9", "\\", "\x83", "\\"}},
        {kCodePageUtf8, "Caf\xC3\xA9\\\xD0\x98", {"C", "a", "f", "\xC3\xA9", "\\", "\xD0\x98"}},
        // A lead byte at the end, or before a byte that cannot follow it,
        // stands alone; a broken sequence ends where it breaks.
        {932, "a\x83", {"a", "\x83"}},
        {932, "\x83/..", {"\x83", "/", ".", "."}},
        {949, "\x81\\x", {"\x81", "\\", "x"}},
        {kCodePageUtf8, "\xE2\x82" "a", {"\xE2\x82", "a"}},
    };
    for (const Case& c : cases) {
        ScopedNameCodePage page(c.codePage);
        EXPECT_EQ(Characters(c.text), c.characters) << c.codePage << " " << c.text;
    }
}

TEST(NameChars, TrailBytesAreNeitherFoundNorFolded) {
    ScopedNameCodePage page(932);
    const char path[] = "C:\\" SO PO "\\" HYO;
    EXPECT_EQ(FindLastChar(path, '\\'), path + 7);
    EXPECT_EQ(FindChar(PO, '|'), nullptr);
    EXPECT_EQ(FindCharN(path + 3, 4, '\\'), nullptr);
    const char drive[] = "a:" SO;
    EXPECT_EQ(FindLastOf(drive, "\\/:"), drive + 1);
    EXPECT_FALSE(EndsWithChar(SO, 2, '\\'));
    EXPECT_TRUE(EndsWithChar(SO "\\", 3, '\\'));
    EXPECT_FALSE(IsCharBoundary("C:\\" SO, 4));
    EXPECT_TRUE(IsCharBoundary("C:\\" SO, 5));
    // Folded byte by byte, ア would equal ヂ.
    EXPECT_FALSE(EqualsNoCase(A_KATA, DI_KATA));
    EXPECT_TRUE(EqualsNoCase("Setup" A_KATA, "SETUP" A_KATA));
    EXPECT_FALSE(SameSetName(SO, "\x83/"));
    char folded[] = "A" A_KATA "/B";
    FoldSetName(folded);
    EXPECT_STREQ(folded, "a" A_KATA "\\b");
    ScopedNameCodePage korean(949);
    EXPECT_FALSE(EqualsNoCase(GAK_UHC, GAT_UHC));
    EXPECT_NE(CompareNoCase(GAK_UHC, GAT_UHC), 0);
}

TEST(NameChars, JoiningAndTrailingBackslashSeeOnlyWholeCharacters) {
    ScopedNameCodePage page(932);
    char out[kPathBufferSize];
    ASSERT_TRUE(JoinPath(out, sizeof out, "C:\\" SO, "x"));
    EXPECT_STREQ(out, "C:\\" SO "\\x");
    char text[kPathBufferSize] = "C:\\" HYO;
    EXPECT_EQ(EnsureTrailingBackslash(text, sizeof text), 6u);
    EXPECT_STREQ(text, "C:\\" HYO "\\");
}

TEST(NameChars, NameChecksAcceptWordsOfEveryPage) {
    struct Case {
        unsigned codePage;
        const char* name;
        NameProblem single;
    } cases[] = {
        {932, SO PO HYO, NameOk},
        {936, UN_GBK ISOU_GBK, NameOk},
        {950, KOU_BIG5 KYO_BIG5, NameOk},
        {kCodePageUtf8, "\xD0\x98\xD0\xB3\xD1\x80\xD0\xB0", NameOk},  // Игра
        // The same bytes in a Western page really hold \ and |.
        {1252, SO, NameSeparator},
        {1252, PO, NameForbiddenCharacter},
        // Superscript one makes a device in the page where it is one character.
        {1252, "COM\xB9", NameDevice},
        {kCodePageUtf8, "com\xC2\xB9.txt", NameDevice},
        {932, "COM\xB9", NameOk},  // a half-width katakana there
        {932, "a" SO ".", NameDotsOrTrailingBlank},
    };
    for (const Case& c : cases) {
        ScopedNameCodePage page(c.codePage);
        EXPECT_EQ(CheckSingleName(c.name), c.single) << c.codePage << " " << c.name;
        std::string path = std::string("Dir\\") + c.name;
        NameProblem inPath = c.single == NameSeparator ? NameOk : c.single;
        EXPECT_EQ(CheckFolderPath(path.c_str()), inPath) << c.codePage << " " << c.name;
    }
}

TEST(NameChars, LeadByteBeforeWhatCannotFollowItHidesNoSeparator) {
    ScopedNameCodePage page(932);
    EXPECT_EQ(CheckRelativePath("\x83/..\\x", false), NameParent);
    EXPECT_EQ(CheckSingleName("\x83/"), NameSeparator);
    EXPECT_FALSE(IsSafeMemberPath("\x83/../x"));
}

TEST(NameChars, DestinationAndChainsSplitAtRealSeparatorsOnly) {
    ScopedNameCodePage page(932);
    RootOnlyProbe probe;
    EXPECT_EQ(CheckDestination("C:\\" SO PO "\\" HYO, "C:\\Program Files", probe), DestinationOk);
    EXPECT_EQ(CheckDestination("C:\\" SO "\\", "C:\\" SO, probe), DestinationProgramFiles);

    std::vector<std::string> levels;
    ForEachDirectoryLevel("C:\\" SO "\\" HYO, [](void* context, const char* level) {
        static_cast<std::vector<std::string>*>(context)->push_back(level);
    }, &levels);
    EXPECT_EQ(levels, (std::vector<std::string>{"C:\\" SO, "C:\\" SO "\\" HYO}));

    std::vector<std::string> names;
    FolderComponents components(SO "\\" HYO PO);
    const char* start;
    size_t length;
    bool last;
    while (components.Next(&start, &length, &last)) names.emplace_back(start, length);
    EXPECT_EQ(names, (std::vector<std::string>{SO, HYO PO}));

    PathChainWalker walker("C:\\" SO);
    ChainLevel level;
    int count = 0;
    while (walker.Next(&level)) ++count;
    EXPECT_EQ(count, 2);

    const char* title = nullptr;
    size_t titleLength = ReadmeTitleFromFile("doc\\" HYO ".txt", &title);
    EXPECT_EQ(std::string(title, titleLength), HYO);
}

TEST(NameChars, UninstallScopeComparesWholeCharacters) {
    ScopedNameCodePage page(932);
    EXPECT_TRUE(IsCanonicalPath("C:\\" SO "\\" HYO));
    RemovalScope scope;
    scope.logPath = "C:\\" SO "\\UnInst0001.inf";
    EXPECT_TRUE(FileInScope(scope, "C:\\" SO "\\x.txt"));
    // "C:\\\x83" is not a parent of "C:\\ソ\\x": its byte 0x5C belongs to ソ.
    scope.logPath = "C:\\\x83\\UnInst0001.inf";
    EXPECT_FALSE(FileInScope(scope, "C:\\" SO "\\x.txt"));
}

}  // namespace
