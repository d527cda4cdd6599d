#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/ComposedText.h"
#include "shell/FolderComponents.h"
#include "shell/ReadmeTitle.h"

namespace {

std::string Title(const char* readme) {
    const char* start = nullptr;
    size_t length = ReadmeTitleFromFile(readme, &start);
    return std::string(start, length);
}

TEST(ReadmeTitle, DropsDirectoryAndOnlyTheLastExtension) {
    EXPECT_EQ(Title("ReadMe.txt"), "ReadMe");
    EXPECT_EQ(Title("doc\\notes.final.htm"), "notes.final");
    EXPECT_EQ(Title("doc\\sub\\README"), "README");
    EXPECT_EQ(Title("doc/sub/ReadMe.txt"), "ReadMe");
    EXPECT_EQ(Title("my.docs\\README"), "README");  // a dot in the directory is not an extension
    EXPECT_EQ(Title(".profile"), "");
    EXPECT_EQ(Title("dir\\"), "");
}

std::vector<std::string> Levels(const char* folder, std::vector<bool>* lastFlags = nullptr) {
    std::vector<std::string> levels;
    FolderComponents walker(folder);
    const char* start;
    size_t length;
    bool isLast;
    while (walker.Next(&start, &length, &isLast)) {
        levels.emplace_back(start, length);
        if (lastFlags) lastFlags->push_back(isLast);
    }
    return levels;
}

TEST(FolderComponents, SeparatorRunsNeverMakeEmptyLevels) {
    std::vector<bool> last;
    EXPECT_EQ(Levels("\\\\Games\\\\\\Adventures\\", &last), (std::vector<std::string>{"Games", "Adventures"}));
    EXPECT_EQ(last, (std::vector<bool>{false, true}));
    EXPECT_EQ(Levels("Varnplay"), std::vector<std::string>{"Varnplay"});
    EXPECT_TRUE(Levels("").empty());
    EXPECT_TRUE(Levels("\\\\\\").empty());
    EXPECT_TRUE(Levels(nullptr).empty());
}

TEST(FolderComponents, OnlyTheFinalLevelIsLast) {
    std::vector<bool> last;
    EXPECT_EQ(Levels("A\\B\\C", &last).size(), 3u);
    EXPECT_EQ(last, (std::vector<bool>{false, false, true}));
}

TEST(ComposedText, JoinedPathAddsOneBackslashOnlyWhenMissing) {
    EXPECT_STREQ(JoinedPath("C:\\Dir", "a.exe").Get(), "C:\\Dir\\a.exe");
    EXPECT_STREQ(JoinedPath("C:\\Dir\\", "a.exe").Get(), "C:\\Dir\\a.exe");
    EXPECT_STREQ(JoinedPath("", "a.exe").Get(), "\\a.exe");
    std::string longDir(600, 'd');  // no fixed buffer: nothing is cut
    EXPECT_EQ(JoinedPath(longDir.c_str(), "x").Length(), 602u);
}

TEST(ComposedText, CommandStringsQuoteTheJoinedPath) {
    EXPECT_STREQ(CommandString("C:\\Program Files\\Varnplay", "vplay2.exe", kOpenCommandTail).Get(),
                 "\"C:\\Program Files\\Varnplay\\vplay2.exe\" \"%1\"");
    EXPECT_STREQ(CommandString("C:\\Games\\", "devi.exe", kRestoreCommandTail).Get(),
                 "\"C:\\Games\\devi.exe\" -r \"%1\"");
}

TEST(ComposedText, ConcatenationKeepsEveryPieceAsIs) {
    EXPECT_STREQ(Concatenated("C:\\Games\\", "\\vplay2.exe,1").Get(), "C:\\Games\\\\vplay2.exe,1");
    EXPECT_STREQ(Concatenated("a", nullptr, "c", "d").Get(), "acd");
}

}  // namespace
