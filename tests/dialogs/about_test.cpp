#include "dialogs/about.h"
#include "support/qt/modal_driver.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

namespace parvex {
namespace {

using testing::KeyTarget;
using testing::WhenModalOpens;

TEST(AboutBox, ShowsNameVersionAndOwnPicture) {
    TF_about about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(about.Label2->text(), QStringLiteral("Parvex"));
    EXPECT_TRUE(about.Label2->font().bold());
    EXPECT_EQ(about.Label_version->text(), QStringLiteral("v 1.1"));
    EXPECT_TRUE(about.Label_version->font().bold());
    EXPECT_EQ(about.Label_version->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_FALSE(about.Image1->pixmap().isNull());
    EXPECT_EQ(about.size(), QSize(325, 186));
}

// The WCAG contrast ratio of two colours: 1 (none) to 21 (black on white).
double Contrast(const QColor& one, const QColor& two) {
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double a = luminance(one) + 0.05;
    const double b = luminance(two) + 0.05;
    return a > b ? a / b : b / a;
}

TEST(AboutBox, ItsColouredTextStaysReadableOnLightAndDarkPalettes) {
    const QPalette original = QApplication::palette();
    QPalette dark = original;
    dark.setColor(QPalette::Window, QColor(30, 30, 32));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    const struct {
        const char* what;
        QPalette palette;
    } palettes[] = {{"the default palette", original}, {"a dark palette", dark}};
    for (const auto& p : palettes) {
        QApplication::setPalette(p.palette);
        TF_about about;
        for (const QLabel* label : {about.Label_version, about.Label_http}) {
            const double contrast = Contrast(label->palette().color(QPalette::WindowText),
                                             about.palette().color(QPalette::Window));
            EXPECT_GE(contrast, 3.0) << p.what << ", " << label->text().toStdString();
        }
    }
    QApplication::setPalette(original);
}

TEST(AboutBox, NamesTheLicenceOnOneLineThatFits) {
    TF_about about;
    EXPECT_EQ(about.Label4->text(), QStringLiteral("MIT License, no warranty."));
    EXPECT_FALSE(about.Label4->wordWrap());
    EXPECT_LE(about.Label4->fontMetrics().horizontalAdvance(about.Label4->text()),
              about.Label4->width());
    EXPECT_LE(about.Label4->geometry().right(), about.Btn_ok->geometry().left())
        << "the notice stays clear of the Ok button";
}

TEST(AboutBox, NameAndAddressOpenTheSamePage) {
    TF_about about;
    about.MakerAddress = QUrl::fromLocalFile(QStringLiteral("/usr/share/parvex/help/index.html"));
    std::vector<QUrl> opened;
    about.OpenUrl = [&](const QUrl& url) { opened.push_back(url); };
    about.show();
    QTest::mouseClick(about.Label1, Qt::LeftButton);
    QTest::mouseClick(about.Label_http, Qt::LeftButton);
    EXPECT_EQ(opened, (std::vector<QUrl>{about.MakerAddress, about.MakerAddress}));
}

TEST(AboutBox, EnterPressesOkAndEscapeDoesNotClose) {
    TF_about about;
    bool stillOpenAfterEscape = false;
    WhenModalOpens([&](QDialog& box) {
        QTest::keyClick(&KeyTarget(box), Qt::Key_Escape);
        stillOpenAfterEscape = box.isVisible();
        EXPECT_EQ(box.focusWidget(), about.Btn_ok);
        QTest::keyClick(&KeyTarget(box), Qt::Key_Return);
    });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
    EXPECT_TRUE(stillOpenAfterEscape);
}

} // namespace
} // namespace parvex
