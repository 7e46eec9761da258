#include "dialogs/msg.h"
#include "dialogs/screen_area.h"
#include "support/qt/modal_driver.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
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

// The design's text area is the least a message takes; a long one widens it within the screen's
// room and scrolls the rest, the dialog inside the available area (tests give the area).
TEST(DmsgShowText, ALongMessageWidensThenScrollsInsideTheAvailableArea) {
    const QRect area(10, 20, 640, 400);
    const TAreaSourceOverride screen([&area](const QWidget&) { return area; });
    TDmsg msg;
    QRect frame;
    QSize label, scroll;
    WhenModalOpens([&](QDialog& d) {
        frame = QRect(d.frameGeometry().topLeft(), d.size());
        label = msg.Label1->size();
        scroll = msg.Bevel1->findChild<QScrollArea*>()->size();
        d.accept();
    });
    msg.ShowText(QStringLiteral("a long message ").repeated(200));
    EXPECT_TRUE(area.contains(frame))
        << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
    EXPECT_GT(label.width(), 309);
    EXPECT_GT(label.height(), scroll.height()) << "the rest scrolls";

    WhenModalOpens([&](QDialog& d) {
        label = msg.Label1->size();
        d.accept();
    });
    msg.ShowText(QStringLiteral("OK"));
    EXPECT_EQ(label, QSize(309, 99));
}

} // namespace
} // namespace parvex
