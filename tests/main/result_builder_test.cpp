#include "main/found_text_index.h"
#include "main/result_builder.h"

#include <QLocale>
#include <QTreeWidgetItem>
#include <gtest/gtest.h>

namespace parvex {
namespace {

QStringList Texts(const QList<QTreeWidgetItem*>& groups) {
    QStringList texts;
    for (const QTreeWidgetItem* group : groups) {
        texts << group->text(0);
        for (int f = 0; f < group->childCount(); ++f)
            texts << QStringLiteral("  ") + group->child(f)->text(0);
    }
    return texts;
}

class TResultBuilderTest : public ::testing::Test {
protected:
    TResultBuilderTest() {
        builder.Restart(QCollator(QLocale(QLocale::English, QLocale::UnitedStates)));
    }
    ~TResultBuilderTest() override { qDeleteAll(result); }
    void Group(const char* name, std::initializer_list<const char*> files) {
        builder.AddGroup(QString::fromUtf8(name));
        for (const char* file : files)
            builder.AddFile(QString::fromUtf8(file), QByteArray(file) + "#bytes");
    }
    TResultBuilder builder;
    TFoundTextIndex index;
    QList<QTreeWidgetItem*> result;
};

TEST_F(TResultBuilderTest, GroupsByNameFilesByPathWithTheLocaleCollation) {
    Group("zeta.txt", {"/b/zeta.txt", "/a/zeta.txt"});
    Group("Alpha.txt", {"/y/Alpha.txt", "/x/Alpha.txt"});
    Group("beta.txt", {"/q/beta.txt"});
    result = builder.TakeSorted(index);
    // In byte order every capital comes before every small letter; the collation goes by the
    // letters first.
    EXPECT_EQ(Texts(result), (QStringList{
                                 QStringLiteral("Alpha.txt"),
                                 QStringLiteral("  /x/Alpha.txt"),
                                 QStringLiteral("  /y/Alpha.txt"),
                                 QStringLiteral("beta.txt"),
                                 QStringLiteral("  /q/beta.txt"),
                                 QStringLiteral("zeta.txt"),
                                 QStringLiteral("  /a/zeta.txt"),
                                 QStringLiteral("  /b/zeta.txt"),
                             }));
    EXPECT_EQ(result[0]->child(1)->data(0, Qt::UserRole).toByteArray(),
              QByteArray("/y/Alpha.txt#bytes"));
}

TEST_F(TResultBuilderTest, GroupsOfTheSameNameKeepTheirOrderAndStaySeparate) {
    Group("same", {"/first"});
    Group("a", {"/a"});
    Group("same", {"/second"});
    result = builder.TakeSorted(index);
    EXPECT_EQ(Texts(result), (QStringList{QStringLiteral("a"), QStringLiteral("  /a"),
                                          QStringLiteral("same"), QStringLiteral("  /first"),
                                          QStringLiteral("same"), QStringLiteral("  /second")}));
}

TEST_F(TResultBuilderTest, TheIndexHoldsTheNodesInDisplayOrder) {
    Group("b.txt", {"/2/b.txt", "/1/b.txt"});
    Group("a.txt", {"/1/a.txt"});
    result = builder.TakeSorted(index);
    std::vector<QString> visited;
    for (QTreeWidgetItem* node = index.FindNext(nullptr, QStringLiteral("/1/"), true); node;
         node = index.FindNext(node, QStringLiteral("/1/"), true))
        visited.push_back(node->text(0));
    EXPECT_EQ(visited,
              (std::vector<QString>{QStringLiteral("/1/a.txt"), QStringLiteral("/1/b.txt")}));
}

TEST_F(TResultBuilderTest, FileBeforeAnyGroupIsIgnoredAndRestartDropsEverything) {
    builder.AddFile(QStringLiteral("/orphan"), "/orphan");
    Group("old", {"/old"});
    builder.Restart(QCollator(QLocale(QLocale::English)));
    Group("new", {"/new"});
    result = builder.TakeSorted(index);
    EXPECT_EQ(Texts(result), (QStringList{QStringLiteral("new"), QStringLiteral("  /new")}));
    EXPECT_TRUE(builder.TakeSorted(index).isEmpty()) << "the builder kept groups it handed over";
    qDeleteAll(builder.TakeSorted(index));
}

} // namespace
} // namespace parvex
