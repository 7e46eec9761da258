// The details pane: the facts of a file and its other names, and a preview that arrives after
// another file was chosen is dropped.
#include "main/details_pane.h"
#include "support/temp_tree.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace parvex {
namespace {

using testing::TTempTree;

// Waits for the pane to show the file it reads; the limit only guards against a hang.
void WaitShown(const TDetailsPane& pane) {
    EXPECT_TRUE(QTest::qWaitFor([&] { return !pane.Reading(); }, 60000))
        << "the pane never showed the file";
}

TEST(DetailsPaneTest, TheFactsOfTheFileAndItsOtherNamesAreListed) {
    TTempTree tree;
    const std::string path = tree.File("a b.txt", "12345");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    tree.HardLink("second.txt", "a b.txt");
    TDetailsPane pane;
    pane.ShowFile(QByteArray::fromStdString(path), {tree.Path("second.txt")});
    WaitShown(pane);
    const QString facts = pane.FactsText();
    for (const QString& line :
         {QStringLiteral("Path: ") + QString::fromStdString(path), QStringLiteral("Size: 5"),
          QStringLiteral("Modified: "), QStringLiteral("Owner: "),
          QStringLiteral("Mode: -rw-r----- (0640)"), QStringLiteral("Links: 2"),
          QStringLiteral("Other names:\n") + QString::fromStdString(tree.Path("second.txt"))})
        EXPECT_TRUE(facts.contains(line)) << "no \"" << line.toStdString() << "\" in:\n"
                                          << facts.toStdString();
    EXPECT_EQ(pane.Preview().Text, QStringLiteral("12345"));

    pane.ShowFile(QByteArray::fromStdString(tree.Path("gone")), {});
    WaitShown(pane);
    EXPECT_TRUE(pane.FactsText().contains(QStringLiteral("Error: ")))
        << pane.FactsText().toStdString();
}

TEST(DetailsPaneTest, APreviewThatArrivesAfterAnotherFileWasChosenIsDropped) {
    TTempTree tree;
    const QByteArray slow = QByteArray::fromStdString(tree.File("slow.txt", "slow"));
    const QByteArray fast = QByteArray::fromStdString(tree.File("fast.txt", "fast"));
    QSemaphore slowMayEnd;
    TDetailsPane pane;
    pane.ReadPreview = [&](const QByteArray& path, QSize box) {
        if (path == slow)
            slowMayEnd.acquire();
        return ReadFilePreview(path, box);
    };
    QSignalSpy shown(&pane, &TDetailsPane::Shown);
    pane.ShowFile(slow, {});
    pane.ShowFile(fast, {});
    WaitShown(pane);
    EXPECT_EQ(pane.Preview().Text, QStringLiteral("fast"));
    slowMayEnd.release();
    pane.WaitForReaders();
    QCoreApplication::processEvents(); // the slow result is queued to the pane: let it through
    EXPECT_EQ(pane.Preview().Text, QStringLiteral("fast"))
        << "the older file's preview replaced it";
    EXPECT_EQ(shown.count(), 1) << "previews shown";

    // A file left for a group or a missing file shows nothing of it.
    pane.ShowFile(slow, {});
    pane.ShowNothing();
    slowMayEnd.release();
    pane.WaitForReaders();
    QCoreApplication::processEvents();
    EXPECT_TRUE(pane.FactsText().isEmpty()) << pane.FactsText().toStdString();
    EXPECT_EQ(shown.count(), 1) << "previews shown";
}

} // namespace
} // namespace parvex
