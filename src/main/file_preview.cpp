#include "main/file_preview.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QStringConverter>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {
namespace {

// Whether a picture of this size fits the allocation limit at four bytes a pixel.
bool FitsLimit(QSize size) {
    return qint64(size.width()) * size.height() * 4 <= qint64(kPreviewAllocationMiB) << 20;
}

TFilePreview ImagePreview(QFile& file, QSize box) {
    TFilePreview preview;
    QImageReader reader(&file);
    reader.setAllocationLimit(kPreviewAllocationMiB);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && !FitsLimit(size)) {
        preview.Note = QStringLiteral("Picture too large to preview (%1 × %2)")
                           .arg(size.width())
                           .arg(size.height());
        return preview;
    }
    if (size.isValid() && (size.width() > box.width() || size.height() > box.height()))
        reader.setScaledSize(size.scaled(box, Qt::KeepAspectRatio));
    preview.Image = reader.read();
    if (preview.Image.isNull())
        preview.Note = QStringLiteral("Picture not readable: ") + reader.errorString();
    else if (preview.Image.width() > box.width() || preview.Image.height() > box.height())
        preview.Image = preview.Image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return preview;
}

} // namespace

QString PreviewText(const QByteArray& bytes, bool whole) {
    // The start of a longer file may end inside a character: a stateful decoder keeps that
    // character back instead of counting it as an error. The whole file must be valid to the end.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        whole ? QStringDecoder::Flag::Stateless : QStringDecoder::Flag::Default);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if ((c.unicode() < 0x20 && c != u'\n' && c != u'\t') || c.unicode() == 0x7f ||
            (c.unicode() >= 0x80 && c.unicode() < 0xa0))
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

TFilePreview ReadFilePreview(const QByteArray& path, QSize box) {
    TFilePreview preview;
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        preview.Note = QStringLiteral("Not readable");
        return preview;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        preview.Note = QStringLiteral("Not a regular file: no preview");
        return preview;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        preview.Note = QStringLiteral("Not readable");
        return preview;
    }
    if (!QImageReader::imageFormat(&file).isEmpty()) {
        file.seek(0);
        return ImagePreview(file, box);
    }
    file.seek(0);
    const QByteArray head = file.read(kTextPreviewBytes);
    preview.Text = PreviewText(head, st.st_size <= kTextPreviewBytes);
    if (st.st_size > kTextPreviewBytes)
        preview.Note = QStringLiteral("The first %1 KiB").arg(kTextPreviewBytes / 1024);
    return preview;
}

} // namespace parvex
