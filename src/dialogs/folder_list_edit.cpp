#include "dialogs/folder_list_edit.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace parvex {

TFolderListEdit::TFolderListEdit(QWidget* parent) : QWidget(parent) {
    List = new QListWidget(this);
    List->setSelectionMode(QAbstractItemView::SingleSelection);
    AddButton = new QPushButton(QStringLiteral("Add..."), this);
    RemoveButton = new QPushButton(QStringLiteral("Remove"), this);
    AddButton->setAutoDefault(false);
    RemoveButton->setAutoDefault(false);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(AddButton);
    buttons->addWidget(RemoveButton);
    buttons->addStretch();
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(List, 1);
    row->addLayout(buttons);
    connect(AddButton, &QPushButton::clicked, this, &TFolderListEdit::AddClick);
    connect(RemoveButton, &QPushButton::clicked, this, &TFolderListEdit::RemoveClick);
    connect(List, &QListWidget::itemSelectionChanged, this, &TFolderListEdit::UpdateRemoveButton);
    UpdateRemoveButton();
}

QStringList TFolderListEdit::Folders() const {
    QStringList folders;
    for (int i = 0; i < List->count(); ++i)
        folders << List->item(i)->text();
    return folders;
}

void TFolderListEdit::SetFolders(const QStringList& folders) {
    List->clear();
    List->addItems(folders);
    UpdateRemoveButton();
}

void TFolderListEdit::AddFolder(const QString& picked) {
    if (picked.isEmpty())
        return;
    const QString entry = picked.endsWith(QLatin1Char('/')) ? picked : picked + QLatin1Char('/');
    if (Folders().contains(entry))
        return;
    List->addItem(entry);
    Q_EMIT Changed();
}

void TFolderListEdit::AddClick() {
    if (BrowseFolder)
        AddFolder(BrowseFolder(BrowseTitle));
}

void TFolderListEdit::RemoveClick() {
    QListWidgetItem* selected = List->currentItem();
    if (selected == nullptr || !selected->isSelected() || !ConfirmRemove)
        return;
    if (!ConfirmRemove(QStringLiteral("Remove \"%1\"\nfrom the list?").arg(selected->text())))
        return;
    delete selected;
    List->clearSelection();
    UpdateRemoveButton();
    Q_EMIT Changed();
}

void TFolderListEdit::UpdateRemoveButton() {
    RemoveButton->setEnabled(!List->selectedItems().isEmpty());
}

} // namespace parvex
