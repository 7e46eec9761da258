#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace parvex {

/// What the details pane shows of a file's content.
struct TFilePreview {
    /// The picture, scaled to fit the box; null when the file is not shown as a picture.
    QImage Image;
    /// The start of the file as text; empty when the file is shown as a picture or not at all.
    QString Text;
    /// Why there is no preview, or what it leaves out; empty when there is nothing to say.
    QString Note;
};

/// How many bytes of a file the text preview shows.
inline constexpr qint64 kTextPreviewBytes = 64 * 1024;
/// The most memory, in MiB, a picture may take while it is decoded for the preview.
inline constexpr int kPreviewAllocationMiB = 128;

/// The start of a file as text: UTF-8 when the bytes are valid UTF-8, else Latin-1; control
/// characters other than line feed and tab are shown as "\xNN", so nothing in the file can
/// change how the text is laid out. `whole` says the bytes are the whole file, so that a
/// character cut at their end is an error rather than the edge of the preview.
QString PreviewText(const QByteArray& bytes, bool whole);

/// Reads the preview of the file at the exact path bytes: a picture Qt can read, scaled to fit
/// `box`, else the first kTextPreviewBytes as text. The file is opened without blocking and
/// only a regular file is read, so a FIFO or a device never holds the caller up; a picture
/// whose decoding would take more than kPreviewAllocationMiB is refused.
TFilePreview ReadFilePreview(const QByteArray& path, QSize box);

} // namespace parvex
