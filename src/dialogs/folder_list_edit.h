#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

class QListWidget;
class QPushButton;

namespace parvex {

/// A list of folders with "Add..." and "Remove" beside it. Each folder ends in "/" and is listed
/// once; the case of its name is kept.
class TFolderListEdit : public QWidget {
    Q_OBJECT
public:
    explicit TFolderListEdit(QWidget* parent = nullptr);

    /// The folders listed, in order.
    QStringList Folders() const;
    /// Lists exactly these folders.
    void SetFolders(const QStringList& folders);
    /// Appends a picked folder ("/" appended) unless it is listed; nothing for an empty text.
    void AddFolder(const QString& picked);
    /// "Add...": asks BrowseFolder for a folder and appends it.
    void AddClick();
    /// "Remove": asks ConfirmRemove, then removes the selected folder.
    void RemoveClick();

    /// Picks an existing folder under a title; empty when cancelled. Tests replace it.
    std::function<QString(const QString& title)> BrowseFolder;
    /// Asks whether a folder may leave the list; without it nothing is removed.
    std::function<bool(const QString& question)> ConfirmRemove;
    /// The title the folder browser shows.
    QString BrowseTitle = QStringLiteral("Select a folder");

    QListWidget* List = nullptr;
    QPushButton* AddButton = nullptr;
    QPushButton* RemoveButton = nullptr;

Q_SIGNALS:
    /// The folders listed changed.
    void Changed();

private:
    void UpdateRemoveButton();
};

} // namespace parvex
