#include "_compearer/compearer_core.h"
#include "engine/column_rows.h"
#include "engine/event_log.h"
#include "platform/file_times.h"
#include "platform/text_case.h"
#include "support/child_process.h"
#include "support/temp_tree.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {
namespace {

using testing::ColumnRows;
using testing::TEventLog;
using testing::TTempTree;
using TLines = std::vector<std::string>;

// The pairwise comparison pass as the design describes it: every row against every later
// row still in the table, whole files read for every content comparison.
struct TRow {
    std::string Path, Name;
    std::int64_t Size, Time;
    TFileId Id;
    std::int64_t ModifiedNs = 0;
    std::int64_t ChangedNs = 0;
};

// Whole files, read once per path: the pass rereads a file for every pair, which only costs time.
class TWholeFiles {
public:
    const std::optional<std::string>& Of(const std::string& path) {
        auto found = files_.find(path);
        if (found == files_.end()) {
            std::optional<std::string> bytes;
            std::ifstream in(path, std::ios::binary);
            if (in) {
                std::ostringstream all;
                all << in.rdbuf();
                if (!in.bad())
                    bytes = all.str();
            }
            found = files_.emplace(path, std::move(bytes)).first;
        }
        return found->second;
    }

private:
    std::map<std::string, std::optional<std::string>> files_;
};

// A path once, a file once: a row that repeats the path or the file id of an earlier row is
// another name of that file, never a row.
std::vector<TRow> OneRowPerFile(const std::vector<TRow>& rows) {
    std::vector<TRow> kept;
    for (const TRow& row : rows) {
        const bool repeated = std::any_of(kept.begin(), kept.end(), [&](const TRow& earlier) {
            return earlier.Path == row.Path || (row.Id.Known() && earlier.Id == row.Id);
        });
        if (!repeated)
            kept.push_back(row);
    }
    return kept;
}

TLines ReferencePass(std::vector<TRow> rows, const TCompearerCore& keys, TWholeFiles& files) {
    rows = OneRowPerFile(rows);
    TLines lines;
    const std::size_t n = rows.size();
    for (std::size_t i = 0; i < n; ++i) {
        bool matched = false;
        for (std::size_t j = i; i < rows.size() && j + 1 < rows.size();) {
            ++j;
            const TRow& a = rows[i];
            const TRow& b = rows[j];
            bool same = true;
            if (keys.CompareName)
                same = same && (keys.CaseSensitiveNames ? a.Name == b.Name
                                                        : UpperAscii(a.Name) == UpperAscii(b.Name));
            if (keys.CompareSize)
                same = same && a.Size == b.Size;
            if (keys.CompareContent && same)
                same =
                    files.Of(a.Path) && files.Of(b.Path) && *files.Of(a.Path) == *files.Of(b.Path);
            if (keys.CompareTime)
                same = same && a.Time == b.Time;
            if (!same)
                continue;
            if (!matched) {
                lines.push_back("group " + a.Path.substr(a.Path.rfind('/') + 1));
                lines.push_back("file " + a.Path);
            }
            lines.push_back("file " + b.Path);
            rows.erase(rows.begin() + std::ptrdiff_t(j));
            --j;
            matched = true;
        }
    }
    return lines;
}

std::vector<TRow> TableOf(const TCompearerCore& core) {
    std::vector<TRow> rows;
    for (std::size_t i = 0; i < core.FilePaths.size(); ++i)
        rows.push_back({core.FilePaths[i], std::string(core.FileNames[i]), core.FileSizes[i],
                        core.FileTimes[i], core.FileIds[i], core.FileModifiedNs[i],
                        core.FileChangedNs[i]});
    return rows;
}

void SetTable(TCompearerCore& core, const std::vector<TRow>& rows) {
    core.ClearFileTable();
    for (const TRow& row : rows) {
        const std::size_t folder = row.Path.size() - row.Name.size();
        core.AddFile({.Folder = std::string_view(row.Path).substr(0, folder),
                      .Name = row.Name,
                      .Size = row.Size,
                      .Time = row.Time,
                      .Id = row.Id,
                      .ModifiedNs = row.ModifiedNs,
                      .ChangedNs = row.ChangedNs});
    }
}

TRow RowOf(const std::string& path) {
    struct stat facts {};
    ::stat(path.c_str(), &facts);
    return {path,
            path.substr(path.rfind('/') + 1),
            std::int64_t(facts.st_size),
            FileTimeCode(facts.st_mtim.tv_sec),
            FileIdOf(facts),
            NanosecondsOf(facts.st_mtim),
            NanosecondsOf(facts.st_ctim)};
}

class Grouping : public ::testing::Test {
protected:
    // Runs the pass on rows for the given files, in that order.
    TLines Found(const std::vector<std::string>& paths) {
        std::vector<TRow> rows;
        for (const std::string& path : paths)
            rows.push_back(RowOf(path));
        SetTable(core, rows);
        log.Attach(core);
        core.GroupIdentical();
        return log.Found();
    }
    void Keys(bool name, bool size, bool time, bool content) {
        core.SetKeys({.Name = name, .Size = size, .Time = time, .Content = content});
    }
    // A file with one fixed time: files written at whatever time the machine reaches them can
    // fall into different two-second slots and disagree on the time key.
    std::string File(const std::string& relative, const std::string& content = {}) {
        return tree.File(relative, content, 1600000000);
    }

    TTempTree tree;
    TCompearerCore core;
    TEventLog log;
};

TEST_F(Grouping, ThreeIdenticalFilesFormOneGroupAndOnlyTheHeadStays) {
    const auto a = File("a", "same"), b = File("b", "same"), c = File("c", "same");
    EXPECT_EQ(Found({a, b, c}), (TLines{"group a", "file " + a, "file " + b, "file " + c}));
    EXPECT_EQ(ColumnRows(core.FilePaths), (TLines{a}));
    EXPECT_EQ(ColumnRows(core.FileNames), TLines{"a"});
}

TEST_F(Grouping, AAndCAroundADifferentB) {
    const auto a = File("a", "xx"), b = File("b", "yy"), c = File("c", "xx");
    EXPECT_EQ(Found({a, b, c}), (TLines{"group a", "file " + a, "file " + c}));
    EXPECT_EQ(ColumnRows(core.FilePaths), (TLines{a, b}));
}

TEST_F(Grouping, ARowListedTwiceIsOneFileAndNeverAGroupWithItself) {
    const auto a = File("a", "xx"), b = File("b", "yy");
    EXPECT_TRUE(Found({a, b, a}).empty());
    EXPECT_EQ(ColumnRows(core.FilePaths), (TLines{a, b}));
}

TEST_F(Grouping, HardLinksInATableAreOneFileTheFirstNameBeingTheRow) {
    const auto a = File("a", "xx"), b = File("b", "yy"), c = File("c", "xx");
    const auto link = tree.HardLink("link", "a");
    EXPECT_EQ(Found({link, b, a, c}), (TLines{"group link", "file " + link, "file " + c}));
    EXPECT_EQ(ColumnRows(core.FilePaths), (TLines{link, b}));
    EXPECT_EQ(core.FileLinks.NamesFound(0), 2U);
    EXPECT_EQ(core.FileLinks.NamesFound(1), 1U);
    EXPECT_EQ(core.FileLinks.OtherNames(0), TLines{a});
}

TEST_F(Grouping, RowsMovedUpOverDroppedMembersKeepTheirTimesAndOtherNames) {
    Keys(false, true, false, true);
    const auto a = File("a", "xx"), b = File("b", "xx"), old = File("old", "zzz");
    tree.SetTime("old", 100); // 1970: a time code beyond 32 bits
    const auto c = File("c", "yyyy"), link = tree.HardLink("link", "c");
    EXPECT_EQ(Found({a, b, old, c, link}), (TLines{"group a", "file " + a, "file " + b}));
    EXPECT_EQ(ColumnRows(core.FilePaths), (TLines{a, old, c}));
    EXPECT_EQ(ColumnRows(core.FileTimes),
              (std::vector<std::int64_t>{FileTimeCode(1600000000), FileTimeCode(100),
                                         FileTimeCode(1600000000)}));
    EXPECT_EQ(ColumnRows(core.FileSizes), (std::vector<std::int64_t>{2, 3, 4}));
    EXPECT_EQ(core.FileLinks.OtherNames(2), TLines{link});
    EXPECT_EQ(core.FileLinks.NamesFound(2), 2U);
    EXPECT_TRUE(core.FileLinks.OtherNames(1).empty());
}

TEST_F(Grouping, ATableWithoutFileIdsCountsEachPathAsOneFile) {
    Keys(false, true, false, false);
    const auto a = File("a", "xx"), b = File("b", "yy");
    std::vector<TRow> rows{RowOf(a), RowOf(b), RowOf(a)};
    for (TRow& row : rows)
        row.Id = {};
    SetTable(core, rows);
    log.Attach(core);
    core.GroupIdentical();
    EXPECT_EQ(log.Found(), (TLines{"group a", "file " + a, "file " + b}));
    EXPECT_EQ(ColumnRows(core.FilePaths), (TLines{a}));
}

TEST_F(Grouping, WithNoKeyTheFirstRowHeadsEveryOther) {
    Keys(false, false, false, false);
    const auto a = File("x/a", "1"), b = File("b", "22"), c = File("c", "333");
    EXPECT_EQ(Found({b, a, c}), (TLines{"group b", "file " + b, "file " + a, "file " + c}));
}

TEST_F(Grouping, ContentAndSizeGroupDifferentNamesAcrossFolders) {
    Keys(false, true, false, true);
    const auto a = File("one/first.txt", "body"), b = File("two/second.doc", "body");
    tree.SetTime("two/second.doc", 1000000000);
    EXPECT_EQ(Found({a, b}), (TLines{"group first.txt", "file " + a, "file " + b}));
}

TEST_F(Grouping, EmptyFilesAreIdentical) {
    const auto a = File("a"), b = File("b");
    EXPECT_EQ(Found({a, b}), (TLines{"group a", "file " + a, "file " + b}));
}

TEST_F(Grouping, AnEmptyTableOrASingleRowReportsNothing) {
    EXPECT_TRUE(Found({}).empty());
    EXPECT_TRUE(Found({File("alone", "x")}).empty());
}

TEST_F(Grouping, FilesOfOneSizeDifferingInTheirFirstOrLastByte) {
    const std::string body(3 << 20, 'q'); // several chunks
    std::string first = body, last = body;
    first.front() = 'x';
    last.back() = 'x';
    const auto a = File("a", body), b = File("b", first), c = File("c", last), d = File("d", body);
    EXPECT_EQ(Found({a, b, c, d}), (TLines{"group a", "file " + a, "file " + d}));
}

// The end of files is compared right after their start: a pair that differs only there parts
// without being read through.
TEST_F(Grouping, FilesDifferingNearTheirEndPartWithoutBeingReadThrough) {
    const std::string body(8 << 20, 'q');
    std::string last = body;
    last.back() = 'x';
    const auto a = File("a", body), b = File("b", last);
    EXPECT_EQ(Found({a, b}), TLines{});
    EXPECT_LT(core.Figures.ContentBytesRead, std::int64_t(body.size()));
}

TEST_F(Grouping, TheNameKeyIgnoresTheCaseOfAToZUnlessNamesAreCaseSensitive) {
    Keys(true, false, false, false);
    const auto a = File("one/Read.Me", "1"), b = File("two/READ.ME", "2");
    EXPECT_EQ(Found({a, b}), (TLines{"group Read.Me", "file " + a, "file " + b}));
    core.CaseSensitiveNames = true;
    log.Lines.clear();
    EXPECT_TRUE(Found({a, b}).empty());
}

TEST_F(Grouping, TheTimeKeyAgreesToTwoSeconds) {
    Keys(false, false, true, false);
    const auto a = File("a"), b = File("b"), c = File("c");
    tree.SetTime("a", 1600000000);
    tree.SetTime("b", 1600000001);
    tree.SetTime("c", 1600000002);
    EXPECT_EQ(Found({a, b, c}), (TLines{"group a", "file " + a, "file " + b}));
}

TEST_F(Grouping, AFileThatVanishedAfterTheScanIsIdenticalToNothingNotEvenItself) {
    const auto a = File("a", "xx"), b = File("b", "xx"), gone = File("gone", "xx");
    std::vector<TRow> rows{RowOf(gone), RowOf(a), RowOf(gone), RowOf(b)};
    ::unlink(gone.c_str());
    SetTable(core, rows);
    log.Attach(core);
    core.GroupIdentical();
    EXPECT_EQ(log.Found(), (TLines{"group a", "file " + a, "file " + b}));
}

TEST_F(Grouping, AFileReplacedByAFifoIsNotOpenedAndMatchesNothing) {
    const auto a = File("a", "xx"), b = File("b", "xx");
    std::vector<TRow> rows{RowOf(a), RowOf(b)};
    ::unlink(b.c_str());
    tree.Fifo("b");
    SetTable(core, rows);
    log.Attach(core);
    core.GroupIdentical();
    EXPECT_TRUE(log.Found().empty());
}

TEST_F(Grouping, AnUnreadableFileMatchesNothing) {
    const auto a = File("a", "xx"), b = File("b", "xx"), c = File("c", "xx");
    ::chmod(b.c_str(), 0);
    ::chmod(tree.Root().c_str(), 0755);
    const std::vector<TRow> rows{RowOf(a), RowOf(b), RowOf(c), RowOf(b)};
    if (::geteuid() != 0) {
        SetTable(core, rows);
        log.Attach(core);
        core.GroupIdentical();
        EXPECT_EQ(log.Found(), (TLines{"group a", "file " + a, "file " + c}));
        return;
    }
    // Root reads everything: run the pass in a child that has given up its privileges.
    const testing::TChildRun run = testing::RunInChild(testing::DropPrivileges, [&] {
        SetTable(core, rows);
        std::string out;
        core.OnFileFound = [&](const std::string& text, bool group) {
            out += (group ? "group " : "file ") + text + "\n";
        };
        core.GroupIdentical();
        return out;
    });
    if (!run.Ran)
        GTEST_SKIP() << run.Output;
    EXPECT_EQ(run.Output, "group a\nfile " + a + "\nfile " + c + "\n");
}

TEST_F(Grouping, ManyCandidatesOfOneSizeAreSplitExactlyWithBoundedOpenFiles) {
    // More same-size files than may be open at once: copies of two bodies that share their
    // first blocks, and a few loners, in an interleaved table order.
    const std::string common(100 << 10, 'c');
    std::string late = common;
    late[90 << 10] = 'L';
    std::vector<std::string> paths;
    TLines expectedCommon, expectedLate;
    for (int i = 0; i < 150; ++i) {
        const std::string name = "f" + std::to_string(i);
        std::string body = i % 2 == 0 ? common : late;
        if (i % 50 == 7)
            body[i] = 'u'; // a loner
        paths.push_back(File(name, body));
        if (i % 50 == 7)
            continue;
        (i % 2 == 0 ? expectedCommon : expectedLate).push_back("file " + paths.back());
    }
    TLines expected{"group f0"};
    expected.insert(expected.end(), expectedCommon.begin(), expectedCommon.end());
    expected.push_back("group f1");
    expected.insert(expected.end(), expectedLate.begin(), expectedLate.end());
    EXPECT_EQ(Found(paths), expected);
}

// Small files of one size, more than may be open at once, are read whole while they are sorted
// by hash and compared on the bytes held from that read: each is read once. Past the memory for
// held bytes, the files of a hash that were not held are read again side by side, with the same
// groups. Files are read in the order of their paths, so the last bodies are the ones not held.
TEST_F(Grouping, SmallFilesOfALargeSetAreReadOnceWhileTheirBytesFitInMemory) {
    const auto NameOf = [](std::size_t i) {
        std::string digits = std::to_string(i);
        return "f" + std::string(4 - digits.size(), '0') + digits;
    };
    const struct {
        const char* Shape;
        std::size_t Size, Bodies;
        bool ReadOnce;
    } cases[] = {
        {"held", 1000, 60, true},
        {"beyond the held bytes' memory", 60 << 10, 300, false},
    };
    for (const auto& c : cases) {
        TTempTree files;
        std::vector<std::string> paths;
        std::map<std::size_t, TLines> members; // by body
        for (std::size_t i = 0; i < c.Bodies * 2; ++i) {
            // Every third body has a copy; the copies come after every original.
            const std::size_t body = i < c.Bodies ? i : (i - c.Bodies) * 3;
            if (body >= c.Bodies)
                continue;
            std::string bytes(c.Size, 'b');
            bytes.back() = char(body % 200);
            bytes[0] = char(body / 200);
            paths.push_back(files.File(NameOf(i), bytes, 1600000000));
            members[body].push_back("file " + paths.back());
        }
        TLines expected;
        for (const auto& [body, lines] : members) {
            if (lines.size() < 2)
                continue;
            expected.push_back("group " + NameOf(body));
            expected.insert(expected.end(), lines.begin(), lines.end());
        }
        for (const int threads : {1, 4}) {
            core.Threads = threads;
            log.Lines.clear();
            EXPECT_EQ(Found(paths), expected) << c.Shape << ", " << threads << " threads";
            const auto once = std::int64_t(paths.size() * c.Size);
            if (c.ReadOnce)
                EXPECT_EQ(core.Figures.ContentBytesRead, once) << c.Shape;
            else
                EXPECT_GT(core.Figures.ContentBytesRead, once) << c.Shape;
        }
    }
}

// Small sets of small files are read whole side by side, each file once, in batches or one read
// at a time; a set whose files differ only in their last byte still parts.
TEST_F(Grouping, SmallSetsOfSmallFilesAreReadOnceOnEitherReadPath) {
    std::vector<std::string> paths;
    TLines expected;
    std::int64_t bytes = 0;
    for (int set = 0; set < 20; ++set) {
        const std::string body(std::size_t(100 + set * 997), char('a' + set));
        std::string last = body;
        last.back() = '!';
        const std::string name = "s" + std::to_string(set);
        for (const auto& [suffix, content] : {std::pair{"a", body}, {"b", last}, {"c", body}}) {
            paths.push_back(File(name + suffix, content));
            bytes += std::int64_t(content.size());
        }
        expected.insert(expected.end(), {"group " + name + "a", "file " + paths[paths.size() - 3],
                                         "file " + paths.back()});
    }
    for (const TReadPath path : {TReadPath::Plain, TReadPath::Batched}) {
        for (const int threads : {1, 4}) {
            core.ReadPath = path;
            core.Threads = threads;
            log.Lines.clear();
            EXPECT_EQ(Found(paths), expected) << threads << " threads, path " << int(path);
            EXPECT_EQ(core.Figures.ContentBytesRead, bytes) << threads << " threads";
        }
    }
}

TEST_F(Grouping, AStopFromInsideAReportEndsThePassBeforeTheNextComparison) {
    const auto a = File("a", "1"), b = File("b", "1"), c = File("c", "1"), d = File("d", "2"),
               e = File("e", "2");
    std::vector<TRow> rows;
    for (const auto& path : {a, b, c, d, e})
        rows.push_back(RowOf(path));
    SetTable(core, rows);
    log.Attach(core);
    core.OnFileFound = [&](const std::string& text, bool newGroup) {
        log.Lines.push_back((newGroup ? "group " : "file ") + text);
        if (text == b)
            core.Stop();
    };
    core.GroupIdentical();
    EXPECT_EQ(log.Found(), (TLines{"group a", "file " + a, "file " + b}));
    EXPECT_EQ(ColumnRows(core.FilePaths), (TLines{a, c, d, e}));
}

// Trees of random files, many duplicates and near duplicates, names that differ only in case,
// times in and out of the packed range, overlapping masks, hard links, rows repeated by hand and
// files that vanish: under every combination of keys the engine must report exactly what the
// pairwise pass reports, a path and a file counting once.
TEST_F(Grouping, ReportsExactlyWhatThePairwisePassReportsUnderEveryKeyCombinationWithAnyReaders) {
    for (unsigned seed = 1; seed <= 4; ++seed) {
        TTempTree random;
        std::mt19937 generator(seed);
        const auto pick = [&](std::size_t n) {
            return std::uniform_int_distribution<std::size_t>(0, n - 1)(generator);
        };
        std::vector<std::string> bodies{"", "a", "b", "abc", std::string(5000, 'z')};
        for (int i = 0; i < 3; ++i) {
            std::string big(std::size_t(1 << 20) + pick(3) * 100, char('k' + i));
            bodies.push_back(big);
            big[pick(big.size())] = '!';
            bodies.push_back(big);
        }
        const TLines names{"a.txt", "A.TXT", "b.bin", "c.TxT", "d", ".e.txt"};
        const TLines folders{"", "x/", "x/y/", "Z/", "z/"};
        const std::time_t times[] = {1600000000, 1600000001, 1600000002, 100, 4000000000};
        TLines made;
        for (int i = 0; i < 40; ++i) {
            const std::string relative =
                folders[pick(folders.size())] + std::to_string(i % 7) + names[pick(names.size())];
            random.File(relative, bodies[pick(bodies.size())]);
            random.SetTime(relative, times[pick(std::size(times))]);
            made.push_back(relative);
        }
        // Second names of some files, met by the scan as one row each.
        for (int i = 0; i < 6; ++i) {
            const std::string relative = folders[pick(folders.size())] + "link" +
                                         std::to_string(i) + names[pick(names.size())];
            if (!TTempTree::Exists(random.Path(relative)))
                random.HardLink(relative, made[pick(made.size())]);
        }
        core.ClearFileTable();
        core.ScanSearchSpec(random.Root() + "*.*;*.TXT;?b.bin");
        std::vector<TRow> table = TableOf(core);
        ASSERT_EQ(OneRowPerFile(table).size(), table.size()) << "seed " << seed;
        // A table filled by hand may repeat a path or name a file twice; the pass keeps the
        // first row of each file.
        for (int i = 0; i < 6 && !table.empty(); ++i) {
            const std::size_t row = pick(table.size());
            table.insert(table.begin() + std::ptrdiff_t(row + pick(table.size() - row) + 1),
                         table[row]);
        }
        for (const std::string& relative : made) {
            if (pick(8) != 0)
                continue;
            const std::string link = "more" + std::to_string(table.size()) + ".txt";
            random.HardLink(link, relative);
            table.insert(table.begin() + std::ptrdiff_t(pick(table.size() + 1)),
                         RowOf(random.Path(link)));
        }
        for (std::size_t row = 0; row < table.size(); row += 9)
            ::unlink(table[row].Path.c_str());
        TWholeFiles files;

        for (unsigned combination = 0; combination < 32; ++combination) {
            Keys(combination & 1, combination & 2, combination & 4, combination & 8);
            core.CaseSensitiveNames = combination & 16;
            // One reader and several, reading in batches or one file at a time, raise the
            // same events, skipped files included.
            TLines eventsOfOneReader;
            for (const TReadPath path : {TReadPath::Plain, TReadPath::Batched}) {
                for (const int threads : {1, 4}) {
                    core.Threads = threads;
                    core.ReadPath = path;
                    SetTable(core, table);
                    log.Lines.clear();
                    log.Attach(core);
                    core.GroupIdentical();
                    const std::string run = "seed " + std::to_string(seed) + " keys " +
                                            std::to_string(combination) + " threads " +
                                            std::to_string(threads) + " path " +
                                            std::to_string(int(path));
                    ASSERT_EQ(log.Found(), ReferencePass(table, core, files)) << run;
                    if (eventsOfOneReader.empty())
                        eventsOfOneReader = log.Lines;
                    else
                        ASSERT_EQ(log.Lines, eventsOfOneReader) << run;
                }
            }
        }
    }
}

} // namespace
} // namespace parvex
