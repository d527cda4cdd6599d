#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "setup/PathHelpers.h"
#include "shell/FinalPath.h"
#include "setup/SetupString.h"

namespace {

TEST(JoinPath, AddsOneBackslashOnlyWhenMissing) {
    char out[kPathBufferSize];
    ASSERT_TRUE(JoinPath(out, sizeof out, "C:\\Dir", "file.txt"));
    EXPECT_STREQ(out, "C:\\Dir\\file.txt");
    ASSERT_TRUE(JoinPath(out, sizeof out, "C:\\Dir\\", "file.txt"));
    EXPECT_STREQ(out, "C:\\Dir\\file.txt");
    ASSERT_TRUE(JoinPath(out, sizeof out, "", "file.txt"));
    EXPECT_STREQ(out, "\\file.txt");
}

TEST(JoinPath, RefusesWhatDoesNotFitAndNeverOverruns) {
    char out[16];
    EXPECT_TRUE(JoinPath(out, 10, "abcd", "efgh"));  // 9 characters and the NUL
    EXPECT_STREQ(out, "abcd\\efgh");
    std::memset(out, 'Z', sizeof out);
    EXPECT_FALSE(JoinPath(out, 9, "abcd", "efgh"));
    EXPECT_STREQ(out, "");
    EXPECT_EQ(out[9], 'Z');
}

TEST(EnsureTrailingBackslash, AppendsOnceAndReturnsLength) {
    char text[kPathBufferSize] = "C:\\Windows";
    EXPECT_EQ(EnsureTrailingBackslash(text, sizeof text), 11u);
    EXPECT_STREQ(text, "C:\\Windows\\");
    EXPECT_EQ(EnsureTrailingBackslash(text, sizeof text), 11u);
    char empty[4] = "";
    EXPECT_EQ(EnsureTrailingBackslash(empty, sizeof empty), 1u);
    EXPECT_STREQ(empty, "\\");
    char full[4] = "abc";
    EXPECT_EQ(EnsureTrailingBackslash(full, sizeof full), 3u);
    EXPECT_STREQ(full, "abc");
}

TEST(HexDigit, UsesLowFourBitsAndCapitals) {
    EXPECT_EQ(HexDigit(0), '0');
    EXPECT_EQ(HexDigit(9), '9');
    EXPECT_EQ(HexDigit(10), 'A');
    EXPECT_EQ(HexDigit(15), 'F');
    EXPECT_EQ(HexDigit(0x7FFF >> 12), '7');
    EXPECT_EQ(HexDigit(0x1234), '4');
}

TEST(CopyAndAppendText, CutAtBufferSizeAndReportIt) {
    char out[8];
    EXPECT_FALSE(CopyText(out, sizeof out, "0123456789"));
    EXPECT_STREQ(out, "0123456");
    EXPECT_TRUE(CopyText(out, sizeof out, "012"));
    EXPECT_TRUE(AppendText(out, sizeof out, "3456"));
    EXPECT_FALSE(AppendText(out, sizeof out, "7"));
    EXPECT_STREQ(out, "0123456");
}

TEST(CompareNoCase, FoldsOnlyAsciiLetters) {
    EXPECT_TRUE(EqualsNoCase("C:\\Program Files\\", "c:\\PROGRAM FILES\\"));
    EXPECT_FALSE(EqualsNoCase("\xC4", "\xE4"));
    EXPECT_LT(CompareNoCase("alpha", "Beta"), 0);
    EXPECT_EQ(CompareNoCaseN("abcX", "ABCy", 3), 0);
}

TEST(SetupString, AbsentAndEmptyReadAlike) {
    SetupString text;
    EXPECT_FALSE(text.IsSet());
    EXPECT_STREQ(text.Get(), "");
    EXPECT_TRUE(text.IsEmpty());
    text.Assign(nullptr);
    EXPECT_TRUE(text.IsSet());
    EXPECT_EQ(text.Capacity(), 1u);
}

TEST(SetupString, AssignReusesCapacityOrAllocatesExactly) {
    SetupString text("Varnplay");
    EXPECT_EQ(text.Capacity(), 9u);
    text.Assign("Var");
    EXPECT_EQ(text.Capacity(), 9u);
    EXPECT_STREQ(text.Get(), "Var");
    text.Assign("A longer name");
    EXPECT_EQ(text.Capacity(), 14u);
    text.Append(" Setup");
    EXPECT_STREQ(text.Get(), "A longer name Setup");
    EXPECT_EQ(text.Capacity(), 20u);
}

TEST(SetupString, CopiesAreIndependent) {
    SetupString a("one");
    SetupString b(a);
    b.Append("two");
    a = b;
    a.Assign(a.Get());
    EXPECT_STREQ(a.Get(), "onetwo");
    SetupString unset;
    unset.Append("x");
    EXPECT_STREQ(unset.Get(), "x");
}

}  // namespace

// What a handle must reach when nothing below the trusted folder is a link,
// and how Windows' answer is compared with it.
TEST(FinalPath, ExpectedPathFollowsTheTrustedFolderAndComparesAsWindowsDoes) {
    struct Case {
        const char* folder;
        const char* folderFinal;
        const char* path;
        const char* expected;
    } cases[] = {
        {"C:\\Games", "\\\\?\\C:\\Games", "C:\\Games\\doc\\intro.htm", "C:\\Games\\doc\\intro.htm"},
        {"C:\\Games\\", "C:\\Games", "C:\\Games\\a.txt", "C:\\Games\\a.txt"},
        {"C:\\Games", "C:\\Games", "C:\\Games", "C:\\Games"},
        {"C:\\Games", "C:\\Games", "C:\\GAMES\\a.txt", "C:\\Games\\a.txt"},  // letter case as typed
        // A legitimate link above the trusted folder is taken as it resolves.
        {"C:\\Docs", "\\\\?\\D:\\Users\\u\\Documents", "C:\\Docs\\Saves\\slot1.sav",
         "D:\\Users\\u\\Documents\\Saves\\slot1.sav"},
        {"C:\\", "\\\\?\\C:\\", "C:\\x.txt", "C:\\x.txt"},
        {"\\\\srv\\share\\g", "\\\\?\\UNC\\srv\\share\\g", "\\\\srv\\share\\g\\a", "\\\\srv\\share\\g\\a"},
        {"C:\\Games", "C:\\Games", "C:\\Gamesx\\a.txt", ""},  // not in the folder
        {"C:\\Games", "C:\\Games", "C:\\Gam", ""},
        {"", "C:\\", "C:\\x", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExpectedFinalPath(c.folder, c.folderFinal, c.path), c.expected) << c.folder << " " << c.path;

    EXPECT_TRUE(SameFinalPath("\\\\?\\C:\\Program Files\\Varnplay\\", "c:\\program files\\VARNPLAY"));
    EXPECT_TRUE(SameFinalPath("\\\\?\\UNC\\srv\\share\\x", "\\\\srv\\share\\x"));
    // A link on the way shows as another path.
    EXPECT_FALSE(SameFinalPath("\\\\?\\C:\\ProgramData\\OtherApp\\intro.htm", "C:\\Games\\doc\\varnplay\\intro.htm"));
    EXPECT_FALSE(SameFinalPath("C:\\Games\\a", "C:\\Games\\a\\b"));
    EXPECT_EQ(PlainFinalPath("C:\\x"), "C:\\x");
}
