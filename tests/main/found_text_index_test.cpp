#include "main/found_text_index.h"
#include "main/result_builder.h"

#include <QCollator>
#include <QLocale>
#include <QTreeWidgetItem>
#include <algorithm>
#include <gtest/gtest.h>

namespace parvex::test {
namespace {

TEST(TFoundTextIndex, ForgottenNodesAreSkippedInBothDirections) {
    TResultBuilder builder;
    builder.Restart(QCollator(QLocale(QLocale::German)));
    builder.AddGroup(QStringLiteral("Ärger.txt"));
    for (const char* path : {"/a/ÄRGER.TXT", "/b/ärger.txt", "/c/Ärger.txt"})
        builder.AddFile(QString::fromUtf8(path), path);
    TFoundTextIndex index;
    const QList<QTreeWidgetItem*> groups = builder.TakeSorted(index);
    QTreeWidgetItem* first = groups[0]->child(0);
    QTreeWidgetItem* third = groups[0]->child(2);
    index.Forget(groups[0]->child(1));
    EXPECT_EQ(index.FindNext(first, QStringLiteral("ärger"), true), third);
    EXPECT_EQ(index.FindNext(third, QStringLiteral("ÄRGER"), false), first);
    EXPECT_EQ(index.FindNext(nullptr, QStringLiteral("/b/"), true), nullptr);
    // Texts end where they end: a pattern never runs on into the next node.
    EXPECT_EQ(index.FindNext(nullptr, QStringLiteral("txt/a"), true), nullptr);
    qDeleteAll(groups);
}

TEST(TFoundTextIndex, FindsAcrossEveryGroupInBothDirectionsAndMissesCleanly) {
    TResultBuilder builder;
    builder.Restart(QCollator(QLocale()));
    constexpr int kGroups = 1000;
    for (int g = 0; g < kGroups; ++g) {
        builder.AddGroup(QStringLiteral("file_%1.dat").arg(g));
        for (int f = 0; f < 3; ++f) {
            const bool needle = g == kGroups - 1 && f == 2;
            builder.AddFile(needle ? QStringLiteral("/data/Needle/file.dat")
                                   : QStringLiteral("/data/folder_%1/file_%2.dat").arg(f).arg(g),
                            QByteArray());
        }
    }
    TFoundTextIndex index;
    const QList<QTreeWidgetItem*> groups = builder.TakeSorted(index);
    const auto groupNamed = [&](const QString& name) {
        const auto found = std::find_if(groups.begin(), groups.end(), [&](QTreeWidgetItem* group) {
            return group->text(0) == name;
        });
        return found == groups.end() ? nullptr : *found;
    };
    QTreeWidgetItem* needleGroup = groupNamed(QStringLiteral("file_%1.dat").arg(kGroups - 1));
    QTreeWidgetItem* zeroGroup = groupNamed(QStringLiteral("file_0.dat"));
    ASSERT_TRUE(needleGroup && zeroGroup);
    QTreeWidgetItem* needle = needleGroup->child(0);
    ASSERT_EQ(needle->text(0), QStringLiteral("/data/Needle/file.dat"));

    EXPECT_EQ(index.FindNext(nullptr, QStringLiteral("needle"), true), needle);
    EXPECT_EQ(index.FindNext(groups.last()->child(2), QStringLiteral("/FILE_0."), false),
              zeroGroup->child(2));
    EXPECT_EQ(index.FindNext(groups.first(), QStringLiteral("nowhere"), true), nullptr);
    qDeleteAll(groups);
}

} // namespace
} // namespace parvex::test
