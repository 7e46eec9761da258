#pragma once

#include "settings/settings_store.h"

#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <string>
#include <string_view>

class QComboBox;
class QFormLayout;
class QHBoxLayout;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace parvex {

class TDmsg;

/// The settings store as a modal dialog shell ("Settings", OK saves, Cancel) that a subclass fills.
///
/// The constructor loads the settings file and the destructor saves it. A base constructor cannot
/// reach an override, so a subclass calls SettingsToControls() at the end of its own constructor.
class TD_settings : public QDialog, public TSettingsStore {
    Q_OBJECT

public:
    /// Creates the shell and loads SettingsFile (the file name comes from the caller; tests pass
    /// their own, the program passes DefaultSettingsFileName()); UserFile is the per-user file
    /// that takes the settings when SettingsFile cannot.
    explicit TD_settings(std::string SettingsFile, QWidget* parent = nullptr,
                         std::string UserFile = {});
    /// Saves the document to the settings file.
    ~TD_settings() override;

    /// Puts the document's values into the dialog's controls; the base does nothing.
    virtual void SettingsToControls();
    /// Click handler of OKBtn: saves the document (the button then closes the dialog with OK);
    /// a failed save is reported, and the dialog closes all the same.
    void OKBtnClick();

    /// The message telling that the settings file could not be read and where it was kept;
    /// empty when it was read (or was missing).
    QString LoadProblemText() const;
    /// Tells through Dmsg why the last save failed, once per run; nothing when it worked.
    void ReportSaveFailure();
    /// The program's message dialog; without it a failed save is not shown.
    QPointer<TDmsg> Dmsg;

    using TSettingsStore::ReadList;
    using TSettingsStore::WriteList;
    /// ReadList into a QStringList (entries decoded with QFile::decodeName).
    void ReadList(QStringList& Strings, std::string_view Name);
    /// WriteList from a QStringList (entries encoded with QFile::encodeName).
    void WriteList(const QStringList& Strings, std::string_view Name);
    /// ReadList into the lines of a list box; nothing happens for nullptr.
    void ReadList(QListWidget* Strings, std::string_view Name);
    /// WriteList from the lines of a list box; nothing happens for nullptr.
    void WriteList(const QListWidget* Strings, std::string_view Name);
    /// ReadList into the lines of a combo box, keeping its edit text; nothing for nullptr.
    void ReadList(QComboBox* Strings, std::string_view Name);
    /// WriteList from the lines of a combo box; nothing happens for nullptr.
    void WriteList(const QComboBox* Strings, std::string_view Name);

    QTabWidget* PageControl1;
    /// The one page of PageControl1, captioned "main"; the subclass renames it and fills it.
    QWidget* TabSheet1;
    /// The page "Advanced" once a subclass has put a setting on it; nullptr before.
    QWidget* TabSheet_advanced = nullptr;
    /// "OK": the default button; saves and closes with Accepted.
    QPushButton* OKBtn;
    /// "Cancel": closes with Rejected.
    QPushButton* CancelBtn;

protected:
    /// Runs when OKBtn is clicked, before OKBtnClick saves and the dialog closes; false keeps the
    /// dialog open and saves nothing. The base accepts.
    virtual bool OKBtnAccepting();
    /// The row of buttons below the pages (OKBtn, CancelBtn), where a subclass adds its own.
    QHBoxLayout* ButtonRow() const { return buttonRow_; }
    /// The form of the page "Advanced", made on first use: each setting there is one row of a
    /// label and its control.
    QFormLayout* AdvancedForm();

private:
    void SaveAndReport();

    QHBoxLayout* buttonRow_ = nullptr;
    QFormLayout* advancedForm_ = nullptr;
    bool saveFailureShown_ = false;
};

} // namespace parvex
