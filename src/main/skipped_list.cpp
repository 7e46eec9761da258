#include "main/skipped_list.h"

#include "dialogs/screen_area.h"
#include "main/skipped_log.h"

#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace parvex {

namespace {

QString Number(std::size_t value) {
    return QLocale().toString(static_cast<qulonglong>(value));
}

QString SummaryText(const TSkippedLog& log) {
    QString text = QStringLiteral("Files and folders not read by the last search: %1")
                       .arg(Number(log.Count()));
    if (log.Count() > log.Entries().size())
        text += QStringLiteral(" (the first %1 are listed)").arg(Number(log.Entries().size()));
    return text;
}

} // namespace

TSkippedList::TSkippedList(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Not read"));
    setSizeGripEnabled(true);

    Label_summary = new QLabel(this);
    Label_summary->setWordWrap(true);

    LV_entries = new QTreeWidget(this);
    LV_entries->setHeaderLabels({QStringLiteral("File or folder"), QStringLiteral("Reason")});
    LV_entries->setRootIsDecorated(false);
    LV_entries->setUniformRowHeights(true);
    LV_entries->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LV_entries->setSelectionMode(QAbstractItemView::ExtendedSelection);
    LV_entries->setAccessibleName(QStringLiteral("Files and folders not read"));
    LV_entries->header()->setStretchLastSection(true);
    Label_summary->setBuddy(LV_entries);

    CloseBtn = new QPushButton(QStringLiteral("Close"), this);
    CloseBtn->setDefault(true);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CloseBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label_summary);
    layout->addWidget(LV_entries, 1);
    layout->addLayout(buttons);
    resize(640, 360);
}

void TSkippedList::Fill(const TSkippedLog& Log) {
    Label_summary->setText(SummaryText(Log));
    LV_entries->clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(Log.Entries().size()));
    for (const TSkippedEntry& entry : Log.Entries()) {
        // Text only: a name may hold any byte, a line break too, and is shown, never run.
        rows << new QTreeWidgetItem(
            QStringList{QFile::decodeName(QByteArray::fromStdString(entry.Path)),
                        QString::fromLocal8Bit(entry.Reason)});
    }
    LV_entries->addTopLevelItems(rows);
    LV_entries->resizeColumnToContents(0);
    if (!rows.isEmpty())
        LV_entries->setCurrentItem(rows.first());
}

void TSkippedList::ShowLog(const TSkippedLog& Log) {
    Fill(Log);
    LV_entries->setFocus();
    FitIntoAvailableArea(*this);
    exec();
}

} // namespace parvex
