#include "dialogs/find_dialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace parvex {
namespace {

class FindDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        dialog.Execute();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    TFindDialog dialog;
    QSignalSpy finds{&dialog, &TFindDialog::Find};
};

TEST_F(FindDialogTest, StartsModelessEmptyAndSearchingDown) {
    EXPECT_FALSE(dialog.isModal());
    EXPECT_TRUE(dialog.FindText().isEmpty());
    EXPECT_TRUE(dialog.SearchDown());
    EXPECT_TRUE(dialog.Btn_find_next->isDefault());
    EXPECT_TRUE(dialog.Btn_find_next->isEnabled()) << "an empty text is searched too";
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Search in found"));
}

TEST_F(FindDialogTest, FindNextAndEnterRaiseFindAndKeepTheDialogOpen) {
    QTest::keyClicks(dialog.Edit_text, QStringLiteral("txt"));
    QTest::keyClick(dialog.Edit_text, Qt::Key_Return);
    QTest::mouseClick(dialog.Btn_find_next, Qt::LeftButton);
    EXPECT_EQ(finds.count(), 2);
    EXPECT_EQ(dialog.FindText(), QStringLiteral("txt"));
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(FindDialogTest, EmptyTextStillRaisesFind) {
    QTest::mouseClick(dialog.Btn_find_next, Qt::LeftButton);
    EXPECT_EQ(finds.count(), 1);
    EXPECT_EQ(dialog.FindText(), QString());
}

TEST_F(FindDialogTest, CancelAndEscapeHideItAndTheTextAndDirectionStay) {
    QTest::keyClicks(dialog.Edit_text, QStringLiteral(" report "));
    QTest::mouseClick(dialog.RB_up, Qt::LeftButton);
    EXPECT_FALSE(dialog.SearchDown());

    QTest::mouseClick(dialog.Btn_cancel, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    dialog.Execute();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.FindText(), QStringLiteral(" report ")) << "kept as typed";
    EXPECT_FALSE(dialog.SearchDown());
    EXPECT_EQ(dialog.Edit_text->selectedText(), QStringLiteral(" report ")) << "ready to retype";

    QTest::keyClick(dialog.Edit_text, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    QTest::mouseClick(dialog.RB_down, Qt::LeftButton);
    EXPECT_TRUE(dialog.SearchDown());
    EXPECT_EQ(finds.count(), 0) << "neither Cancel nor Escape searches";
}

} // namespace
} // namespace parvex
