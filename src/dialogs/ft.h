#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <functional>

class QComboBox;
class QFrame;
class QPushButton;
class QRadioButton;

namespace parvex {

class TD_settings;

/// The file mask dialog: all files or a custom mask with a history of the masks entered.
class TF_ft : public QDialog {
    Q_OBJECT
public:
    /// Builds the dialog on the store that keeps the history ("LAST_USED_EXTS"); none keeps it
    /// in the box only.
    explicit TF_ft(TD_settings* store, QWidget* parent = nullptr);

    /// The store that keeps the history from now on (the settings dialog, made after this one).
    void SetStore(TD_settings* store);

    /// Shows the dialog modally; returns the chosen mask, or CurrentMask when not accepted.
    QString ChooseMask(const QString& CurrentMask);

    /// Puts a trimmed mask first in the history unless it is listed in any letter case; keeps
    /// at most ten lines after an addition by dropping the last one.
    void AddToHistory(const QString& Mask);

    /// Enables the mask box and colours it by the checked radio button.
    void RB_click();
    /// Accepts: stores the history lines as they stand and closes.
    void btn_okClick();
    /// Closes without accepting.
    void btn_cancelClick();
    /// Asks for the help page "file_mask".
    void Btn_helpClick();

    /// The history as the box lists it, newest first.
    QStringList HistoryLines() const;

    /// The main window's ShowHelpTopic.
    std::function<void(const QString& topic)> ShowHelpTopic;

    bool Accepted = false;

    QRadioButton* RB_all = nullptr;
    QRadioButton* RB_custom = nullptr;
    QComboBox* CB_masks = nullptr;
    QFrame* Bevel1 = nullptr;
    QPushButton* btn_ok = nullptr;
    QPushButton* btn_cancel = nullptr;
    QPushButton* Btn_help = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Released with the settings dialog at exit; the pointer then goes null by itself.
    QPointer<TD_settings> store_;
};

} // namespace parvex
