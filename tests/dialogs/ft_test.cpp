#include "dialogs/ft.h"
#include "dialogs/settings_user.h"
#include "settings_fixture.h"
#include "support/qt/modal_driver.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
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

    // One showing: pick the custom mask, type it, then press Enter or click Ok.
    enum class Finish { Enter, Ok, Cancel };
    QString ChooseTyped(const QString& typed, Finish finish, const QString& current = "*.old") {
        WhenModalOpens([&](QDialog&) {
            ClickRadio(Dialog->RB_custom);
            QLineEdit* edit = Dialog->CB_masks->lineEdit();
            edit->clear();
            QTest::keyClicks(edit, typed);
            if (finish == Finish::Enter)
                QTest::keyClick(edit, Qt::Key_Return);
            else
                QTest::mouseClick(finish == Finish::Ok ? Dialog->btn_ok : Dialog->btn_cancel,
                                  Qt::LeftButton);
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
    EXPECT_EQ(StoredHistory(), (QStringList{"*.jpg;*.png", "*.doc"}));
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
