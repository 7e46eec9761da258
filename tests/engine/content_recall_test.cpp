#include "_compearer/content_recall.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace parvex {
namespace {

using TRows = std::vector<std::uint32_t>;

std::string Text(const std::vector<TRows>& classes) {
    std::ostringstream text;
    for (const TRows& same : classes) {
        text << "{";
        for (const std::uint32_t row : same)
            text << " " << row;
        text << " }";
    }
    return text.str();
}

// A memory that knows what the test says and records what it learns.
class TFakeMemory final : public TContentMemory {
public:
    explicit TFakeMemory(std::map<std::uint32_t, TKnownContent> known) : known_(std::move(known)) {}

    std::vector<TKnownContent> Recall(std::span<const std::uint32_t> rows,
                                      const std::function<void()>&) override {
        std::vector<TKnownContent> found;
        for (const std::uint32_t row : rows)
            found.push_back(known_.contains(row) ? known_[row] : TKnownContent{});
        return found;
    }
    void Learn(std::span<const std::uint32_t> rows, std::span<const TKnownContent>) override {
        Learnt.emplace_back(rows.begin(), rows.end());
    }

    std::vector<TRows> Learnt;

private:
    std::map<std::uint32_t, TKnownContent> known_;
};

TKnownContent Known(std::uint64_t knownClass, std::uint64_t digest) {
    return {knownClass, {digest, 0}};
}

TEST(ContentRecallTest, ReadsOnlyWhatTheKnownClassesCannotSettle) {
    struct TCase {
        const char* What;
        std::map<std::uint32_t, TKnownContent> Known;
        TRows ToRead;
    };
    const TRows set{1, 2, 3, 4};
    const std::vector<TCase> cases = {
        {"nothing known", {}, {1, 2, 3, 4}},
        {"all known, digests differ",
         {{1, Known(7, 1)}, {2, Known(7, 1)}, {3, Known(8, 2)}, {4, Known(9, 3)}},
         {}},
        {"all known, two digests equal",
         {{1, Known(7, 1)}, {2, Known(7, 1)}, {3, Known(8, 1)}, {4, Known(9, 3)}},
         {1, 3}},
        {"one unknown: it and one of every class",
         {{1, Known(7, 1)}, {2, Known(7, 1)}, {4, Known(9, 3)}},
         {1, 3, 4}},
    };
    for (const TCase& c : cases) {
        TFakeMemory memory(c.Known);
        const TContentRecall recall(memory, set, [] {});
        TRows toRead;
        recall.RowsToRead(set, toRead);
        EXPECT_EQ(Text({toRead}), Text({c.ToRead})) << c.What;
    }
}

TEST(ContentRecallTest, TheClassesOfTheRowsReadStandForTheirKnownClasses) {
    // 1, 2 and 5 are one known class, 3 and 6 another; 4 and 7 are new.
    TFakeMemory memory(
        {{1, Known(7, 1)}, {2, Known(7, 1)}, {5, Known(7, 1)}, {3, Known(8, 2)}, {6, Known(8, 2)}});
    const TRows set{1, 2, 3, 4, 5, 6, 7};
    TContentRecall recall(memory, set, [] {});
    TRows read;
    recall.RowsToRead(set, read);
    ASSERT_EQ(Text({read}), Text({{1, 3, 4, 7}}));
    // Reading found 4 equal to 1; 7 equal to nothing; 3 matched nothing either.
    std::vector<TRows> classes{{1, 4}};
    recall.Complete(set, read, {}, classes);
    EXPECT_EQ(Text(classes), "{ 1 2 4 5 }{ 3 6 }");
    EXPECT_EQ(Text(memory.Learnt), "{ 1 2 4 5 }{ 7 }");

    // When the row read for a class cannot be read, the rest of the class stays one.
    std::vector<TRows> none;
    const TRows unreadable{3};
    recall.Complete(set, read, unreadable, none);
    EXPECT_EQ(Text(none), "{ 1 2 5 }");
}

} // namespace
} // namespace parvex
