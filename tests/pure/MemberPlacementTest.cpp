#include <gtest/gtest.h>

#include "install/MemberPlacement.h"
#include "pure/archive/ArchiveTestSupport.h"
#include "pure/FakeExtractTarget.h"
#include "pure/NameCharsSupport.h"
#include "setup/TextDecoding.h"

using namespace archive_test;

namespace {

using Events = std::vector<std::string>;

struct Outcome {
    int result;
    Events events;  // without the range line
    std::map<std::string, std::string> files;
};

Outcome Place(const std::vector<Member>& members, FakeTarget target = FakeTarget(), const char* destination = "D",
            ExtractCallbacks callbacks = Recorder::All(), int directoryResult = 0) {
    Recorder recorder;
    recorder.directoryResult = directoryResult;
    Outcome outcome;
    outcome.result = Extract(MakeArchive(members), target, recorder, destination, callbacks);
    outcome.events = recorder.events;
    if (!outcome.events.empty() && outcome.events[0].rfind("range", 0) == 0) outcome.events.erase(outcome.events.begin());
    outcome.files = target.files;
    return outcome;
}

FakeTarget WithFile(const std::string& path, const std::string& content) {
    FakeTarget target;
    target.files[path] = content;
    return target;
}

TEST(MemberPlacement, PrefixTableForExistingAndMissingFiles) {
    struct Case {
        const char* name;
        bool exists;
        const char* content;  // of D\a\f.txt afterwards, or null when absent
        Events events;
    } cases[] = {
        {"a\\f.txt", false, "new", {"dir D\\a", "file D\\a\\f.txt"}},
        {"a\\f.txt", true, "old", {"dir D\\a", "existing D\\a\\f.txt"}},  // the user's: left
        {"$Keep\\a\\f.txt", false, "new", {"dir D\\a", "keep D\\a\\f.txt"}},
        {"$Keep\\a\\f.txt", true, "old", {"dir D\\a"}},
        {"$NoCreate\\a\\f.txt", false, nullptr, {"dir D\\a", "file D\\a\\f.txt"}},
        {"$NoCreate\\a\\f.txt", true, "old", {"dir D\\a", "existing D\\a\\f.txt"}},  // not recorded
        {"$DirOnly\\a\\f.txt", false, nullptr, {"dir D\\a", "keep D\\a\\f.txt"}},
        {"$DirOnly\\a\\f.txt", true, "old", {"dir D\\a"}},
        {"$Keep\\$NoCreate\\a\\f.txt", false, nullptr, {"dir D\\a", "keep D\\a\\f.txt"}},
        {"$NoCreate\\$Keep\\a\\f.txt", true, "old", {"dir D\\a"}},
        {"$keep\\a\\f.txt", true, "old", {"dir D\\a"}},
        {"$KEEP\\$nocreate\\a\\f.txt", false, nullptr, {"dir D\\a", "keep D\\a\\f.txt"}},
    };
    for (const Case& c : cases) {
        FakeTarget target = c.exists ? WithFile("D\\a\\f.txt", "old") : FakeTarget();
        Outcome outcome = Place({{c.name, "new"}}, target);
        EXPECT_EQ(outcome.result, ExtractOk) << c.name;
        EXPECT_EQ(outcome.events, c.events) << c.name << (c.exists ? " (exists)" : " (missing)");
        if (c.content) {
            EXPECT_EQ(outcome.files["D\\a\\f.txt"], c.content) << c.name;
        } else {
            EXPECT_EQ(outcome.files.count("D\\a\\f.txt"), 0u) << c.name;
        }
    }
}

// A file that is there before the installation is replaced only when the
// earlier installation of the product made it; the user's own (a saved game
// in the documents folder, a file in the chosen folder) stays, and without
// the question (the packer, the fuzzers) every file is replaced.
TEST(MemberPlacement, ExistingFilesAreReplacedOnlyWhenTheEarlierInstallationMadeThem) {
    struct Case {
        const char* name;
        bool own;
        bool ask;
        const char* path;
        const char* content;
        Events events;
    } cases[] = {
        {"$MyDocuments\\Saves\\slot1.sav", false, true, "C:\\Docs\\Saves\\slot1.sav", "mine",
         {"dir C:\\Docs\\Saves", "existing C:\\Docs\\Saves\\slot1.sav"}},
        {"readme.txt", false, true, "D\\readme.txt", "mine", {"existing D\\readme.txt"}},
        {"readme.txt", true, true, "D\\readme.txt", "new", {"existing D\\readme.txt", "file D\\readme.txt"}},
        {"readme.txt", false, false, "D\\readme.txt", "new", {"file D\\readme.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.own ? " (own)" : "") + (c.ask ? "" : " (not asked)"));
        FakeTarget target = WithFile(c.path, "mine");
        Recorder recorder;
        if (c.own) recorder.own.insert(c.path);
        ExtractCallbacks callbacks = Recorder::All();
        if (!c.ask) callbacks.onExistingFile = nullptr;
        ASSERT_EQ(Extract(MakeArchive({{c.name, "new"}, {"after.txt", "a"}}), target, recorder, "D", callbacks),
                  ExtractOk);
        recorder.events.erase(recorder.events.begin());  // the range
        Events expected = c.events;
        expected.push_back("file D\\after.txt");  // the extraction goes on
        EXPECT_EQ(recorder.events, expected);
        EXPECT_EQ(target.files[c.path], c.content);
    }
}

// A junction, symbolic link or mount point as the destination, the
// documents folder, a folder below them or the file itself: the extraction
// stops before anything goes through it, and before the folders beyond it
// are created.
TEST(MemberPlacement, LinksStopTheExtractionBeforeAnythingGoesThroughThem) {
    struct Case {
        const char* link;
        const char* name;
        Events events;
    } cases[] = {
        {"D", "doc\\varnplay\\intro.htm", {}},
        {"D\\doc", "doc\\varnplay\\intro.htm", {"dir D\\doc"}},
        {"D\\doc\\varnplay", "doc\\varnplay\\intro.htm", {"dir D\\doc", "dir D\\doc\\varnplay"}},
        {"D\\doc\\varnplay\\intro.htm", "doc\\varnplay\\intro.htm", {"dir D\\doc", "dir D\\doc\\varnplay"}},
        {"D\\intro.htm", "intro.htm", {}},
        {"C:\\Docs", "$MyDocuments\\Varnplay\\config.ini", {}},
        {"C:\\Docs\\Varnplay", "$MyDocuments\\Varnplay\\config.ini", {"dir C:\\Docs\\Varnplay"}},
        {"C:\\Docs\\Varnplay", "$MyDocuments\\$Keep\\Varnplay\\config.ini", {"dir C:\\Docs\\Varnplay"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.link) + " for " + c.name);
        FakeTarget target;
        target.links.insert(c.link);
        Outcome outcome = Place({{"first.txt", "1"}, {c.name, "x"}, {"last.txt", "2"}}, target);
        EXPECT_EQ(outcome.result, ExtractLinkRefused);
        Events expected{"file D\\first.txt"};
        if (std::string(c.link) == "D") expected.clear();
        expected.insert(expected.end(), c.events.begin(), c.events.end());
        EXPECT_EQ(outcome.events, expected);
        EXPECT_EQ(outcome.files.size(), expected.empty() ? 0u : 1u);
    }
}

// Each folder is checked before anything is created in it: the trusted
// folder, then every level before its child is reported, and the deepest
// before the file goes into it.
TEST(MemberPlacement, FoldersAreCheckedBeforeAnythingIsCreatedInThem) {
    FakeTarget target;
    Recorder recorder;
    ASSERT_EQ(ExtractWith(Decompression::OnCallingThread, MakeArchive({{"a\\b\\f.txt", "f"}, {"g.txt", "g"}}),
                          target, recorder, "D", Recorder::All()),
              ExtractOk);
    EXPECT_EQ(target.checks, (Events{"trust D", "check D\\a", "check D\\a\\b", "trust D"}));
}

TEST(MemberPlacement, MyDocumentsCombinesWithKeepInEitherOrder) {
    for (const char* name : {"$MyDocuments\\$Keep\\Games\\x.sav", "$Keep\\$MyDocuments\\Games\\x.sav",
                             "$mydocuments\\$KEEP\\Games\\x.sav"}) {
        Outcome missing = Place({{name, "save"}});
        EXPECT_EQ(missing.result, ExtractOk) << name;
        EXPECT_EQ(missing.events, (Events{"dir C:\\Docs\\Games", "keep C:\\Docs\\Games\\x.sav"})) << name;
        EXPECT_EQ(missing.files["C:\\Docs\\Games\\x.sav"], "save");
        Outcome present = Place({{name, "save"}}, WithFile("C:\\Docs\\Games\\x.sav", "mine"));
        EXPECT_EQ(present.events, Events{"dir C:\\Docs\\Games"}) << name;
        EXPECT_EQ(present.files["C:\\Docs\\Games\\x.sav"], "mine");
    }
}

TEST(MemberPlacement, MissingDocumentsFolderIsACreateError) {
    FakeTarget target;
    target.documents.clear();
    Outcome outcome = Place({{"$MyDocuments\\x.txt", "x"}}, target);
    EXPECT_EQ(outcome.result, ExtractCreateError);
    EXPECT_TRUE(outcome.events.empty());
}

TEST(MemberPlacement, PrefixNeedsABackslashAndSomethingAfterIt) {
    // Not kept silently as a "$Keep\\" member would be: the caller is asked.
    Outcome slash = Place({{"$Keep/readme.txt", "r"}}, WithFile("D\\$Keep\\readme.txt", "old"));
    EXPECT_EQ(slash.events, (Events{"dir D\\$Keep", "existing D\\$Keep\\readme.txt"}));
    Outcome missing = Place({{"$Keep/readme.txt", "r"}});
    EXPECT_EQ(missing.events, (Events{"dir D\\$Keep", "file D\\$Keep\\readme.txt"}));
    EXPECT_EQ(missing.files["D\\$Keep\\readme.txt"], "r");

    Outcome bare = Place({{"$Keep\\", ""}});
    EXPECT_EQ(bare.result, ExtractCreateError);
    EXPECT_EQ(bare.events, Events{"dir D\\$Keep"});
}

TEST(MemberPlacement, MixedSeparatorsReportParentsFirstThenWriteWithBackslashes) {
    Outcome outcome = Place({{"sub/dir\\file.txt", "f"}});
    EXPECT_EQ(outcome.result, ExtractOk);
    EXPECT_EQ(outcome.events, (Events{"dir D\\sub", "dir D\\sub\\dir", "file D\\sub\\dir\\file.txt"}));
    EXPECT_EQ(outcome.files["D\\sub\\dir\\file.txt"], "f");
}

TEST(MemberPlacement, DestinationEndingInBackslashGetsNoSecondOne) {
    Outcome outcome = Place({{"a\\b.txt", "b"}}, FakeTarget(), "C:\\Dest\\");
    EXPECT_EQ(outcome.events, (Events{"dir C:\\Dest\\a", "file C:\\Dest\\a\\b.txt"}));
}

TEST(MemberPlacement, EmptyNameNamesTheDestinationItselfAndCannotBeCreated) {
    Outcome outcome = Place({{"", ""}});
    EXPECT_EQ(outcome.result, ExtractCreateError);
    EXPECT_TRUE(outcome.events.empty());
}

TEST(MemberPlacement, DirectoryCallbackMissingOrFailingEndsTheExtraction) {
    ExtractCallbacks noDirectories = Recorder::All();
    noDirectories.onDirectory = nullptr;
    Outcome flat = Place({{"top.txt", "t"}, {"a\\b.txt", "b"}}, FakeTarget(), "D", noDirectories);
    EXPECT_EQ(flat.result, ExtractNoDirectoryHandler);
    EXPECT_EQ(flat.files.count("D\\top.txt"), 1u);  // a member without directories needs no handler
    EXPECT_EQ(flat.files.count("D\\a\\b.txt"), 0u);

    Outcome failing = Place({{"a\\b.txt", "b"}}, FakeTarget(), "D", Recorder::All(), 1);
    EXPECT_EQ(failing.result, ExtractDirectoryError);
    EXPECT_EQ(failing.events, Events{"dir D\\a"});
    EXPECT_TRUE(failing.files.empty());
}

TEST(MemberPlacement, OutputFailuresAreReportedWithTheirCodes) {
    for (int code : {ExtractCreateError, ExtractFileInUse}) {
        FakeTarget target;
        target.failures["D\\b.txt"] = code;
        Outcome outcome = Place({{"a.txt", "a"}, {"b.txt", "b"}, {"c.txt", "c"}}, target);
        EXPECT_EQ(outcome.result, code);
        // Reported before it is created: the uninstaller passes over a record of nothing.
        EXPECT_EQ(outcome.events, (Events{"file D\\a.txt", "file D\\b.txt"}));
    }
    FakeTarget failingWrites;
    failingWrites.failWrites = true;
    EXPECT_EQ(Place({{"a.txt", "a"}}, failingWrites).result, ExtractWriteError);
}

TEST(MemberPlacement, SamePathTwiceIsReportedTwice) {
    Outcome outcome = Place({{"x\\a.txt", "1"}, {"x\\a.txt", "2"}});
    // The second finds the first's file, the installation's own: replaced.
    EXPECT_EQ(outcome.events,
              (Events{"dir D\\x", "file D\\x\\a.txt", "dir D\\x", "existing D\\x\\a.txt", "file D\\x\\a.txt"}));
    EXPECT_EQ(outcome.files["D\\x\\a.txt"], "2");
}

// Outside the destination, or a device: the port would get the bytes and the log the name.
TEST(MemberPlacement, NamesReachingOutsideOrNamingADeviceAreRefusedBeforeAnythingOfTheMember) {
    const char* unsafe[] = {"..\\x.txt",  "a\\..\\x.txt", "a/../x.txt",    "..",           "a\\..",
                            "C:x.txt",    "C:\\x.txt",    "a\\b:c.txt",    "\\\\srv\\s\\x", "//srv/s/x",
                            "\\/srv\\x",  "...\\x.txt",   ".. \\x.txt",    "a\\. .\\x",     "$Keep\\..\\x.txt",
                            "$MyDocuments\\..\\x.txt", "COM1", "sub\\LPT1", "nul.txt", "Con", "aux.tar.gz",
                            "PRN .txt", "lpt9\\x.txt", "$Keep\\NUL", "a/com3.log", "a|b.txt", "what?.txt",
                            "q\"uote", "tab\there", "lpt0.txt", "com\xB2", "CONIN$",
                            // empty names: Windows would read another path than the log records
                            "\\x.txt", "/x.txt", "doc\\\\varnplay\\intro.htm", "a//b.txt", "a\\/b.txt",
                            "$Keep\\\\x.txt"};
    for (const char* name : unsafe) {
        Outcome outcome = Place({{"ok.txt", "o"}, {name, "evil"}});
        EXPECT_EQ(outcome.result, ExtractReadError) << name;
        EXPECT_EQ(outcome.events, Events{"file D\\ok.txt"}) << name;
        EXPECT_EQ(outcome.files.size(), 1u) << name;
    }
    for (const char* name : {"..a\\x.txt", "a..b.txt", ".\\x.txt", "a\\.hidden", "x..", "COM10",
                             "console.txt", "nul_\\x", "a.con", "CON1"}) {
        EXPECT_EQ(Place({{name, "fine"}}).result, ExtractOk) << name;
    }
}

TEST(MemberPlacement, PathsOver259CharactersAreRefusedWithoutCutting) {
    std::string destination(200, 'd');
    std::string fits(259 - 201, 'f');  // 200 + backslash + 58 = 259
    Outcome ok = Place({{fits, "x"}}, FakeTarget(), destination.c_str());
    EXPECT_EQ(ok.result, ExtractOk);
    EXPECT_EQ(ok.files.count(destination + "\\" + fits), 1u);

    Outcome tooLong = Place({{"sub\\" + std::string(55, 'f'), "x"}}, FakeTarget(), destination.c_str());
    EXPECT_EQ(tooLong.result, ExtractCreateError);
    EXPECT_TRUE(tooLong.events.empty());
    EXPECT_TRUE(tooLong.files.empty());

    std::string longDestination(260, 'd');
    EXPECT_EQ(Place({{"a", "x"}}, FakeTarget(), longDestination.c_str()).result, ExtractCreateError);
}

TEST(MemberPlacement, KeptMemberStillAdvancesProgressByItsChunks) {
    FakeTarget target = WithFile("D\\big.bin", "old");
    Recorder recorder;
    ASSERT_EQ(Extract(MakeArchive({{"$Keep\\big.bin", Noise(70000, 9)}}), target, recorder), ExtractOk);
    EXPECT_EQ(recorder.steps, 3);
    EXPECT_EQ(target.files["D\\big.bin"], "old");
}

TEST(MemberPlacement, OutputFileIsClosedOnEveryPath) {
    FakeTarget target;
    target.failWrites = true;
    Recorder recorder;
    EXPECT_EQ(Extract(MakeArchive({{"a.txt", "a"}}), target, recorder), ExtractWriteError);
    EXPECT_EQ(target.closes, 1);
}

}  // namespace

// Member names as the packer stores them (UTF-8) and as older archives hold
// them (the system's ANSI code page), placed by processes of each code page.
TEST(MemberPlacement, NamesAreDecodedIntoTheProcessCodePageOrRefused) {
    struct Case {
        const char* what;
        unsigned process, system;
        std::string stored;
        int result;
        Events events;
    } cases[] = {
        {"UTF-8, UTF-8 process", 65001, 1252, "Caf\xC3\xA9.txt", ExtractOk, {"file D\\Caf\xC3\xA9.txt"}},
        {"old 1252, UTF-8 process", 65001, 1252, "Caf\xE9.txt", ExtractOk, {"file D\\Caf\xC3\xA9.txt"}},
        {"UTF-8, 1252 process", 1252, 1252, "Caf\xC3\xA9.txt", ExtractOk, {"file D\\Caf\xE9.txt"}},
        {"old 1252, 1252 process", 1252, 1252, "Caf\xE9.txt", ExtractOk, {"file D\\Caf\xE9.txt"}},
        {"Cyrillic, 1252 process", 1252, 1252, "\xD0\x98.txt", ExtractNameNotRepresentable, {}},
        {"Shift-JIS on Japanese Windows", 932, 932, "\x83\x5C\\\x95\x5C.txt", ExtractOk,
         {"dir D\\\x83\x5C", "file D\\\x83\x5C\\\x95\x5C.txt"}},
    };
    for (const Case& c : cases) {
        ScopedNameCodePage process(c.process);
        SetSystemAnsiCodePage(c.system);
        FakeTarget target;
        Recorder recorder;
        int result = Extract(MakeArchive({{c.stored, "x"}}), target, recorder, "D", Recorder::All());
        SetSystemAnsiCodePage(0);
        Events events = recorder.events;
        events.erase(events.begin());  // the range
        EXPECT_EQ(result, c.result) << c.what;
        EXPECT_EQ(events, c.events) << c.what;
        bool refused = c.result == ExtractNameNotRepresentable;
        EXPECT_EQ(target.refused, refused ? std::vector<std::string>{c.stored} : std::vector<std::string>{}) << c.what;
        EXPECT_EQ(target.files.size(), refused ? 0u : 1u) << c.what;
    }
}
