#pragma once

#include "main/file_preview.h"

#include <QByteArray>
#include <QString>
#include <QThreadPool>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;

namespace parvex {

/// The details of the selected file beside the result: its full path, size, times, owner, mode,
/// link count and other names, and a preview of its content (a picture or the start of its
/// text). The file is read on a worker thread; a result that arrives after another file was
/// chosen is dropped.
class TDetailsPane : public QWidget {
    Q_OBJECT
public:
    explicit TDetailsPane(QWidget* parent = nullptr);
    /// Waits for the worker: its result would arrive at a pane that is gone.
    ~TDetailsPane() override;

    /// Shows the file at the exact path bytes; `otherNames` are the other names of its inode the
    /// search found.
    void ShowFile(const QByteArray& path, const std::vector<std::string>& otherNames);
    /// Shows nothing of any file, only `note` (empty for none): for a group, no selection, or a
    /// file that is missing or changed since its result was saved.
    void ShowNothing(const QString& note = {});

    /// The facts shown, one "Label: text" line each.
    QString FactsText() const;
    /// The preview shown: the picture, the text and the note.
    const TFilePreview& Preview() const { return preview_; }
    /// Waits until no worker reads a file; their results are then queued to the pane.
    void WaitForReaders();
    /// Whether the file shown is still being read.
    bool Reading() const { return reading_; }

    /// Reads a file's preview on the worker; tests replace it.
    std::function<TFilePreview(const QByteArray& path, QSize box)> ReadPreview = ReadFilePreview;

Q_SIGNALS:
    /// The file's details and preview are shown in full.
    void Shown();

private:
    void Apply(const std::vector<std::pair<QString, QString>>& facts, const TFilePreview& preview);

    QLabel* facts_ = nullptr;
    QLabel* picture_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QLabel* note_ = nullptr;
    TFilePreview preview_;
    QString otherNames_;
    bool reading_ = false;
    // Each file shown opens a request; a worker's result for an older one is dropped.
    quint64 request_ = 0;
    QThreadPool pool_;
};

} // namespace parvex
