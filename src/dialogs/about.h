#pragma once

#include "dialogs/help_topic.h"

#include <QDialog>
#include <QUrl>

class QLabel;
class QPushButton;
class QFrame;

namespace parvex {

/// The about box: product name, version, the maker's name, notice and address.
class TF_about : public QDialog {
    Q_OBJECT
public:
    /// Builds the box; it is created once at start and shown modally by "About".
    explicit TF_about(QWidget* parent = nullptr);

    /// Opens the maker's page (MakerAddress) through OpenUrl; the result is ignored.
    void Label_httpClick();
    /// Closes the box.
    void Btn_okClick();

    /// The page that the maker's name and address open; the bundled help index by default.
    QUrl MakerAddress;
    /// How the page is opened; tests replace it.
    TUrlOpener OpenUrl = DesktopUrlOpener();

    QFrame* Shape1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label_version = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label_http = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* Btn_ok = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace parvex
