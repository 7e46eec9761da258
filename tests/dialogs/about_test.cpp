#include "dialogs/about.h"
#include "support/qt/modal_driver.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
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
