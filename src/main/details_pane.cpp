#include "main/details_pane.h"

#include "main/file_details.h"

#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace parvex {
namespace {

// The preview's box in device-independent pixels.
constexpr int kPreviewSide = 256;

} // namespace

TDetailsPane::TDetailsPane(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QStringLiteral("Details"));
    auto* column = new QVBoxLayout(this);
    facts_ = new QLabel(this);
    facts_->setTextFormat(Qt::PlainText);
    facts_->setWordWrap(true);
    facts_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    facts_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    facts_->setAccessibleName(QStringLiteral("File details"));
    picture_ = new QLabel(this);
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setAccessibleName(QStringLiteral("Picture preview"));
    text_ = new QPlainTextEdit(this);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text_->setAccessibleName(QStringLiteral("Text preview"));
    note_ = new QLabel(this);
    note_->setTextFormat(Qt::PlainText);
    note_->setWordWrap(true);
    note_->setForegroundRole(QPalette::PlaceholderText);
    column->addWidget(facts_);
    column->addWidget(picture_);
    column->addWidget(text_, 1);
    column->addWidget(note_);
    column->addStretch();
    // Room for the facts and a preview also while nothing is shown.
    setMinimumWidth(qMax(kPreviewSide, fontMetrics().averageCharWidth() * 36));
    // Two workers: a file that is slow to read never keeps the next one waiting.
    pool_.setMaxThreadCount(2);
    ShowNothing();
}

TDetailsPane::~TDetailsPane() {
    ++request_;
    WaitForReaders();
}

void TDetailsPane::WaitForReaders() {
    pool_.waitForDone();
}

void TDetailsPane::ShowNothing(const QString& note) {
    ++request_;
    reading_ = false;
    preview_ = {};
    facts_->clear();
    facts_->hide();
    picture_->clear();
    picture_->hide();
    text_->clear();
    text_->hide();
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
}

void TDetailsPane::ShowFile(const QByteArray& path, const std::vector<std::string>& otherNames) {
    ShowNothing(QStringLiteral("Reading..."));
    otherNames_.clear();
    for (const std::string& name : otherNames)
        otherNames_ += (otherNames_.isEmpty() ? QString() : QStringLiteral("\n")) +
                       QFile::decodeName(QByteArray::fromStdString(name));
    facts_->setText(QStringLiteral("Path: ") + QFile::decodeName(path));
    facts_->show();
    reading_ = true;
    const quint64 request = request_;
    // Decoded at the screen's pixel density, so the picture stays sharp at 2x.
    const qreal ratio = devicePixelRatioF();
    const QSize box = QSize(kPreviewSide, kPreviewSide) * ratio;
    pool_.start([this, request, path, box, ratio, read = ReadPreview] {
        const std::vector<std::pair<QString, QString>> facts = ReadFileDetails(path);
        TFilePreview preview = read(path, box);
        preview.Image.setDevicePixelRatio(ratio);
        QMetaObject::invokeMethod(
            this,
            [this, request, facts, preview] {
                if (request == request_)
                    Apply(facts, preview);
            },
            Qt::QueuedConnection);
    });
}

void TDetailsPane::Apply(const std::vector<std::pair<QString, QString>>& facts,
                         const TFilePreview& preview) {
    reading_ = false;
    preview_ = preview;
    QString text;
    for (const auto& [label, value] : facts)
        text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + label + QStringLiteral(": ") +
                value;
    if (!otherNames_.isEmpty())
        text += QStringLiteral("\nOther names:\n") + otherNames_;
    facts_->setText(text);
    picture_->setPixmap(QPixmap::fromImage(preview.Image));
    picture_->setVisible(!preview.Image.isNull());
    text_->setPlainText(preview.Text);
    text_->setVisible(!preview.Text.isEmpty());
    note_->setText(preview.Note);
    note_->setVisible(!preview.Note.isEmpty());
    Q_EMIT Shown();
}

QString TDetailsPane::FactsText() const {
    return facts_->text();
}

} // namespace parvex
