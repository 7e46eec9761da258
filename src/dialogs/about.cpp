#include "dialogs/about.h"

#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace parvex {

namespace {

QFont PixelFont(const QFont& base, int pixels, bool bold) {
    QFont font(base);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, const QRect& place, Qt::Alignment align,
                  const QFont& font) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(place);
    label->setAlignment(align | Qt::AlignVCenter);
    label->setFont(font);
    return label;
}

// Red text, light enough to read where the palette's window is dark.
void MakeRed(QLabel* label) {
    QPalette palette = label->palette();
    const bool darkWindow = palette.color(QPalette::Window).lightness() < 128;
    palette.setColor(QPalette::WindowText, darkWindow ? QColor(255, 120, 120) : QColor(Qt::red));
    label->setPalette(palette);
}

// The program's icon; drawn here when the resources were not initialised, so the box never
// shows an empty frame.
// `ratio` is the screen's pixel density, so that the picture stays sharp at 2x.
QPixmap ProgramPicture(int side, qreal ratio) {
    QPixmap picture(QStringLiteral(":/parvex.png"));
    if (!picture.isNull()) {
        const int pixels = qRound(side * ratio);
        picture = picture.scaled(pixels, pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        picture.setDevicePixelRatio(ratio);
        return picture;
    }
    picture = QPixmap(side, side);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 60, 110), 2));
    painter.setBrush(QColor(210, 225, 250));
    painter.drawRect(4, 4, side * 6 / 10, side * 7 / 10);
    painter.setBrush(QColor(250, 215, 200));
    painter.drawRect(side * 3 / 10, side * 2 / 10, side * 6 / 10, side * 7 / 10);
    return picture;
}

} // namespace

TF_about::TF_about(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(325, 186);
    setModal(true);

    const QFont base = PixelFont(font(), 11, false);
    setFont(base);

    Shape1 = new QFrame(this);
    Shape1->setGeometry(14, 21, 64, 64);
    Shape1->setFrameShape(QFrame::Box);

    Image1 = new QLabel(this);
    Image1->setGeometry(21, 28, 50, 50);
    Image1->setPixmap(ProgramPicture(50, devicePixelRatioF()));
    Image1->setAlignment(Qt::AlignCenter);

    Label2 = MakeLabel(this, QStringLiteral("Parvex"), QRect(186, 21, 121, 24), Qt::AlignRight,
                       PixelFont(base, 19, true));
    Label_version = MakeLabel(this, QStringLiteral("v 1.1"), QRect(242, 49, 60, 22), Qt::AlignRight,
                              PixelFont(base, 13, true));
    MakeRed(Label_version);

    // Name and address get room to spare: the desktop's fonts vary in width.
    Label1 = MakeLabel(this, QStringLiteral("Parvex developers"), QRect(15, 126, 156, 16),
                       Qt::AlignRight, PixelFont(base, 13, true));
    Label_http = MakeLabel(this, QStringLiteral("docs/index.html"), QRect(175, 126, 140, 16),
                           Qt::AlignHCenter, PixelFont(base, 13, false));
    MakeRed(Label_http);
    for (QLabel* link : {Label1, Label_http}) {
        link->setCursor(Qt::PointingHandCursor);
        link->installEventFilter(this);
    }

    Bevel1 = new QFrame(this);
    Bevel1->setGeometry(0, 186 - 39, 325, 2);
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);

    Label4 = MakeLabel(this, QStringLiteral("MIT License, no warranty."), QRect(20, 161, 195, 15),
                       Qt::AlignLeft, base);

    Btn_ok = new QPushButton(QStringLiteral("Ok"), this);
    Btn_ok->setGeometry(223, 157, 75, 25);
    Btn_ok->setDefault(true);
    Btn_ok->setFocus();
    connect(Btn_ok, &QPushButton::clicked, this, &TF_about::Btn_okClick);
}

void TF_about::Label_httpClick() {
    if (OpenUrl && MakerAddress.isValid())
        OpenUrl(MakerAddress);
}

void TF_about::Btn_okClick() {
    accept();
}

bool TF_about::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == Label1 || watched == Label_http) &&
        event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label_httpClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TF_about::keyPressEvent(QKeyEvent* event) {
    // No cancel button: Escape leaves the box open.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace parvex
