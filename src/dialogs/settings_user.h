#pragma once

#include "_compearer/compare_keys.h"
#include "dialogs/settings.h"
#include "dialogs/sure.h"

#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QCheckBox;
class QSpinBox;

namespace parvex {

class TFolderListEdit;
class TVelPigger;

/// The user settings dialog, which is at the same time the program's settings store: default
/// start folder, excluded folders, compare keys, protected folders and file size limits.
class TD_settings_user : public TD_settings {
    Q_OBJECT
public:
    /// Builds both pages, loads SettingsFile (or UserFile when it cannot) and shows its values.
    explicit TD_settings_user(std::string SettingsFile, QWidget* parent = nullptr,
                              std::string UserFile = {});

    /// The default start folder; an empty one first becomes the home folder (stored).
    QString GetDefaultPath();
    /// Check state of the compare key line Name ("name", "size", "time", "content", any case);
    /// false for an unknown name.
    bool IsKeyChecked(const QString& Name) const;
    /// The four compare keys as checked now.
    TCompareKeys CheckedKeys() const;
    /// Whether Path (a folder ending in "/") is listed as excluded; exact comparison.
    bool IsExcluded(const QString& Path) const;
    /// The protected folders (list "PROTECTED"), in their exact bytes.
    std::vector<std::string> ProtectedFolders() const;

    /// The page shown first, then the dialog modally; the result is of no interest.
    void ShowPage(QWidget* Page);

    void SettingsToControls() override;

    /// The "COMPARE_COND" section of the document (created when missing).
    TVelPigger* CompareCondSection();
    /// Check states from the document, then EnforceKeyRules.
    void LoadCompareKeys();
    /// No key checked gives "name"; "content" brings "size" with it.
    void EnforceKeyRules();
    /// Check states into the document: "Y" for a checked line, nothing for an unchecked one.
    void StoreCompareKeys();
    /// "Remove" is enabled exactly while an excluded folder is selected.
    void UpdateRemoveButton();
    /// Excluded folders from the document's list "DONT_SEARCH_IN".
    void LoadExcludedFolders();
    /// Excluded folders into the document's list "DONT_SEARCH_IN".
    void StoreExcludedFolders();
    /// Makes a picked folder the default start folder ("/" appended, case kept).
    void ChooseDefaultPath(const QString& Picked);
    /// Appends a picked folder ("/" appended) to the excluded folders unless it is listed.
    void AddExcludedFolder(const QString& Picked);
    /// The size fields from the attributes "MIN_SIZE" and "MAX_SIZE"; empty for no limit.
    void LoadSizeLimits();
    /// What is wrong with the size fields: the message and the field to correct; no text and no
    /// field when both hold a size or nothing and the smallest is not above the largest.
    struct TSizeLimitProblem {
        QString Text;
        QLineEdit* Field = nullptr;
    };
    TSizeLimitProblem SizeLimitProblem() const;
    /// The size fields into "MIN_SIZE" and "MAX_SIZE" when they are right; otherwise the fields
    /// show again the limits in force.
    void StoreSizeLimits();
    /// The reading threads field from the attribute "READERS": "Automatic" when it is missing.
    void LoadReaders();
    /// The reading threads field into "READERS"; "Automatic" removes the attribute.
    void StoreReaders();
    /// "Remember compared files" from "REMEMBER" of the section "STORE".
    void LoadRemember();
    /// "Remember compared files" into "REMEMBER" of the section "STORE".
    void StoreRemember();

    void Edit_DSPChange(const QString& Text);
    void Btn_rootClick();
    void LB_prohibitedClick();
    void btn_add_to_prohibitedClick();
    void btn_del_from_prohibitedClick();
    void Btn_helpClick();
    /// Every closing: keys ruled and stored, excluded and protected folders, the size limits and
    /// the reading threads stored (the file is not written).
    void FormClose();

    /// Picks an existing folder under a title; empty when cancelled. Tests replace it.
    std::function<QString(const QString& Title)> BrowseFolder;
    /// The shared confirmation dialog; without it nothing is removed.
    QPointer<TFsure> Fsure;
    /// The main window's ShowHelpTopic.
    std::function<void(const QString& topic)> ShowHelpTopic;
    /// "Forget now": empties the comparison store.
    std::function<void()> ForgetComparedFiles;

    QLabel* Label1 = nullptr;
    QLineEdit* Edit_DSP = nullptr;
    QPushButton* Btn_root = nullptr;
    QLabel* Label3 = nullptr;
    QListWidget* LB_prohibited = nullptr;
    QPushButton* btn_add_to_prohibited = nullptr;
    QPushButton* btn_del_from_prohibited = nullptr;
    QWidget* TabSheet_keys = nullptr;
    QLabel* Label2 = nullptr;
    QListWidget* CLB_comp_cond = nullptr;
    QPushButton* Btn_help = nullptr;
    /// The folders whose files no mark rule marks and no bulk command touches (page "Advanced").
    TFolderListEdit* LB_protected = nullptr;
    /// The smallest file size a search collects (page "Advanced"); empty for no limit.
    QLineEdit* Edit_min_size = nullptr;
    /// The largest file size a search collects (page "Advanced"); empty for no limit.
    QLineEdit* Edit_max_size = nullptr;
    /// How many threads a search reads files with (page "Advanced"); its lowest value, 0, shows
    /// "Automatic".
    QSpinBox* Spin_readers = nullptr;
    QCheckBox* Check_remember = nullptr;
    QPushButton* Btn_forget = nullptr;

    /// Every closing passes here: FormClose, then the dialog closes with Result.
    void done(int Result) override;

protected:
    /// A size field that holds no size, or a smallest size above the largest, is named in a
    /// message and keeps the dialog open; otherwise FormClose.
    bool OKBtnAccepting() override;

private:
    QListWidgetItem* KeyLine(const QString& Name) const;
    void SetKeyChecked(const QString& Name);
};

} // namespace parvex
