#include "dialogs/screen_area.h"
#include "dialogs/sure.h"
#include "support/qt/modal_driver.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QTextLayout>
#include <cmath>
#include <gtest/gtest.h>

namespace parvex {
namespace {

using testing::KeyTarget;
using testing::WhenModalOpens;

// Height in pixels of what the label draws, from its topmost to its lowest dark pixel.
int InkHeight(QWidget& label) {
    const QImage picture = label.grab().toImage();
    int top = picture.height(), bottom = -1;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qGray(picture.pixel(x, y)) < 128) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return bottom - top + 1;
}

struct AnswerCase {
    const char* name;
    std::function<void(TFsure&)> answer;
    bool expected;
};

TEST(FsureAsk, EachWayOfAnsweringGivesItsResult) {
    // One dialog answers all cases in turn: a No right after a Yes shows that every question
    // starts unanswered.
    const std::vector<AnswerCase> cases = {
        {"Enter", [](TFsure& d) { QTest::keyClick(&KeyTarget(d), Qt::Key_Return); }, true},
        {"keypad Enter", [](TFsure& d) { QTest::keyClick(&KeyTarget(d), Qt::Key_Enter); }, true},
        {"Yes click", [](TFsure& d) { QTest::mouseClick(d.OKBtn, Qt::LeftButton); }, true},
        {"Escape", [](TFsure& d) { QTest::keyClick(&KeyTarget(d), Qt::Key_Escape); }, false},
        {"No click", [](TFsure& d) { QTest::mouseClick(d.CancelBtn, Qt::LeftButton); }, false},
        {"close box", [](TFsure& d) { d.close(); }, false},
    };
    TFsure sure;
    for (const AnswerCase& c : cases) {
        WhenModalOpens([&](QDialog&) { c.answer(sure); });
        EXPECT_EQ(sure.Ask(QStringLiteral("Exit?")), c.expected) << c.name;
        EXPECT_EQ(sure.Confirmed, c.expected) << c.name;
        EXPECT_FALSE(sure.isVisible()) << c.name;
    }
}

TEST(FsureAsk, OpensWithYesFocusedFirstInTabOrderAndDefault) {
    TFsure sure;
    QWidget* focused = nullptr;
    QWidget* afterYes = nullptr;
    WhenModalOpens([&](QDialog& d) {
        focused = d.focusWidget();
        afterYes = sure.OKBtn->nextInFocusChain();
        d.reject();
    });
    sure.Ask(QStringLiteral("Break search porcess?"));
    EXPECT_EQ(focused, sure.OKBtn);
    EXPECT_EQ(afterYes, sure.CancelBtn);
    EXPECT_TRUE(sure.OKBtn->isDefault());
    EXPECT_EQ(sure.windowTitle(), QStringLiteral("Confirmation:"));
    EXPECT_EQ(sure.OKBtn->text(), QStringLiteral("Yes"));
    EXPECT_EQ(sure.CancelBtn->text(), QStringLiteral("No"));
}

TEST(FsureAsk, OpensCentredOverItsParent) {
    QWidget window;
    window.setGeometry(200, 150, 900, 700);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    TFsure sure(&window);
    QPoint centre;
    WhenModalOpens([&](QDialog& d) {
        centre = d.frameGeometry().center();
        d.reject();
    });
    sure.Ask(QStringLiteral("Exit?"));
    const QPoint offset = centre - window.frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 40) << "offset " << offset.x() << "," << offset.y();
}

TEST(FsureAsk, ShowsTheQuestionAsPlainTextWithItsLineBreak) {
    const QString question = QStringLiteral("Remove \"/home/<b>user</b>/tmp/\"\nfrom the list?");
    TFsure sure;
    QString shown;
    WhenModalOpens([&](QDialog& d) {
        shown = sure.Label1->text();
        d.reject();
    });
    sure.Ask(question);
    EXPECT_EQ(shown, question);
    EXPECT_EQ(sure.Label1->textFormat(), Qt::PlainText)
        << "markup in a folder name must show as typed";
    const int lineSpacing = sure.Label1->fontMetrics().lineSpacing();
    const int ink = InkHeight(*sure.Label1);
    EXPECT_GT(ink, lineSpacing * 5 / 4) << "one line only: ink " << ink << " line " << lineSpacing;
    EXPECT_LT(ink, lineSpacing * 9 / 4) << "more lines: ink " << ink << " line " << lineSpacing;
}

TEST(FsureAsk, AFolderNameWiderThanTheAreaBreaksInsteadOfBeingCut) {
    TFsure sure;
    int ink = 0;
    WhenModalOpens([&](QDialog& d) {
        ink = InkHeight(*sure.Label1);
        d.reject();
    });
    sure.Ask(QStringLiteral("/home/") + QStringLiteral("folder").repeated(20));
    const int lineSpacing = sure.Label1->fontMetrics().lineSpacing();
    EXPECT_GT(ink, lineSpacing * 5 / 4) << "ink " << ink << " line " << lineSpacing;
}

// Height in pixels that the label's text needs at the label's width, wrapping as a path must.
int NeededHeight(const QLabel& label) {
    QString text = label.text();
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(text, label.font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(label.width());
        height += line.height() + label.fontMetrics().leading();
    }
    layout.endLayout();
    return static_cast<int>(std::ceil(height));
}

TEST(FsureAskInFull, WithNoAsDefaultEnterAnswersNoAndTheNextPlainQuestionHasYesAgain) {
    TFsure sure;
    QWidget* focused = nullptr;
    WhenModalOpens([&](QDialog& d) {
        focused = d.focusWidget();
        QTest::keyClick(&KeyTarget(d), Qt::Key_Return);
    });
    EXPECT_FALSE(sure.AskInFull(QStringLiteral("Last copy?"), true));
    EXPECT_EQ(focused, sure.CancelBtn);
    EXPECT_TRUE(sure.CancelBtn->isDefault());
    EXPECT_FALSE(sure.OKBtn->isDefault());

    WhenModalOpens([&](QDialog&) { QTest::mouseClick(sure.OKBtn, Qt::LeftButton); });
    EXPECT_TRUE(sure.AskInFull(QStringLiteral("Last copy?"), true)) << "Yes is still a click away";

    WhenModalOpens([&](QDialog& d) { QTest::keyClick(&KeyTarget(d), Qt::Key_Return); });
    EXPECT_TRUE(sure.AskInFull(QStringLiteral("Another copy is left."), false));
    WhenModalOpens([&](QDialog& d) { QTest::keyClick(&KeyTarget(d), Qt::Key_Return); });
    EXPECT_TRUE(sure.Ask(QStringLiteral("Exit?")));
    EXPECT_TRUE(sure.OKBtn->isDefault());
}

// Regression: at 2x scale or with a long path the question was cut off before the words that
// matter. The text area of the design is the least it takes; a longer question widens it, then
// scrolls within the room the screen has (the design's fixed area: a departure).
TEST(FsureAsk, EveryQuestionShowsWholeOrScrollsInsideTheAvailableArea) {
    const QString path = QStringLiteral("/home/user/") +
                         QStringLiteral("a-rather-long-folder-name/").repeated(11) +
                         QStringLiteral("the-file-name.jpg");
    struct TCase {
        const char* What;
        QRect Area;
        QString Question;
        bool Scrolls;
    };
    const std::vector<TCase> cases = {
        {"short, scale 1", QRect(0, 0, 1280, 800), QStringLiteral("Exit?"), false},
        {"long path, scale 1", QRect(0, 0, 1280, 800),
         QStringLiteral("Move this file to the trash?\n\"%1\"").arg(path), false},
        {"long path, scale 2", QRect(0, 0, 640, 400),
         QStringLiteral("Move this file to the trash?\n\"%1\"").arg(path), false},
        {"many lines, scale 2", QRect(20, 30, 640, 400),
         QStringLiteral("This file is the last copy of its content.\n") +
             QStringLiteral("\"%1\"\n").arg(path).repeated(6),
         true},
    };
    for (const TCase& c : cases) {
        const TAreaSourceOverride screen([&c](const QWidget&) { return c.Area; });
        TFsure sure;
        QSize labelSize;
        QRect frame;
        int needed = 0;
        Qt::FocusPolicy scrollFocus = Qt::NoFocus;
        WhenModalOpens([&](QDialog& d) {
            labelSize = sure.Label1->size();
            frame = d.frameGeometry();
            needed = NeededHeight(*sure.Label1);
            scrollFocus = sure.Bevel1->findChild<QScrollArea*>()->focusPolicy();
            d.reject();
        });
        sure.AskInFull(c.Question, true);
        EXPECT_TRUE(c.Area.contains(QRect(frame.topLeft(), sure.size()))) << c.What;
        EXPECT_LE(sure.width(), c.Area.width()) << c.What;
        EXPECT_LE(sure.height(), c.Area.height()) << c.What;
        EXPECT_LE(needed, labelSize.height()) << c.What << ": the text needs " << needed;
        EXPECT_GE(labelSize.width(), 274) << c.What;
        EXPECT_GE(labelSize.height(), 99) << c.What;
        EXPECT_EQ(scrollFocus == Qt::StrongFocus, c.Scrolls) << c.What;
        if (c.Question == QStringLiteral("Exit?"))
            EXPECT_EQ(labelSize, QSize(274, 99)) << "the design's area for a short question";
    }
}

} // namespace
} // namespace parvex
