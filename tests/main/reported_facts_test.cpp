#include "_compearer/compearer_core.h"
#include "main/reported_facts.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace parvex {
namespace {

using testing::TTempTree;

TEST(ReportedFacts, WithoutAnEngineRowTheDiskSaysWhetherEveryNameIsFound) {
    TTempTree files;
    const std::string single = files.File("single.txt", "one", 1'600'000'000);
    const std::string linked = files.File("linked.txt", "two", 1'600'000'000);
    ASSERT_EQ(::link(linked.c_str(), files.Path("elsewhere.txt").c_str()), 0);
    const TCompearerCore core;
    EXPECT_TRUE(ReportedFacts(core, single).AllNamesFound);
    EXPECT_EQ(ReportedFacts(core, single).Found, FoundFileOnDisk(single));
    EXPECT_FALSE(ReportedFacts(core, linked).AllNamesFound);
    EXPECT_FALSE(ReportedFacts(core, files.Path("gone")).Found);
}

TEST(ReportedFile, IsTheEngineRowWhileItReportsAndTheDiskOtherwise) {
    TTempTree files;
    const std::string a = files.File("a.txt", "twin", 1'600'000'000);
    const std::string b = files.File("b.txt", "twin", 1'600'000'000);
    TCompearerCore core;
    core.SearchSpec = files.Root() + "*.txt";
    std::vector<std::optional<TFoundFile>> reported;
    core.OnFileFound = [&](const std::string& text, bool newGroup) {
        if (!newGroup) {
            reported.push_back(ReportedFile(core, text));
            // Changed after the scan: the engine's facts still say what the search found.
            files.File("b.txt", "twin and more", 1'600'000'000);
        }
    };
    core.Start();
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_EQ(reported[0]->Size, 4);
    EXPECT_EQ(reported[1]->Size, 4);
    EXPECT_EQ(core.ReportedRow(), TCompearerCore::NoRow);
    EXPECT_EQ(ReportedFile(core, b), FoundFileOnDisk(b));
    EXPECT_EQ(ReportedFile(core, b)->Size, 13);
    EXPECT_EQ(ReportedFile(core, a)->Size, 4);
}

} // namespace
} // namespace parvex
