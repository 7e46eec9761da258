#include "dialogs/find_dialog.h"
#include "main/result_builder.h"
#include "main/search_in_found.h"
#include "main_test_support.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

namespace parvex::test {
namespace {

class SearchInFoundTest : public TMainWindowTest {
protected:
    SearchInFoundTest() {
        ReportResult({
            {"c.Txt", {"/d5/c.Txt", "/d4/c.Txt"}},
            {"a.txt", {"/d1/a.txt", "/d2/a.txt"}},
            {"b.doc", {"/d1/b.doc", "/d3/b.doc"}},
        });
    }
    /// Presses Find Next with the text and direction, returns what the search selected or said.
    QString Find(const QString& text, bool down) {
        window.FindDialog1->Edit_text->setText(text);
        (down ? window.FindDialog1->RB_down : window.FindDialog1->RB_up)->setChecked(true);
        const std::size_t before = modals.Shown.size();
        window.FindDialog1->Btn_find_next->click();
        if (modals.Shown.size() > before)
            return modals.Shown.back();
        const QTreeWidgetItem* node = window.SelectedNode();
        return node ? node->text(0) : QStringLiteral("(none)");
    }
    QStringList FindRepeatedly(const QString& text, bool down, int times) {
        QStringList seen;
        for (int i = 0; i < times; ++i)
            seen << Find(text, down);
        return seen;
    }
};

const QString kNoMatch = QStringLiteral("msg: No mathces found");

TEST_F(SearchInFoundTest, DownVisitsEveryMatchOnceThenReportsTheEndTwiceThenUpGoesBack) {
    EXPECT_EQ(FindRepeatedly(QStringLiteral("txt"), true, 8),
              (QStringList{QStringLiteral("a.txt"), QStringLiteral("/d1/a.txt"),
                           QStringLiteral("/d2/a.txt"), QStringLiteral("c.Txt"),
                           QStringLiteral("/d4/c.Txt"), QStringLiteral("/d5/c.Txt"), kNoMatch,
                           kNoMatch}));
    EXPECT_EQ(FindRepeatedly(QStringLiteral("txt"), false, 2),
              (QStringList{QStringLiteral("/d4/c.Txt"), QStringLiteral("c.Txt")}));
}

TEST_F(SearchInFoundTest, UpFirstExaminesOnlyTheFirstNodeThenDownStartsAtTheTop) {
    EXPECT_EQ(Find(QStringLiteral("b.doc"), false), kNoMatch);
    EXPECT_EQ(window.FindPosition, nullptr);
    EXPECT_EQ(Find(QStringLiteral("b.doc"), true), QStringLiteral("b.doc"));
    EXPECT_EQ(Find(QStringLiteral("a.txt"), false), QStringLiteral("/d2/a.txt"));
}

TEST_F(SearchInFoundTest, EmptyOrBlankPatternMatchesNothing) {
    EXPECT_EQ(Find(QString(), true), kNoMatch);
    EXPECT_EQ(Find(QStringLiteral("   \t"), true), kNoMatch);
}

TEST_F(SearchInFoundTest, LowerCasePatternWithBlanksFindsUpperCaseTextInACollapsedGroup) {
    EXPECT_EQ(Find(QStringLiteral("  /D4/C.TXT "), true), QStringLiteral("/d4/c.Txt"));
    EXPECT_TRUE(window.TV1->topLevelItem(2)->isExpanded()) << "the found file's group stays shut";
    EXPECT_EQ(Find(QStringLiteral(" c.txt"), true), QStringLiteral("/d5/c.Txt"));
}

TEST_F(SearchInFoundTest, AfterAMatchTheNextFindGoesOnFromItNotFromTheSelection) {
    EXPECT_EQ(Find(QStringLiteral("/d1/"), true), QStringLiteral("/d1/a.txt"));
    Select(2, 1);
    EXPECT_EQ(Find(QStringLiteral("/d1/"), true), QStringLiteral("/d1/b.doc"));
    EXPECT_EQ(Find(QStringLiteral("/d1/"), true), kNoMatch);
    // A miss with nothing selected sends the next search back to the first node.
    window.TV1->setCurrentItem(nullptr);
    window.TV1->clearSelection();
    EXPECT_EQ(Find(QStringLiteral("/d1/"), true), kNoMatch);
    EXPECT_EQ(Find(QStringLiteral("/d1/"), true), QStringLiteral("/d1/a.txt"));
}

TEST_F(SearchInFoundTest, NewSearchResultForgetsThePosition) {
    EXPECT_EQ(Find(QStringLiteral("/d2/"), true), QStringLiteral("/d2/a.txt"));
    ReportResult({{"z", {"/d2/z", "/d9/z"}}});
    EXPECT_EQ(window.FindPosition, nullptr);
    EXPECT_EQ(Find(QStringLiteral("/d2/"), true), QStringLiteral("/d2/z"));
}

TEST_F(SearchInFoundTest, ToolbarAndMenuShowTheDialogOnlyWithResults) {
    window.N_Searchinfound->trigger();
    EXPECT_TRUE(window.FindDialog1->isVisible());
    window.FindDialog1->hide();
    ReportResult({});
    window.TB_search_in_found->trigger();
    EXPECT_FALSE(window.FindDialog1->isVisible());
}

// Regression: the search once started from a node that a file command had removed.
class SearchAfterRemovalTest : public TMainWindowTest {};

TEST_F(SearchAfterRemovalTest, RemovedPositionMakesTheNextSearchStartAtTheFirstNode) {
    TTempTree files;
    const std::string first = files.File("one/x.bin", "x");
    const std::string second = files.File("two/x.bin", "x");
    ReportResult({{"x.bin", {first, second}}});
    window.FindDialog1->Edit_text->setText(QStringLiteral("/two/"));
    window.FindDialog1Find();
    ASSERT_EQ(window.SelectedNode()->text(0).toStdString(), second);
    window.ChooseMoveDestination = [&](const QString&, const QString&) {
        return QString::fromStdString(files.Path("moved.bin"));
    };
    window.TB_moveClick();
    ASSERT_EQ(window.TV1->topLevelItem(0)->childCount(), 1);
    EXPECT_EQ(window.FindPosition, nullptr);
    window.FindDialog1->Edit_text->setText(QStringLiteral("x.bin"));
    window.FindDialog1Find();
    EXPECT_EQ(window.SelectedNode(), window.TV1->topLevelItem(0));
}

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

TEST(TFoundTextIndex, AnswersWithinTwoHundredMillisecondsOnThreeHundredThousandFiles) {
    TResultBuilder builder;
    builder.Restart(QCollator(QLocale()));
    for (int g = 0; g < 100000; ++g) {
        builder.AddGroup(QStringLiteral("file_%1.dat").arg(g));
        for (int f = 0; f < 3; ++f)
            builder.AddFile(g == 99999 && f == 2
                                ? QStringLiteral("/data/Needle/file.dat")
                                : QStringLiteral("/data/folder_%1/sub_%2/file_%3.dat")
                                      .arg(f)
                                      .arg(g % 97)
                                      .arg(g),
                            QByteArray());
    }
    TFoundTextIndex index;
    const QList<QTreeWidgetItem*> groups = builder.TakeSorted(index);
    QTreeWidgetItem* needle = nullptr;
    QTreeWidgetItem* zero = nullptr;
    for (QTreeWidgetItem* group : groups) {
        if (group->text(0) == QStringLiteral("file_99999.dat"))
            needle = group->child(0);
        if (group->text(0) == QStringLiteral("file_0.dat"))
            zero = group->child(2);
    }
    ASSERT_TRUE(needle && zero);
    ASSERT_EQ(needle->text(0), QStringLiteral("/data/Needle/file.dat"));

    QElapsedTimer clock;
    clock.start();
    QTreeWidgetItem* down = index.FindNext(nullptr, QStringLiteral("needle"), true);
    const qint64 downMs = clock.restart();
    QTreeWidgetItem* up =
        index.FindNext(groups.last()->child(2), QStringLiteral("/FILE_0."), false);
    const qint64 upMs = clock.restart();
    QTreeWidgetItem* miss = index.FindNext(groups.first(), QStringLiteral("nowhere"), true);
    const qint64 missMs = clock.elapsed();
    EXPECT_EQ(down, needle);
    EXPECT_EQ(up, zero);
    EXPECT_EQ(miss, nullptr);
    std::printf("400000 nodes: Find Next down %lld ms, up %lld ms, miss %lld ms\n",
                static_cast<long long>(downMs), static_cast<long long>(upMs),
                static_cast<long long>(missMs));
    EXPECT_LT(downMs, 200);
    EXPECT_LT(upMs, 200);
    EXPECT_LT(missMs, 200);
    qDeleteAll(groups);
}

} // namespace
} // namespace parvex::test
