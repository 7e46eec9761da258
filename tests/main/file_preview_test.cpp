// The preview of a file's content: pictures within a memory limit and scaled to the box, the
// start of a text, and files that must not be read (a FIFO) or cannot be decoded.
#include "main/file_preview.h"
#include "support/temp_tree.h"

#include <QImage>
#include <gtest/gtest.h>

namespace parvex {
namespace {

using testing::TTempTree;

TEST(FilePreviewTest, EachKindOfFileGetsItsPreviewWithinTheLimits) {
    TTempTree tree;
    QImage picture(800, 400, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(QString::fromStdString(tree.Path("wide.png"))));
    std::string binary;
    for (int byte = 0; byte < 256; ++byte)
        binary += static_cast<char>(byte);
    tree.Fifo("pipe");
    const struct {
        const char* what;
        std::string path;
        QSize image;    // of the picture shown; empty for none
        QString text;   // the start of the text shown
        int textLength; // the length of the text shown
        QString note;   // the start of the note
    } cases[] = {
        {"a picture larger than the box", tree.Path("wide.png"), QSize(256, 128), {}, 0, {}},
        // A header that declares 30000 × 30000 pixels, about 3.4 GiB decoded.
        {"a picture of huge declared size",
         tree.File("huge.pgm", "P5\n30000 30000\n255\n\x01"),
         {},
         {},
         0,
         QStringLiteral("Picture too large to preview (30000 × 30000)")},
        {"a FIFO", tree.Path("pipe"), {}, {}, 0, QStringLiteral("Not a regular file")},
        {"UTF-8 text",
         tree.File("a.txt", "h\xc3\xa9llo\n\tw\xc3\xb6rld\n"),
         {},
         QStringLiteral("h\u00e9llo\n\tw\u00f6rld\n"),
         13,
         {}},
        {"Latin-1 text", tree.File("l.txt", "caf\xe9"), {}, QStringLiteral("caf\u00e9"), 4, {}},
        {"control bytes",
         tree.File("c.txt", std::string("a\0b\x1b[2Jc\r", 9)),
         {},
         QStringLiteral("a\\x00b\\x1b[2Jc\\x0d"),
         18,
         {}},
        {"a binary file",
         tree.File("b.bin", binary),
         {},
         QStringLiteral("\\x00\\x01\\x02"),
         -1,
         {}},
        {"a long text",
         tree.File("long.txt", std::string(100 * 1024, 'x')),
         {},
         QStringLiteral("xxx"),
         64 * 1024,
         QStringLiteral("The first 64 KiB")},
        // The preview's end cuts "é" in two: the text is still UTF-8.
        {"a long text cut inside a character",
         tree.File("cut.txt", std::string(64 * 1024 - 1, 'y') + "\xc3\xa9 more"),
         {},
         QStringLiteral("yyy"),
         64 * 1024 - 1,
         QStringLiteral("The first 64 KiB")},
        {"a missing file", tree.Path("gone.txt"), {}, {}, 0, QStringLiteral("Not readable")},
    };
    for (const auto& c : cases) {
        const TFilePreview preview =
            ReadFilePreview(QByteArray::fromStdString(c.path), QSize(256, 256));
        EXPECT_EQ(preview.Image.isNull() ? QSize() : preview.Image.size(), c.image) << c.what;
        EXPECT_TRUE(preview.Text.startsWith(c.text))
            << c.what << ": " << preview.Text.left(40).toStdString();
        if (c.textLength >= 0)
            EXPECT_EQ(preview.Text.size(), c.textLength) << c.what;
        EXPECT_TRUE(c.note.isEmpty() ? preview.Note.isEmpty() : preview.Note.startsWith(c.note))
            << c.what << ": " << preview.Note.toStdString();
        for (const QChar ch : preview.Text)
            EXPECT_TRUE(ch == u'\n' || ch == u'\t' || ch.unicode() >= 0x20)
                << c.what << ": control character " << int(ch.unicode()) << " shown as it is";
    }
}

} // namespace
} // namespace parvex
