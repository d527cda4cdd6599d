#include <shlobj.h>

#include "ArchiveFixture.h"
#include "install/LaterWrites.h"
#include "install/OutputFile.h"
#include "install/SpecialFolder.h"
#include "setup/SetupMessages.h"
#include "shell/UninstallRecord.h"
#include "support/UnixSide.h"

using namespace archive_test;

namespace {

const std::vector<Member> kMembers = {{"readme.txt", "read me"}, {"sub/dir\\file.txt", Noise(40000, 2)}};

using ExtractOnDisk = ArchiveOnDisk;

TEST_F(ExtractOnDisk, ArchiveAppendedToAProgramIsFound) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string program = installtest::ReadWholeFile(self);
    ASSERT_GT(program.size(), 1000u);
    ASSERT_EQ(Extract(MakeArchive(kMembers, PayloadGzip, Bytes(program.begin(), program.end()))), ExtractOk);
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\readme.txt")), "read me");
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\sub\\dir\\file.txt")), Noise(40000, 2));
}

TEST_F(ExtractOnDisk, MixedSeparatorsCreateParentsFirstAndRecordEachDirectoryOnce) {
    std::vector<Member> members = kMembers;
    members.push_back({"sub\\dir\\second.txt", "2"});
    ASSERT_EQ(Extract(MakeArchive(members)), ExtractOk);
    EXPECT_EQ(directories_, (std::vector<std::string>{destination_ + "\\sub", destination_ + "\\sub\\dir",
                                                      destination_ + "\\sub", destination_ + "\\sub\\dir"}));
    EXPECT_EQ(RecordedPaths(UninstallDirectory),
              (std::vector<std::string>{destination_ + "\\sub", destination_ + "\\sub\\dir"}));
    EXPECT_EQ(RecordedPaths(UninstallFile),
              (std::vector<std::string>{destination_ + "\\readme.txt", destination_ + "\\sub\\dir\\file.txt",
                                        destination_ + "\\sub\\dir\\second.txt"}));
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\sub\\dir\\second.txt")), "2");
}

TEST_F(ExtractOnDisk, UnreadableArchivesFailBeforeAnyCallback) {
    Bytes good = MakeArchive(kMembers);
    std::vector<Bytes> bad = {Bytes(), Bytes(3, 0x13)};
    for (size_t i = 0; i < kArchiveSignatureSize; ++i) {
        bad.push_back(good);
        bad.back()[i] ^= (i == kArchiveSignatureSize - 1) ? 0x01 : 0x20;  // the last one hits the zero byte
    }
    for (size_t i = 0; i < bad.size(); ++i) {
        EXPECT_EQ(Extract(bad[i]), ExtractReadError) << i;
        EXPECT_FALSE(rangeCalled_) << i;
    }
    ExtractCallbacks callbacks = {OnRange, OnStep, OnDirectory, OnFile, nullptr};
    EXPECT_EQ(ExtractArchive(Path("missing.vsa").c_str(), destination_.c_str(), callbacks, this), ExtractReadError);
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\readme.txt")), "<missing>");
}

TEST_F(ExtractOnDisk, NoMembersSetsTheRangeAndWritesNothing) {
    ASSERT_EQ(Extract(MakeRawArchive(Bytes(), 0, 5 * 32768 + 1)), ExtractOk);
    EXPECT_EQ(range_, 5u);
    EXPECT_EQ(steps_, 0);
    EXPECT_TRUE(RecordedPaths(UninstallFile).empty());
}

TEST_F(ExtractOnDisk, MembersAtTheChunkSizeMakeOneStepAndOneByteMoreMakesTwo) {
    std::string exact = Noise(32768, 3), over = Noise(32769, 4);
    ASSERT_EQ(Extract(MakeArchive({{"exact.bin", exact}})), ExtractOk);
    EXPECT_EQ(range_, 1u + 1u);
    EXPECT_EQ(steps_, 1);
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\exact.bin")), exact);
    steps_ = 0;
    ASSERT_EQ(Extract(MakeArchive({{"over.bin", over}})), ExtractOk);
    EXPECT_EQ(range_, 1u + 1u);
    EXPECT_EQ(steps_, 2);
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\over.bin")), over);
}

TEST_F(ExtractOnDisk, EmptyMemberCreatesAnEmptyFileWithoutAStep) {
    WriteFileBytes(Path("dest\\empty.txt"), "was here");
    ASSERT_EQ(Extract(MakeArchive({{"empty.txt", ""}})), ExtractOk);
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\empty.txt")), "");
    EXPECT_EQ(steps_, 0);
}

TEST_F(ExtractOnDisk, NameLength260IsAcceptedAnd261Refused) {
    std::string prefixes;
    for (int i = 0; i < 35; ++i) prefixes += "$Keep\\";
    std::string name = prefixes + std::string(50, 'n');  // 35 * 6 + 50 = 260
    ASSERT_EQ(name.size(), 260u);
    ASSERT_EQ(Extract(MakeArchive({{name, "long"}})), ExtractOk);
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\" + std::string(50, 'n'))), "long");
    EXPECT_EQ(Extract(MakeArchive({{name + "n", "longer"}})), ExtractReadError);
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\" + std::string(51, 'n'))), "<missing>");
}

TEST_F(ExtractOnDisk, DamagedPayloadsAreReadErrors) {
    Bytes good = MakeArchive(kMembers);
    Bytes badCrc = good, badSize = good;
    badCrc[CrcPosition(good)] ^= 0x10;
    badSize[IsizePosition(good)] ^= 0x10;
    Bytes truncated = TruncatePayload(good, PayloadSize(good) - 200);
    for (const Bytes* archive : {&badCrc, &badSize, &truncated}) EXPECT_EQ(Extract(*archive), ExtractReadError);
}

TEST_F(ExtractOnDisk, StoredPayloadAndOptionalGzipFieldsExtract) {
    ASSERT_EQ(Extract(MakeArchive(kMembers, PayloadStored)), ExtractOk);
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\sub\\dir\\file.txt")), Noise(40000, 2));
    Bytes fields = {2, 0, 0, 0, 'n', 0, 'c', 0, 0xAA, 0xBB};
    Bytes withFields = WithGzipFields(MakeArchive({{"f.txt", "fields"}}), kGzipFlagExtra | kGzipFlagName |
                                                                             kGzipFlagComment | kGzipFlagHeaderCrc,
                                      fields);
    ASSERT_EQ(Extract(withFields), ExtractOk);
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\f.txt")), "fields");
    EXPECT_EQ(Extract(WithGzipFields(withFields, 0x20, {})), ExtractReadError);
}

TEST_F(ExtractOnDisk, PrefixesDecideWhatIsWrittenAndRecorded) {
    for (const char* existing : {"keep.txt", "nocreate.txt", "dironly.txt", "both.txt"})
        WriteFileBytes(Path(std::string("dest\\") + existing), "old");
    std::vector<Member> members = {
        {"$keep\\keep.txt", "new"},         {"$Keep\\keepnew.txt", "new"},       {"$NoCreate\\nocreate.txt", "new"},
        {"$NoCreate\\nocreatenew.txt", "new"}, {"$DirOnly\\only\\dironly.txt", "new"}, {"$DirOnly\\dironly.txt", "new"},
        {"$NoCreate\\$Keep\\both.txt", "new"}, {"plain.txt", "new"}};
    ASSERT_EQ(Extract(MakeArchive(members)), ExtractOk);
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\keep.txt")), "old");
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\keepnew.txt")), "new");
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\nocreate.txt")), "old");
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\nocreatenew.txt")), "<missing>");
    EXPECT_TRUE(IsDirectory(Path("dest\\only")));
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\only\\dironly.txt")), "<missing>");
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\dironly.txt")), "old");
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\both.txt")), "old");
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\plain.txt")), "new");
    EXPECT_EQ(RecordedPaths(UninstallFile),
              (std::vector<std::string>{destination_ + "\\nocreate.txt", destination_ + "\\nocreatenew.txt",
                                        destination_ + "\\plain.txt"}));
    EXPECT_EQ(RecordedPaths(UninstallDirectory), std::vector<std::string>{destination_ + "\\only"});
}

TEST_F(ExtractOnDisk, KeepSlashIsAFolderNotAPrefix) {
    ASSERT_EQ(Extract(MakeArchive({{"$Keep/readme.txt", "r"}})), ExtractOk);
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\$Keep\\readme.txt")), "r");
    EXPECT_EQ(Extract(MakeArchive({{"$Keep\\", ""}})), ExtractCreateError);
}

TEST_F(ExtractOnDisk, MyDocumentsMembersGoToTheDocumentsFolder) {
    char documents[MAX_PATH];
    ASSERT_EQ(GetSpecialFolderPath(documents, CSIDL_PERSONAL), 0);
    std::string games = documents;
    if (games.back() != '\\') games += '\\';  // Wine's folder path ends in a backslash
    games += "VsaTestGames";
    RemoveTree(games);
    ASSERT_EQ(Extract(MakeArchive({{"$MyDocuments\\$Keep\\VsaTestGames\\x.sav", "first"}})), ExtractOk);
    ASSERT_EQ(Extract(MakeArchive({{"$Keep\\$MyDocuments\\VsaTestGames\\x.sav", "second"}})), ExtractOk);
    EXPECT_EQ(installtest::ReadWholeFile(games + "\\x.sav"), "first");
    EXPECT_EQ(RecordedPaths(UninstallDirectory), std::vector<std::string>{games});
    EXPECT_TRUE(RecordedPaths(UninstallFile).empty());
    RemoveTree(games);
}

TEST_F(ExtractOnDisk, EmptyNameCannotBecomeAFile) {
    EXPECT_EQ(Extract(MakeArchive({{"", ""}})), ExtractCreateError);
    EXPECT_TRUE(IsDirectory(destination_));
}

TEST_F(ExtractOnDisk, FileWhereADirectoryMustBeIsADirectoryError) {
    WriteFileBytes(Path("dest\\sub"), "a file");
    EXPECT_EQ(Extract(MakeArchive(kMembers)), ExtractDirectoryError);
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\readme.txt")), "read me");
}

TEST_F(ExtractOnDisk, NamesReachingOutsideTheDestinationAreRefused) {
    EXPECT_EQ(Extract(MakeArchive({{"sub\\..\\..\\evil.txt", "x"}})), ExtractReadError);
    EXPECT_EQ(installtest::ReadWholeFile(Path("evil.txt")), "<missing>");
    EXPECT_FALSE(IsDirectory(Path("dest\\sub")));
}

TEST_F(ExtractOnDisk, OverlongDestinationPathIsRefusedNotCut) {
    std::string name = std::string(259 - destination_.size(), 'x');  // one over with the backslash
    EXPECT_EQ(Extract(MakeArchive({{name, "x"}})), ExtractCreateError);
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\" + name.substr(0, name.size() - 1))), "<missing>");
    name.pop_back();
    EXPECT_EQ(Extract(MakeArchive({{name, "fits"}})), ExtractOk);
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\" + name)), "fits");
}

// Another process keeps the target open without write sharing.
TEST_F(ExtractOnDisk, FileHeldOpenByAnotherProgramIsInUse) {
    std::string target = Path("dest\\readme.txt");
    WriteFileBytes(target, "running");
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string helper = self;
    helper = helper.substr(0, helper.find_last_of('\\') + 1) + "holdopen.exe";
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "vsa_test_ready");
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, "vsa_test_release");
    std::string command = "\"" + helper + "\" \"" + target + "\" vsa_test_ready vsa_test_release";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        << helper;
    HANDLE waits[2] = {ready, process.hProcess};
    DWORD woke = WaitForMultipleObjects(2, waits, FALSE, 20000);
    int result = woke == WAIT_OBJECT_0 ? Extract(MakeArchive(kMembers)) : -1;
    SetEvent(release);
    WaitForSingleObject(process.hProcess, 20000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(ready);
    CloseHandle(release);
    ASSERT_EQ(woke, WAIT_OBJECT_0) << "helper did not open the file";
    EXPECT_EQ(result, ExtractFileInUse);
    EXPECT_EQ(installtest::ReadWholeFile(target), "running");
}

// Files are closed on threads of their own; none may still be open when the
// extraction returns (the uninstall log and the uninstaller come next), and
// none may stand open in the way of a later member of the same name.
bool OpenedAlone(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

TEST_F(ExtractOnDisk, EveryFileIsClosedWhenTheExtractionReturns) {
    std::vector<Member> members;
    for (int i = 0; i < 150; ++i) members.push_back({"f" + std::to_string(i) + ".bin", Noise(i * 997 % 9000, i)});
    members.push_back({"big.bin", Noise(kWriteBlockSize * 2 + 12345, 99)});
    ASSERT_EQ(Extract(MakeArchive(members)), ExtractOk);
    for (const Member& member : members) {
        std::string path = Path("dest\\" + member.name);
        EXPECT_TRUE(OpenedAlone(path)) << member.name << " still open";
        EXPECT_TRUE(installtest::ReadWholeFile(path) == member.data) << member.name;
    }
    EXPECT_EQ(steps_, 150 - 1 + 17);  // every non-empty small member one step, big.bin 17 chunks
}

// Small members are written by the closers. One such write fails as on a
// full drive: the extraction stops within the members already handed over,
// reports the full disk, and leaves every file it made closed and recorded,
// the failed one cut after what reached it.
const char kFillsTheDrive[] = "the drive fills up here";

bool WriteHalfOfFullDrive(HANDLE file, const void* data, uint32_t length) {
    if (std::string(static_cast<const char*>(data), length) != kFillsTheDrive) {
        return WriteWhole(file, data, length);
    }
    DWORD written = 0;
    WriteFile(file, data, length / 2, &written, nullptr);
    SetLastError(ERROR_DISK_FULL);
    return false;
}

TEST_F(ExtractOnDisk, FailedWriteOnACloserStopsTheExtractionAsADiskError) {
    std::vector<Member> members = {{"first.txt", "written"}, {"full.txt", kFillsTheDrive}};
    const int later = 200;
    for (int i = 0; i < later; ++i) members.push_back({"later" + std::to_string(i) + ".txt", "x"});
    ResetInstallErrors();
    LaterWrites::write = WriteHalfOfFullDrive;
    int result = Extract(MakeArchive(members));
    LaterWrites::write = WriteWhole;
    EXPECT_EQ(result, ExtractWriteError);
    EXPECT_EQ(ComputeExitStatus(true), ExitDiskFull);
    ResetInstallErrors();
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\first.txt")), "written");
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\full.txt")),
              std::string(kFillsTheDrive, (sizeof kFillsTheDrive - 1) / 2));
    int made = 0;
    for (int i = 0; i < later; ++i) {
        std::string path = Path("dest\\later" + std::to_string(i) + ".txt");
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        ++made;
        EXPECT_TRUE(OpenedAlone(path)) << path << " still open";
        EXPECT_EQ(installtest::ReadWholeFile(path), "x");
    }
    // Once the failure is known nothing more is begun; until then at most
    // every slot's worth of members was handed over.
    EXPECT_LE(made, static_cast<int>(LaterWrites::kSlots) + 1);
    EXPECT_EQ(RecordedPaths(UninstallFile).size(), static_cast<size_t>(2 + made));
}

TEST_F(ExtractOnDisk, LaterMembersOfTheSameNameSeeTheEarlierOnesClosed) {
    // Few enough members that no closer has woken before the last of them.
    ASSERT_EQ(Extract(MakeArchive({{"a.txt", "first"}, {"a.txt", "second"}, {"$Keep\\a.txt", "not written"},
                                   {"$Keep\\new.txt", "written"}})),
              ExtractOk);
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\a.txt")), "second");
    EXPECT_EQ(installtest::ReadWholeFile(Path("dest\\new.txt")), "written");
    EXPECT_EQ(RecordedPaths(UninstallFile),
              (std::vector<std::string>{destination_ + "\\a.txt", destination_ + "\\a.txt"}));
}

// Wine running as root writes through the read-only attribute, so the Linux
// file is made immutable as well.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string& path) : path_(path) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        Chattr("+i");
    }
    ~ReadOnlyFile() {
        Chattr("-i");
        SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    }

    // Wine cannot always follow the Linux program it started, and some file
    // systems have no immutable flag: wait (bounded) until writing really fails.
    bool Effective() const {
        for (int attempt = 0; attempt < 100; ++attempt) {
            HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file == INVALID_HANDLE_VALUE) return true;
            CloseHandle(file);
            Sleep(50);
        }
        return false;
    }

private:
    void Chattr(const char* flag) {
        std::string unixPath = UnixPathOf(path_);
        if (!unixPath.empty()) RunUnixProgram(std::string("/usr/bin/chattr ") + flag, unixPath, "");
    }
    std::string path_;
};

TEST_F(ExtractOnDisk, ReadOnlyFileInTheWayIsACreateError) {
    std::string target = Path("dest\\readme.txt");
    WriteFileBytes(target, "protected");
    int result;
    {
        ReadOnlyFile guard(target);
        if (!guard.Effective()) GTEST_SKIP() << "this file system cannot make the file read-only under Wine";
        result = Extract(MakeArchive(kMembers));
    }
    EXPECT_EQ(result, ExtractCreateError);
    EXPECT_EQ(installtest::ReadWholeFile(target), "protected");
}

// An existing file is deleted and made anew, never written into: another
// hard link to it keeps its contents. A link in the destination, as the
// destination or as the file itself stops the extraction before anything
// goes through it (under Wine a Linux symbolic link stands in for a
// junction).
TEST_F(ExtractOnDisk, FilesAreReplacedNotWrittenIntoAndLinksStopTheExtraction) {
    std::string elsewhere = Path("elsewhere"), victim = elsewhere + "\\victim.txt", shared = Path("shared.txt");
    ASSERT_TRUE(CreateDirectoryA(elsewhere.c_str(), nullptr));
    WriteFileBytes(victim, "victim");
    WriteFileBytes(shared, "shared");
    std::string readme = Path("dest\\readme.txt");
    ASSERT_TRUE(RunUnixProgram("/bin/ln", UnixPathOf(shared), UnixPathOf(readme)));
    ASSERT_TRUE(Eventually([&] { return installtest::ReadWholeFile(readme) == "shared"; }));
    ASSERT_EQ(Extract(MakeArchive({{"readme.txt", "read me"}})), ExtractOk);
    EXPECT_EQ(installtest::ReadWholeFile(readme), "read me");
    EXPECT_EQ(installtest::ReadWholeFile(shared), "shared");

    ASSERT_TRUE(RunUnixProgram("/bin/ln -s", UnixPathOf(elsewhere), UnixPathOf(Path("dest\\doc"))));
    ASSERT_TRUE(RunUnixProgram("/bin/ln -s", UnixPathOf(victim), UnixPathOf(Path("dest\\intro.htm"))));
    ASSERT_TRUE(RunUnixProgram("/bin/ln -s", UnixPathOf(elsewhere), UnixPathOf(Path("linked"))));
    ASSERT_TRUE(Eventually([&] {
        return installtest::ReadWholeFile(Path("dest\\intro.htm")) == "victim" &&
               installtest::ReadWholeFile(Path("linked\\victim.txt")) == "victim";
    }));
    EXPECT_EQ(Extract(MakeArchive({{"doc/victim.txt", "evil"}})), ExtractLinkRefused);
    EXPECT_EQ(Extract(MakeArchive({{"doc/sub/new.txt", "evil"}})), ExtractLinkRefused);
    EXPECT_EQ(Extract(MakeArchive({{"intro.htm", "evil"}})), ExtractLinkRefused);
    EXPECT_EQ(Extract(MakeArchive({{"victim.txt", "evil"}, {"new.txt", "evil"}}), Path("linked")), ExtractLinkRefused);
    EXPECT_EQ(installtest::ReadWholeFile(victim), "victim");
    EXPECT_EQ(installtest::ReadWholeFile(elsewhere + "\\new.txt"), "<missing>");
    EXPECT_FALSE(GetFileAttributesA((elsewhere + "\\sub").c_str()) != INVALID_FILE_ATTRIBUTES);
    RunUnixProgram("/bin/rm", UnixPathOf(Path("dest\\doc")), UnixPathOf(Path("dest\\intro.htm")));
    RunUnixProgram("/bin/rm", UnixPathOf(Path("linked")), "");
    EXPECT_TRUE(Eventually([&] {  // before the fixture removes the tree
        for (const char* link : {"linked", "dest\\doc", "dest\\intro.htm"})
            if (GetFileAttributesA(Path(link).c_str()) != INVALID_FILE_ATTRIBUTES) return false;
        return true;
    }));
}

using DirectoryLogging = ArchiveOnDisk;

TEST_F(DirectoryLogging, RecordsBeforeCreatingEvenWhenCreationFails) {
    std::string orphan = Path("missing\\child");
    EXPECT_EQ(settings_->CreateDirectoryLogged(orphan.c_str(), FALSE), 1);
    EXPECT_EQ(RecordedPaths(UninstallDirectory), std::vector<std::string>{orphan});
}

TEST_F(DirectoryLogging, ExistingDirectoryIsRecordedOnlyWhenAskedAndOnlyOnce) {
    std::string made = Path("made");
    EXPECT_EQ(settings_->CreateDirectoryLogged(made.c_str(), FALSE), 0);
    EXPECT_TRUE(IsDirectory(made));
    EXPECT_EQ(settings_->CreateDirectoryLogged(destination_.c_str(), FALSE), 0);
    EXPECT_EQ(RecordedPaths(UninstallDirectory), std::vector<std::string>{made});
    std::string upper = made;
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(settings_->CreateDirectoryLogged(upper.c_str(), TRUE), 0);
    EXPECT_EQ(settings_->CreateDirectoryLogged(destination_.c_str(), TRUE), 0);
    EXPECT_EQ(RecordedPaths(UninstallDirectory), (std::vector<std::string>{made, destination_}));
}

TEST_F(DirectoryLogging, FileOfTheSameNameIsAFailure) {
    WriteFileBytes(Path("plain"), "x");
    EXPECT_EQ(settings_->CreateDirectoryLogged(Path("plain").c_str(), TRUE), 1);
}

TEST(SpecialFolder, DocumentsFolderExistsAndUnknownFolderIsACreateError) {
    char buffer[MAX_PATH];
    ASSERT_EQ(GetSpecialFolderPath(buffer, CSIDL_PERSONAL), 0);
    DWORD attributes = GetFileAttributesA(buffer);
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES) << buffer;
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetSpecialFolderPath(buffer, 0x7F), ExtractCreateError);
}

}  // namespace
