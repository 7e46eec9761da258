// Shares the storage of identical files on real file systems, each mounted from a fresh image in
// a child process of its own.

#include "platform/shared_storage.h"
#include "support/kept_facts.h"
#include "support/private_mount.h"
#include "support/temp_tree.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {
namespace {

using testing::KeptFactsLine;
using testing::OnFreshFileSystem;
using testing::RandomContent;
using testing::TChildRun;
using testing::TTempTree;

const char* NameOf(TShareResult result) {
    switch (result) {
    case TShareResult::Shared:
        return "shared";
    case TShareResult::AlreadyShared:
        return "already shared";
    case TShareResult::TooSmall:
        return "too small";
    case TShareResult::Changed:
        return "changed";
    case TShareResult::Refused:
        return "refused";
    }
    return "?";
}

std::string Write(const std::string& path, const std::string& content) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const bool written = fd >= 0 && ::write(fd, content.data(), content.size()) ==
                                        static_cast<ssize_t>(content.size());
    if (fd >= 0)
        ::close(fd);
    return written ? path : std::string();
}

std::string Outcome(const TShareOutcome& outcome) {
    std::string text = NameOf(outcome.Result);
    if (outcome.Result == TShareResult::Shared)
        text += " " + std::to_string(outcome.BytesShared);
    return text;
}

TEST(SharedStorage, CopyOnWriteFileSystemsShareIdenticalFilesAndLeaveTheirFactsAlone) {
    const struct {
        const char* Type;
        const char* Expected;
    } cases[] = {
        // Btrfs keeps files of a few hundred bytes inside its metadata: nothing to share.
        {"btrfs", "can share\nlarge: shared 1048699\nfacts kept\ncontent kept\n"
                  "again: already shared\nchanged byte: changed\nchanged size: changed\n"
                  "small: too small\n"},
        {"xfs", "can share\nlarge: shared 1048699\nfacts kept\ncontent kept\n"
                "again: already shared\nchanged byte: changed\nchanged size: changed\n"
                "small: shared 300\n"},
    };
    for (const auto& c : cases) {
        TTempTree tree;
        const TChildRun run = OnFreshFileSystem(tree, c.Type, [](const std::string& folder) {
            std::string report = FileSystemCanShare(folder) ? "can share\n" : "cannot share\n";
            const std::string content = RandomContent(1048699, 7);
            const std::string kept = Write(folder + "kept", content);
            const std::string copy = Write(folder + "copy", content);
            ::chmod(copy.c_str(), 0640);
            if (::chown(copy.c_str(), 1234, 5678) != 0)
                return std::string("cannot give the copy another owner");
            const timespec times[2] = {{1500000000, 1}, {1500000000, 123456789}};
            ::utimensat(AT_FDCWD, copy.c_str(), times, 0);
            const std::string factsBefore = KeptFactsLine(copy);
            report += "large: " + Outcome(ShareStorage(kept, copy)) + "\n";
            report += KeptFactsLine(copy) == factsBefore
                          ? "facts kept\n"
                          : "facts now " + KeptFactsLine(copy) + "\n";
            report += TTempTree::ReadFile(copy) == content ? "content kept\n" : "content lost\n";
            report += "again: " + Outcome(ShareStorage(kept, copy)) + "\n";

            std::string changed = content;
            changed.back() ^= 1;
            report +=
                "changed byte: " + Outcome(ShareStorage(kept, Write(folder + "changed", changed))) +
                "\n";
            report += "changed size: " +
                      Outcome(ShareStorage(kept, Write(folder + "longer", content + "x"))) + "\n";
            const std::string small = RandomContent(300, 8);
            report += "small: " +
                      Outcome(ShareStorage(Write(folder + "small", small),
                                           Write(folder + "small-copy", small))) +
                      "\n";
            return report;
        });
        if (!run.Ran)
            GTEST_SKIP() << run.Output;
        EXPECT_EQ(run.Output, c.Expected) << "on " << c.Type;
    }
}

TEST(SharedStorage, FileSystemsWithoutSharingRefuseWithAReason) {
    for (const char* type : {"ext4", "tmpfs"}) {
        TTempTree tree;
        const TChildRun run = OnFreshFileSystem(tree, type, [](const std::string& folder) {
            const std::string content = RandomContent(70000, 9);
            const TShareOutcome outcome =
                ShareStorage(Write(folder + "kept", content), Write(folder + "copy", content));
            return std::string(FileSystemCanShare(folder) ? "can share" : "cannot share") + ", " +
                   NameOf(outcome.Result) + (outcome.Reason.empty() ? ", no reason" : "");
        });
        if (!run.Ran)
            GTEST_SKIP() << run.Output;
        EXPECT_EQ(run.Output, "cannot share, refused") << "on " << type;
    }
}

} // namespace
} // namespace parvex
