#include "dialogs/ft.h"

#include "dialogs/screen_area.h"
#include "dialogs/settings.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace parvex {

namespace {
constexpr int HistoryLimit = 10;
constexpr const char* HistoryList = "LAST_USED_EXTS";
} // namespace

TF_ft::TF_ft(TD_settings* store, QWidget* parent) : QDialog(parent), store_(store) {
    setWindowTitle(QStringLiteral("File mask"));
    setModal(true);

    RB_all = new QRadioButton(QStringLiteral("All files (*.*)"), this);
    RB_custom = new QRadioButton(QStringLiteral("Custom file mask:"), this);
    RB_all->setChecked(true);

    CB_masks = new QComboBox(this);
    CB_masks->setEditable(true);
    CB_masks->setInsertPolicy(QComboBox::NoInsert);
    CB_masks->setEditText(QStringLiteral("*.*"));
    // The mask is the text as typed: completing it from the history would turn "*.JPG" into a
    // listed "*.jpg", or "*.d" into "*.doc", behind the user's back. The list is one click away.
    CB_masks->setCompleter(nullptr);
    CB_masks->setMinimumWidth(260);
    // The box is the focus proxy of its edit field: typed keys reach the box, which hands them
    // to the field directly, past any filter on the field. Enter is caught at the box.
    CB_masks->installEventFilter(this);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);

    btn_ok = new QPushButton(QStringLiteral("Ok"), this);
    btn_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Btn_help = new QPushButton(QStringLiteral("Help"), this);
    // Neither button answers Enter or Escape of its own: Enter belongs to the mask box.
    for (QPushButton* button : {btn_ok, btn_cancel, Btn_help})
        button->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btn_ok);
    buttons->addWidget(btn_cancel);
    buttons->addWidget(Btn_help);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RB_all);
    layout->addWidget(RB_custom);
    layout->addWidget(CB_masks);
    layout->addSpacing(6);
    layout->addWidget(Bevel1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(RB_all, &QRadioButton::clicked, this, &TF_ft::RB_click);
    connect(RB_custom, &QRadioButton::clicked, this, &TF_ft::RB_click);
    connect(btn_ok, &QPushButton::clicked, this, &TF_ft::btn_okClick);
    connect(btn_cancel, &QPushButton::clicked, this, &TF_ft::btn_cancelClick);
    connect(Btn_help, &QPushButton::clicked, this, &TF_ft::Btn_helpClick);
    RB_click();
}

void TF_ft::SetStore(TD_settings* store) {
    store_ = store;
}

QString TF_ft::ChooseMask(const QString& CurrentMask) {
    Accepted = false;
    QString result = CurrentMask;
    if (store_)
        store_->ReadList(CB_masks, HistoryList);
    FitIntoAvailableArea(*this);
    exec();
    if (Accepted) {
        if (RB_all->isChecked()) {
            result = QStringLiteral("*.*");
        } else {
            result = CB_masks->currentText().trimmed();
            if (result.isEmpty())
                result = QStringLiteral("*.*");
        }
    }
    return result;
}

void TF_ft::AddToHistory(const QString& Mask) {
    const QString mask = Mask.trimmed();
    if (mask.isEmpty())
        return;
    const QString typed = CB_masks->currentText();
    if (!HistoryLines().contains(mask, Qt::CaseInsensitive))
        CB_masks->insertItem(0, mask);
    if (CB_masks->count() > HistoryLimit)
        CB_masks->removeItem(CB_masks->count() - 1);
    CB_masks->setEditText(typed);
}

void TF_ft::RB_click() {
    const bool custom = RB_custom->isChecked();
    CB_masks->setEnabled(custom);
    // Window background when the box can be typed in, button face when it can't.
    QPalette palette = QApplication::palette(CB_masks);
    if (!custom)
        palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    CB_masks->setPalette(palette);
}

void TF_ft::btn_okClick() {
    Accepted = true;
    if (store_)
        store_->WriteList(CB_masks, HistoryList);
    accept();
}

void TF_ft::btn_cancelClick() {
    reject();
}

void TF_ft::Btn_helpClick() {
    if (ShowHelpTopic)
        ShowHelpTopic(QStringLiteral("file_mask"));
}

QStringList TF_ft::HistoryLines() const {
    QStringList lines;
    for (int i = 0; i < CB_masks->count(); ++i)
        lines << CB_masks->itemText(i);
    return lines;
}

bool TF_ft::eventFilter(QObject* watched, QEvent* event) {
    if (watched == CB_masks && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            AddToHistory(CB_masks->currentText());
            btn_okClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace parvex
