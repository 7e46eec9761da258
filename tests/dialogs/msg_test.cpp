#include "dialogs/msg.h"
#include "support/qt/modal_driver.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace parvex {
namespace {

using testing::KeyTarget;
using testing::WhenModalOpens;

TEST(DmsgShowText, ShowsTheTextUntilOkOrEnter) {
    TDmsg msg;
    QString shown;
    WhenModalOpens([&](QDialog& d) {
        shown = msg.Label1->text();
        QTest::keyClick(&KeyTarget(d), Qt::Key_Return);
    });
    EXPECT_EQ(msg.ShowText(QStringLiteral("No identical files fond")), QDialog::Accepted);
    EXPECT_EQ(shown, QStringLiteral("No identical files fond"));

    WhenModalOpens([&](QDialog&) { QTest::mouseClick(msg.OKBtn, Qt::LeftButton); });
    EXPECT_EQ(msg.ShowText(QStringLiteral("No mathces found")), QDialog::Accepted);
    EXPECT_EQ(msg.Label1->text(), QStringLiteral("No mathces found")) << "keeps the last text";
    EXPECT_FALSE(msg.isVisible());
    EXPECT_EQ(msg.windowTitle(), QStringLiteral("Message:"));
    EXPECT_EQ(msg.OKBtn->text(), QStringLiteral("OK"));
}

TEST(DmsgShowText, LongTextStaysInsideTheFixedArea) {
    TDmsg msg;
    QSize shortSize, longSize;
    WhenModalOpens([&](QDialog& d) {
        shortSize = d.size();
        d.accept();
    });
    msg.ShowText(QStringLiteral("OK"));
    WhenModalOpens([&](QDialog& d) {
        longSize = d.size();
        d.accept();
    });
    msg.ShowText(QStringLiteral("a long message ").repeated(60));
    EXPECT_TRUE(msg.Label1->wordWrap());
    EXPECT_EQ(msg.Label1->size(), QSize(309, 99));
    EXPECT_EQ(longSize, shortSize);
}

} // namespace
} // namespace parvex
