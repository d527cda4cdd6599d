#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "setup/InstallDirectory.h"
#include "setup/PathHelpers.h"

namespace {

std::string Compose(const char* programFiles, const char* progdir, bool* fits = nullptr) {
    char out[kPathBufferSize];
    bool ok = ComposeInstallDirectory(programFiles, progdir, out, sizeof out);
    if (fits) *fits = ok;
    return out;
}

TEST(ComposeInstallDirectory, RelativeGoesBelowProgramFiles) {
    EXPECT_EQ(Compose("C:\\Program Files", "Varnplay"), "C:\\Program Files\\Varnplay");
    EXPECT_EQ(Compose("", "Varnplay"), "\\Varnplay");
    EXPECT_EQ(Compose("C:\\Program Files\\", "Games\\Varn"), "C:\\Program Files\\Games\\Varn");
    EXPECT_EQ(Compose("C:\\Program Files", ""), "C:\\Program Files\\");
}

TEST(ComposeInstallDirectory, OldProgramFilesPrefixMovesUnderTheRealOne) {
    EXPECT_EQ(Compose("D:\\Programme", "C:\\PROGRAM FILES\\Varn\\Play"), "D:\\Programme\\Varn\\Play");
    EXPECT_EQ(Compose("D:\\Programme", "c:\\program files\\"), "c:\\program files\\");  // exactly 17: absolute
    EXPECT_EQ(Compose("D:\\Programme\\", "C:\\Program files\\X"), "D:\\Programme\\X");
}

TEST(ComposeInstallDirectory, AbsoluteReplacesProgramFiles) {
    EXPECT_EQ(Compose("C:\\Program Files", "E:\\Games"), "E:\\Games");
    EXPECT_EQ(Compose("C:\\Program Files", "\\Games"), "\\Games");
    EXPECT_EQ(Compose("C:\\Program Files", "E:"), "E:");
}

TEST(ComposeInstallDirectory, TooLongIsRefusedNotCut) {
    bool fits = true;
    std::string name(250, 'v');
    EXPECT_EQ(Compose("C:\\Program Files", name.c_str(), &fits), "");
    EXPECT_FALSE(fits);
    std::string exact(259 - 17, 'w');  // "C:\Program Files\" is 17 characters
    EXPECT_EQ(Compose("C:\\Program Files", exact.c_str(), &fits).size(), 259u);
    EXPECT_TRUE(fits);
}

std::string Propose(const char* progdir, bool quiet, bool* accepted) {
    char out[kPathBufferSize];
    std::memset(out, 'Q', sizeof out);
    *accepted = ProposeInstallDirectory("D:\\Apps", progdir, quiet, out, sizeof out);
    return *accepted ? std::string(out) : std::string();
}

TEST(ProposeInstallDirectory, FittingDirectoryIsProposedInEitherMode) {
    bool accepted = false;
    EXPECT_EQ(Propose("Varn", false, &accepted), "D:\\Apps\\Varn");
    EXPECT_TRUE(accepted);
    EXPECT_EQ(Propose("E:\\Games", true, &accepted), "E:\\Games");
    EXPECT_TRUE(accepted);
}

TEST(ProposeInstallDirectory, TooLongFallsBackToProgramFilesOnlyWhenSomeoneCanChangeIt) {
    std::string relative(255, 'r');  // fits alone, not below "D:\Apps\"
    bool accepted = false;
    EXPECT_EQ(Propose(relative.c_str(), false, &accepted), "D:\\Apps\\");
    EXPECT_TRUE(accepted);
    Propose(relative.c_str(), true, &accepted);
    EXPECT_FALSE(accepted);
    std::string absolute = "E:\\" + std::string(257, 'a');  // 260 characters
    Propose(absolute.c_str(), true, &accepted);
    EXPECT_FALSE(accepted);
}

}  // namespace
