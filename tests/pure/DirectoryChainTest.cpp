#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/DirectoryChain.h"
#include "install/ExtractArchive.h"
#include "install/ExtractMessages.h"

namespace {

void Collect(void* context, const char* level) { static_cast<std::vector<std::string>*>(context)->push_back(level); }

std::vector<std::string> LevelsOf(const char* path) {
    std::vector<std::string> levels;
    EXPECT_TRUE(ForEachDirectoryLevel(path, Collect, &levels));
    return levels;
}

TEST(DirectoryChain, ParentsFirstWithoutTheBareDrive) {
    EXPECT_EQ(LevelsOf("C:\\Program Files\\Varnplay"),
              (std::vector<std::string>{"C:\\Program Files", "C:\\Program Files\\Varnplay"}));
}

TEST(DirectoryChain, ForwardSlashesSeparateAndSeparatorRunsAddNothing) {
    EXPECT_EQ(LevelsOf("C:/Games//Devi\\"), (std::vector<std::string>{"C:/Games", "C:/Games//Devi"}));
}

TEST(DirectoryChain, UncServerAndShareAreNotLevels) {
    EXPECT_EQ(LevelsOf("\\\\server\\share\\apps\\x"),
              (std::vector<std::string>{"\\\\server\\share\\apps", "\\\\server\\share\\apps\\x"}));
    EXPECT_TRUE(LevelsOf("\\\\server\\share").empty());
}

TEST(DirectoryChain, RootRelativeAndRelativePaths) {
    EXPECT_EQ(LevelsOf("\\Apps\\V"), (std::vector<std::string>{"\\Apps", "\\Apps\\V"}));
    EXPECT_EQ(LevelsOf("V"), (std::vector<std::string>{"V"}));
    EXPECT_TRUE(LevelsOf("").empty());
    EXPECT_TRUE(LevelsOf("D:").empty());
}

TEST(DirectoryChain, OverlongPathIsRefused) {
    std::string path = "C:\\" + std::string(257, 'a');  // 260 characters
    std::vector<std::string> levels;
    EXPECT_FALSE(ForEachDirectoryLevel(path.c_str(), Collect, &levels));
    EXPECT_TRUE(levels.empty());
    path.pop_back();
    EXPECT_TRUE(ForEachDirectoryLevel(path.c_str(), Collect, &levels));
    EXPECT_EQ(levels.size(), 1u);
}

TEST(ExtractMessages, UnknownCodesGetTheGeneralMessage) {
    EXPECT_STREQ(ExtractFailureMessage(4), "An error occurred copying files to your system.");
    EXPECT_STREQ(ExtractFailureMessage(5), ExtractFailureMessage(4));
    EXPECT_STREQ(ExtractFailureMessage(99), ExtractFailureMessage(4));
    EXPECT_STREQ(ExtractFailureMessage(3), ExtractFailureMessage(2));
    EXPECT_STREQ(ExtractFailureMessage(6), ExtractFailureMessage(2));
    EXPECT_STRNE(ExtractFailureMessage(1), ExtractFailureMessage(2));
    // A link is no disk problem: the user is told what to remove.
    EXPECT_STREQ(ExtractFailureMessage(ExtractLinkRefused),
                 "Setup found a link to another folder where it was to install files, and did not write through "
                 "it.  Remove the link, then run Setup again.");
}

}  // namespace
