#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "folderchooser/FolderChain.h"

namespace {

// name|fullPath|depth for every level, in walking order.
std::vector<std::string> Chain(const char* text) {
    std::vector<std::string> levels;
    PathChainWalker walker(text);
    ChainLevel level;
    while (walker.Next(&level)) {
        std::string name(text + level.nameStart, level.nameLength);
        std::string full(text, level.fullPathLength);
        levels.push_back(name + "|" + full + "|" + std::to_string(level.depth));
        if (levels.size() > 64) break;  // a walker that never ends fails below, not here
    }
    return levels;
}

using Levels = std::vector<std::string>;

TEST(PathChain, DriveRootIsOneLevelKeepingItsBackslash) {
    EXPECT_EQ(Chain("C:\\"), Levels({"C:\\|C:\\|0"}));
}

TEST(PathChain, DeepPathGivesOneLevelPerComponent) {
    EXPECT_EQ(Chain("C:\\Program Files\\Varn\\bin"),
              Levels({"C:\\|C:\\|0", "Program Files|C:\\Program Files|1", "Varn|C:\\Program Files\\Varn|2",
                      "bin|C:\\Program Files\\Varn\\bin|3"}));
}

TEST(PathChain, OneTrailingBackslashAddsNoLevel) {
    EXPECT_EQ(Chain("D:\\Games\\Varn\\"), Chain("D:\\Games\\Varn"));
}

TEST(PathChain, DriveWithoutBackslashStaysAsTyped) {
    // The first level would take the character after it, which is the end.
    EXPECT_EQ(Chain("c:"), Levels({"c:|c:|0"}));
    EXPECT_EQ(Chain("c:x"), Levels({"c:x|c:x|0"}));
}

TEST(PathChain, RelativePathStartsWithItsFirstFolder) {
    EXPECT_EQ(Chain("Varn\\doc"), Levels({"Varn\\|Varn\\|0", "doc|Varn\\doc|1"}));
}

TEST(PathChain, LeadingBackslashIsTheFirstLevel) {
    EXPECT_EQ(Chain("\\Varn\\doc"), Levels({"\\|\\|0", "Varn|\\Varn|1", "doc|\\Varn\\doc|2"}));
}

TEST(PathChain, EmptyOrAbsentTextHasNoLevel) {
    EXPECT_TRUE(Chain("").empty());
    PathChainWalker absent(nullptr);
    ChainLevel level;
    EXPECT_FALSE(absent.Next(&level));
}

TEST(PathChain, EveryPieceStaysInsideTheText) {
    const char* texts[] = {"\\", "\\\\", "C:\\\\x", "a\\\\\\", "x", "\\\\server\\share\\dir"};
    for (const char* text : texts) {
        size_t length = std::char_traits<char>::length(text);
        PathChainWalker walker(text);
        ChainLevel level;
        int count = 0;
        while (walker.Next(&level) && count < 64) {
            EXPECT_LE(level.nameStart + level.nameLength, length) << text;
            EXPECT_LE(level.fullPathLength, length) << text;
            EXPECT_EQ(level.depth, count) << text;
            ++count;
        }
        EXPECT_GE(count, 1) << text;
        EXPECT_LE(static_cast<size_t>(count), length) << text;
    }
}

TEST(DriveLetter, UpperCasesAndNeedsTheColon) {
    EXPECT_EQ(DriveLetterOf("c:\\x"), 'C');
    EXPECT_EQ(DriveLetterOf("Z:"), 'Z');
    EXPECT_EQ(DriveLetterOf("c"), 0);
    EXPECT_EQ(DriveLetterOf(""), 0);
    EXPECT_EQ(DriveLetterOf(nullptr), 0);
    EXPECT_EQ(DriveLetterOf("\\\\server\\share"), 0);
    EXPECT_EQ(DriveLetterOf("Varn\\doc"), 0);
}

TEST(FolderOrder, ChainComesFirstThenNamesIgnoringCase) {
    EXPECT_LT(CompareFolderOrder(0, "zzz", 1, "aaa"), 0);
    EXPECT_GT(CompareFolderOrder(3, "a", 1, "z"), 0);
    EXPECT_EQ(CompareFolderOrder(2, "Games", 2, "gAMES"), 0);
    EXPECT_LT(CompareFolderOrder(2, "apple", 2, "Banana"), 0);
    EXPECT_GT(CompareFolderOrder(2, "Zeta", 2, "alpha"), 0);
    EXPECT_LT(CompareFolderOrder(2, "Doc", 2, "docs"), 0);
}

TEST(FolderOrder, OnlyAsciiLettersAreFolded) {
    // 0xC4 and 0xE4 are A and a with diaeresis in the Western code page.
    EXPECT_NE(CompareFolderOrder(1, "\xC4", 1, "\xE4"), 0);
    EXPECT_NE(CompareFolderOrder(1, "[", 1, "{"), 0);
}

TEST(DotEntries, OnlyTheTwoSpecialNames) {
    EXPECT_TRUE(IsDotEntry("."));
    EXPECT_TRUE(IsDotEntry(".."));
    EXPECT_FALSE(IsDotEntry("..."));
    EXPECT_FALSE(IsDotEntry(".git"));
    EXPECT_FALSE(IsDotEntry("a"));
}

}  // namespace
