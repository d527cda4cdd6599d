#include <gtest/gtest.h>

#include <set>
#include <string>

#include "shell/UninstallLogName.h"

namespace {

TEST(UninstallLogName, GeneratorMatchesTheRuntimesFifteenBitSequence) {
    FifteenBitRandom random(1);  // the C runtime's rand() after srand(1)
    EXPECT_EQ(random.Next(), 41u);
    EXPECT_EQ(random.Next(), 18467u);
    EXPECT_EQ(random.Next(), 6334u);
    FifteenBitRandom wide(0xFFFFFFFFu);
    for (int i = 0; i < 1000; ++i) EXPECT_LE(wide.Next(), 32767u);
}

TEST(UninstallLogName, DigitsComeFromHighToLowNibble) {
    char name[kUninstallLogNameSize];
    FormatUninstallLogName(0x7A3F, name);
    EXPECT_STREQ(name, "UnInst7A3F.inf");
    FormatUninstallLogName(0, name);
    EXPECT_STREQ(name, "UnInst0000.inf");
}

struct Taken {
    std::set<std::string> names;
    int queries = 0;
    bool all = false;
};

bool IsTaken(void* context, const char* name) {
    Taken* taken = static_cast<Taken*>(context);
    ++taken->queries;
    return taken->all || taken->names.count(name) != 0;
}

std::string NameFor(unsigned number) {
    char name[kUninstallLogNameSize];
    FormatUninstallLogName(number, name);
    return name;
}

TEST(UninstallLogName, TakesTheFirstFreeDrawnName) {
    Taken taken;
    FifteenBitRandom probe(1);
    taken.names.insert(NameFor(probe.Next()));
    std::string second = NameFor(probe.Next());
    FifteenBitRandom random(1);
    char out[kUninstallLogNameSize];
    ASSERT_TRUE(ChooseUninstallLogName(random, IsTaken, &taken, out));
    EXPECT_EQ(out, second);
    EXPECT_EQ(taken.queries, 2);
}

TEST(UninstallLogName, AfterHundredTakenDrawsFindsAnotherFreeName) {
    Taken taken;
    FifteenBitRandom probe(77);
    for (int i = 0; i < 100; ++i) taken.names.insert(NameFor(probe.Next()));
    taken.names.insert(NameFor(0));  // the search after the draws must skip taken names too
    FifteenBitRandom random(77);
    char out[kUninstallLogNameSize];
    ASSERT_TRUE(ChooseUninstallLogName(random, IsTaken, &taken, out));
    EXPECT_EQ(taken.names.count(out), 0u);
    EXPECT_EQ(std::string(out).substr(0, 6), "UnInst");
}

TEST(UninstallLogName, EveryNameTakenIsReportedNotOverwritten) {
    Taken taken;
    taken.all = true;
    FifteenBitRandom random(5);
    char out[kUninstallLogNameSize] = "x";
    EXPECT_FALSE(ChooseUninstallLogName(random, IsTaken, &taken, out));
    EXPECT_STREQ(out, "");
    EXPECT_EQ(taken.queries, 100 + 32768);
}

TEST(UninstallLogName, CommandLineQuotesOnlyTheUninstaller) {
    EXPECT_STREQ(UninstallCommandLine("C:\\windows", "C:\\Program Files\\Varnplay\\UnInst0123.inf").Get(),
                 "\"C:\\windows\\VARNUINS.EXE\" C:\\Program Files\\Varnplay\\UnInst0123.inf");
    EXPECT_STREQ(UninstallCommandLine("C:\\", "D:\\x\\UnInst0001.inf").Get(), "\"C:\\VARNUINS.EXE\" D:\\x\\UnInst0001.inf");
}

}  // namespace
