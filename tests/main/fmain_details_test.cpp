// The details pane in the main window: F3 shows and hides it, the settings remember it, and it
// follows the tree's current row, showing nothing of a group or of a file that is gone.
#include "dialogs/settings_user.h"
#include "main/details_pane.h"
#include "main/result_model.h"
#include "main_test_support.h"
#include "support/qt/modal_driver.h"

#include <QAction>
#include <QBrush>
#include <QDockWidget>
#include <QGuiApplication>
#include <QPalette>
#include <QTest>
#include <unistd.h>

namespace parvex::test {
namespace {

using testing::ActivateAgain;

class FmainDetailsTest : public TMainWindowTest {
protected:
    void Press(int key) {
        ASSERT_TRUE(ActivateAgain(window));
        QTest::keyClick(window.TV1, static_cast<Qt::Key>(key));
    }
    bool PaneShown() const { return window.DetailsPane->parentWidget()->isVisible(); }
    // Waits for the pane to show the file it reads; the limit only guards against a hang.
    void WaitShown() {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !window.DetailsPane->Reading(); }, 60000))
            << "the pane never showed the file";
    }
    TTempTree tree;
};

TEST_F(FmainDetailsTest, F3ShowsAndHidesThePaneAndTheSettingsRememberIt) {
    EXPECT_FALSE(PaneShown()) << "hidden at first";
    EXPECT_EQ(window.N_DetailsPane->text(), QStringLiteral("Details pane"));
    Press(Qt::Key_F3);
    EXPECT_TRUE(PaneShown()) << "after F3";
    Press(Qt::Key_F3);
    Press(Qt::Key_F3);
    ASSERT_TRUE(PaneShown()) << "after F3 three times";
    window.ReleaseUserSettings();

    TFmain again(std::make_unique<TD_settings_user>(settingsFolder.Path("parvex.set")));
    again.show();
    EXPECT_TRUE(again.N_DetailsPane->isChecked()) << "the next window forgot the pane";
    EXPECT_TRUE(again.DetailsPane->parentWidget()->isVisible());
}

TEST_F(FmainDetailsTest, ThePaneFollowsTheCurrentRowAndShowsNothingOfGroupsOrMissingFiles) {
    const std::string one = tree.File("a/one.txt", "same text");
    const std::string two = tree.File("b/one.txt", "same text");
    ReportResult({{"one.txt", {one, two}}});
    Press(Qt::Key_F3);

    Select(0, 1);
    WaitShown();
    EXPECT_TRUE(window.DetailsPane->FactsText().startsWith(QStringLiteral("Path: ") +
                                                           QString::fromStdString(two)))
        << window.DetailsPane->FactsText().toStdString();
    EXPECT_EQ(window.DetailsPane->Preview().Text, QStringLiteral("same text"));

    Press(Qt::Key_Up);
    WaitShown();
    EXPECT_TRUE(window.DetailsPane->FactsText().startsWith(QStringLiteral("Path: ") +
                                                           QString::fromStdString(one)))
        << "after Up: " << window.DetailsPane->FactsText().toStdString();

    Press(Qt::Key_Up);
    EXPECT_TRUE(window.DetailsPane->FactsText().isEmpty())
        << "a group row: " << window.DetailsPane->FactsText().toStdString();

    // A file of an opened result that is gone since the result was saved.
    const QString saved = QString::fromStdString(tree.Path("result.parvex.json"));
    ASSERT_TRUE(window.SaveResult(saved));
    ASSERT_EQ(::unlink(two.c_str()), 0);
    ASSERT_TRUE(window.OpenResult(saved));
    Select(0, 1);
    ASSERT_EQ(window.ResultModel->StateOf(window.TV1->currentIndex()), TFileState::Missing);
    EXPECT_TRUE(window.DetailsPane->FactsText().isEmpty())
        << "a missing file: " << window.DetailsPane->FactsText().toStdString();
    EXPECT_EQ(window.DetailsPane->Preview().Note, QString());
    // The row stands back in the palette's colour for such text, which a dark palette sets too.
    EXPECT_EQ(window.TV1->currentIndex().data(Qt::ForegroundRole).value<QBrush>().color(),
              QGuiApplication::palette().color(QPalette::PlaceholderText));
}

} // namespace
} // namespace parvex::test
