#include "dialogs/resources.h"

#include <QIcon>
#include <QImage>
#include <gtest/gtest.h>

namespace parvex {
namespace {

TEST(InitResources, ProvidesTheSixToolbarPicturesAndTheIcon) {
    InitResources();
    for (int index = 1; index <= 6; ++index) {
        const QImage picture(QStringLiteral(":/toolbar/%1.png").arg(index));
        EXPECT_EQ(picture.size(), QSize(32, 32)) << "toolbar image " << index;
        EXPECT_TRUE(picture.hasAlphaChannel()) << "toolbar image " << index;
        const QImage sharp(QStringLiteral(":/toolbar/%1@2x.png").arg(index));
        EXPECT_EQ(sharp.size(), QSize(64, 64))
            << "toolbar image " << index << " for double density";
    }
    EXPECT_EQ(QImage(QStringLiteral(":/parvex.png")).size(), QSize(256, 256));
    EXPECT_EQ(QImage(QStringLiteral(":/parvex-48.png")).size(), QSize(48, 48));
}

} // namespace
} // namespace parvex
