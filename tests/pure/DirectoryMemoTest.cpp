#include <gtest/gtest.h>

#include <string>

#include "install/DirectoryMemo.h"

TEST(DirectoryMemo, CoversTheDirectoryAndItsParentsOnly) {
    DirectoryMemo memo;
    EXPECT_FALSE(memo.Covers("C:\\Dest"));
    memo.Remember("C:\\Dest\\data\\set01");
    EXPECT_TRUE(memo.Covers("C:\\Dest\\data\\set01"));
    EXPECT_TRUE(memo.Covers("C:\\Dest\\data"));
    EXPECT_TRUE(memo.Covers("C:\\Dest"));
    EXPECT_FALSE(memo.Covers("C:\\Dest\\dat"));               // not at a separator
    EXPECT_FALSE(memo.Covers("C:\\Dest\\data\\set0"));
    EXPECT_FALSE(memo.Covers("C:\\Dest\\data\\set01\\sub"));  // deeper: not handled yet
    EXPECT_FALSE(memo.Covers("C:\\Dest\\DATA"));              // another spelling is asked again
    EXPECT_FALSE(memo.Covers(""));
}

TEST(DirectoryMemo, ANewBranchReplacesTheOldOne) {
    DirectoryMemo memo;
    memo.Remember("D\\a\\b");
    memo.Remember("D\\a\\c");
    EXPECT_TRUE(memo.Covers("D\\a"));
    EXPECT_TRUE(memo.Covers("D\\a\\c"));
    EXPECT_FALSE(memo.Covers("D\\a\\b"));
}

TEST(DirectoryMemo, APathTooLongToKeepIsForgotten) {
    DirectoryMemo memo;
    memo.Remember("D\\a");
    std::string longPath = "D\\" + std::string(300, 'x');
    memo.Remember(longPath.c_str());
    EXPECT_FALSE(memo.Covers("D\\a"));
    EXPECT_FALSE(memo.Covers(longPath.c_str()));
    std::string fits = "D\\" + std::string(257, 'y');  // 259 characters: the most a path holds
    memo.Remember(fits.c_str());
    EXPECT_TRUE(memo.Covers(fits.c_str()));
}
