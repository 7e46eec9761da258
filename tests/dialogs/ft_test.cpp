#include "dialogs/ft.h"
#include "dialogs/settings_user.h"
#include "settings_fixture.h"
#include "support/qt/modal_driver.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace parvex {
namespace {

using testing::WhenModalOpens;

class FileMaskTest : public test::SettingsFolder {
protected:
    void SetUp() override {
        Store = std::make_unique<TD_settings_user>(SettingsFile());
        Dialog = std::make_unique<TF_ft>(Store.get());
    }

    QStringList StoredHistory() {
        QStringList lines;
        Store->ReadList(lines, "LAST_USED_EXTS");
        return lines;
    }

    // A radio button answers clicks on its circle and caption only, not across its whole row.
    static void ClickRadio(QRadioButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }

    static QStringList Numbered(int count) {
        QStringList lines;
        for (int i = 1; i <= count; ++i)
            lines << QStringLiteral("*.m%1").arg(i);
        return lines;
    }

    // The widget that has the keyboard: where a user's key presses arrive.
    static QWidget* Focused() {
        QWidget* focused = QApplication::focusWidget();
        EXPECT_NE(focused, nullptr) << "nothing has the keyboard";
        return focused;
    }

    // A showing that should have ended: fails the test and closes the dialog, so that the test
    // goes on.
    static void CloseIfStillOpen(QDialog& dialog) {
        if (!dialog.isVisible())
            return;
        ADD_FAILURE() << "the dialog is still open";
        dialog.reject();
    }

    // One showing as a user goes through it: a click on "Custom file mask:", Tab into the box,
    // the mask typed, then Enter, a click on "Ok" or one on "Cancel".
    enum class Finish { Enter, Ok, Cancel };
    QString ChooseTyped(const QString& typed, Finish finish, const QString& current = "*.old") {
        WhenModalOpens([&](QDialog& dialog) {
            ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
            ClickRadio(Dialog->RB_custom);
            QTest::keyClick(Focused(), Qt::Key_Tab);
            QTest::keySequence(Focused(), QKeySequence::SelectAll);
            QTest::keyClicks(Focused(), typed);
            if (finish == Finish::Enter)
                QTest::keyClick(Focused(), Qt::Key_Return);
            else
                QTest::mouseClick(finish == Finish::Ok ? Dialog->btn_ok : Dialog->btn_cancel,
                                  Qt::LeftButton);
            CloseIfStillOpen(dialog);
        });
        return Dialog->ChooseMask(current);
    }

    std::unique_ptr<TD_settings_user> Store;
    std::unique_ptr<TF_ft> Dialog;
};

TEST_F(FileMaskTest, StartsWithAllFilesAndADisabledGreyBox) {
    EXPECT_TRUE(Dialog->RB_all->isChecked());
    EXPECT_EQ(Dialog->CB_masks->currentText(), QStringLiteral("*.*"));
    EXPECT_FALSE(Dialog->CB_masks->isEnabled());
    const QPalette app = QApplication::palette(Dialog->CB_masks);
    EXPECT_EQ(Dialog->CB_masks->palette().color(QPalette::Base), app.color(QPalette::Button));

    Dialog->RB_custom->setChecked(true);
    Dialog->RB_click();
    EXPECT_TRUE(Dialog->CB_masks->isEnabled());
    EXPECT_EQ(Dialog->CB_masks->palette().color(QPalette::Base), app.color(QPalette::Base));
    EXPECT_EQ(Dialog->btn_ok->text(), QStringLiteral("Ok"));
    EXPECT_FALSE(Dialog->btn_ok->isDefault());
}

TEST_F(FileMaskTest, EnterAddsTheMaskFirstAndAccepts) {
    Store->WriteList(QStringList{"*.doc"}, "LAST_USED_EXTS");
    EXPECT_EQ(ChooseTyped(QStringLiteral("  *.jpg;*.png "), Finish::Enter),
              QStringLiteral("*.jpg;*.png"));
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_TRUE(Dialog->Accepted);
    EXPECT_EQ(StoredHistory(), (QStringList{"*.jpg;*.png", "*.doc"}));
    EXPECT_EQ(Dialog->HistoryLines(), (QStringList{"*.jpg;*.png", "*.doc"}));
}

TEST_F(FileMaskTest, EnterReachesTheBoxThatHasTheKeyboard) {
    WhenModalOpens([&](QDialog& dialog) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        ClickRadio(Dialog->RB_custom);
        QTest::keyClick(Focused(), Qt::Key_Tab);
        QTest::keyClick(Focused(), Qt::Key_Enter);
        CloseIfStillOpen(dialog);
    });
    EXPECT_EQ(Dialog->ChooseMask(QStringLiteral("*.old")), QStringLiteral("*.*"));
    EXPECT_TRUE(Dialog->Accepted) << "keypad Enter accepts as well";
    EXPECT_EQ(StoredHistory(), QStringList{QStringLiteral("*.*")});
}

TEST_F(FileMaskTest, OkAcceptsWithoutAddingToTheHistory) {
    Store->WriteList(QStringList{"*.doc"}, "LAST_USED_EXTS");
    EXPECT_EQ(ChooseTyped(QStringLiteral("*.txt"), Finish::Ok), QStringLiteral("*.txt"));
    EXPECT_EQ(StoredHistory(), QStringList{QStringLiteral("*.doc")});
    EXPECT_EQ(Dialog->CB_masks->currentText(), QStringLiteral("*.txt")) << "kept for next time";
}

TEST_F(FileMaskTest, CancelReturnsTheCurrentMaskAndLeavesTheHistory) {
    Store->WriteList(QStringList{"*.doc"}, "LAST_USED_EXTS");
    EXPECT_EQ(ChooseTyped(QStringLiteral("*.new"), Finish::Cancel, "*.cur"),
              QStringLiteral("*.cur"));
    EXPECT_FALSE(Dialog->Accepted);
    EXPECT_EQ(StoredHistory(), QStringList{QStringLiteral("*.doc")});
}

TEST_F(FileMaskTest, AListedMaskInAnotherCaseKeepsItsPlaceAndCase) {
    Store->WriteList(QStringList{"*.doc", "*.JPG", "*.txt"}, "LAST_USED_EXTS");
    EXPECT_EQ(ChooseTyped(QStringLiteral(" *.jpg"), Finish::Enter), QStringLiteral("*.jpg"));
    EXPECT_EQ(StoredHistory(), (QStringList{"*.doc", "*.JPG", "*.txt"}));
}

TEST_F(FileMaskTest, TheTypedMaskIsNotCompletedFromTheHistory) {
    Store->WriteList(QStringList{"*.docx", "*.jpg"}, "LAST_USED_EXTS");
    EXPECT_EQ(ChooseTyped(QStringLiteral("*.doc"), Finish::Enter), QStringLiteral("*.doc"));
    EXPECT_EQ(ChooseTyped(QStringLiteral("*.JPG"), Finish::Enter), QStringLiteral("*.JPG"));
    EXPECT_EQ(StoredHistory(), (QStringList{"*.doc", "*.docx", "*.jpg"}));
}

TEST_F(FileMaskTest, AdditionsKeepTenLinesOrDropOneFromALongerHistory) {
    struct Case {
        int stored;
        int afterAddition;
    };
    for (const Case c : {Case{10, 10}, Case{12, 12}, Case{3, 4}}) {
        Store->WriteList(Numbered(c.stored), "LAST_USED_EXTS");
        ChooseTyped(QStringLiteral("*.new"), Finish::Enter);
        const QStringList history = StoredHistory();
        ASSERT_EQ(history.size(), c.afterAddition) << "stored " << c.stored;
        EXPECT_EQ(history.first(), QStringLiteral("*.new"));
        EXPECT_EQ(history.last(), Numbered(c.afterAddition - 1).last()) << "stored " << c.stored;
    }
}

TEST_F(FileMaskTest, AStoredLongHistoryIsShownWhole) {
    Store->WriteList(Numbered(12), "LAST_USED_EXTS");
    ChooseTyped(QStringLiteral("*.x"), Finish::Cancel);
    EXPECT_EQ(Dialog->HistoryLines(), Numbered(12));
}

TEST_F(FileMaskTest, AllFilesGivesStarDotStarAndBlankCustomToo) {
    ChooseTyped(QStringLiteral("*.keep"), Finish::Ok);
    WhenModalOpens([&](QDialog&) {
        ClickRadio(Dialog->RB_all);
        QTest::mouseClick(Dialog->btn_ok, Qt::LeftButton);
    });
    EXPECT_EQ(Dialog->ChooseMask(QStringLiteral("*.cur")), QStringLiteral("*.*"));
    EXPECT_EQ(Dialog->CB_masks->currentText(), QStringLiteral("*.keep"));
    EXPECT_FALSE(Dialog->CB_masks->isEnabled());

    EXPECT_EQ(ChooseTyped(QStringLiteral("   "), Finish::Ok), QStringLiteral("*.*"));
}

TEST_F(FileMaskTest, HelpAsksForTheMaskPage) {
    QStringList topics;
    Dialog->ShowHelpTopic = [&](const QString& topic) { topics << topic; };
    QTest::mouseClick(Dialog->Btn_help, Qt::LeftButton);
    EXPECT_EQ(topics, QStringList{QStringLiteral("file_mask")});
}

} // namespace
} // namespace parvex
