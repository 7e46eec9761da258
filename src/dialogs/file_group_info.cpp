#include "dialogs/file_group_info.h"

#include "dialogs/screen_area.h"
#include "platform/file_status.h"

#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace parvex {

namespace {

constexpr std::int64_t kKilo = 1000;
constexpr std::int64_t kMega = 1000000;

// "%5.3f" with the locale's decimal separator; digits stay ASCII and no group separator is
// inserted, so 1000000 bytes read "1000.000 Kb" in every locale.
QString FixedThreeDecimals(double value, const QLocale& locale, int width = 5) {
    QString text = QString::number(value, 'f', 3);
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return QStringLiteral("%1").arg(text, width);
}

// The exact path bytes of a file row; a row without them falls back to its text.
QByteArray FileNodePath(const QModelIndex& node) {
    const QVariant bytes = node.data(Qt::UserRole);
    if (bytes.typeId() == QMetaType::QByteArray)
        return bytes.toByteArray();
    return QFile::encodeName(node.data().toString());
}

QLabel* NewBoldLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QLabel* NewCaption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

QString GroupSizeText(std::int64_t bytes, const QLocale& locale) {
    if (bytes <= kKilo)
        return QString::number(bytes) + QStringLiteral(" bytes");
    if (bytes <= kMega)
        return FixedThreeDecimals(static_cast<double>(bytes) / kKilo, locale) +
               QStringLiteral(" Kb");
    return FixedThreeDecimals(static_cast<double>(bytes) / kMega, locale) + QStringLiteral(" Mb");
}

QString SizeText(std::int64_t bytes, const QLocale& locale) {
    constexpr std::int64_t kGiga = 1000000000;
    if (bytes <= kGiga)
        return GroupSizeText(bytes, locale);
    return FixedThreeDecimals(static_cast<double>(bytes) / kGiga, locale, 0) +
           QStringLiteral(" Gb");
}

TD_file_group_info::TD_file_group_info(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("File group info"));

    Bevel1 = new QFrame(this);
    Bevel1->setFrameShape(QFrame::StyledPanel);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setMinimumWidth(270);
    Label1 = NewCaption(QStringLiteral("Files in group:"), Bevel1);
    Label2 = NewCaption(QStringLiteral("Used disk space:"), Bevel1);
    Label_files_number = NewBoldLabel(Bevel1);
    Label_used_size = NewBoldLabel(Bevel1);

    auto* numbers = new QGridLayout(Bevel1);
    numbers->setContentsMargins(12, 10, 12, 10);
    numbers->setHorizontalSpacing(10);
    numbers->addWidget(Label1, 0, 0);
    numbers->addWidget(Label_files_number, 0, 1);
    numbers->addWidget(Label2, 1, 0);
    numbers->addWidget(Label_used_size, 1, 1);
    numbers->setColumnStretch(1, 1);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(OKBtn);
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(Bevel1);
    layout->addLayout(buttons);
}

void TD_file_group_info::ShowGroupInfo(const QModelIndex& group) {
    if (!group.isValid())
        return;
    GroupNode = group;
    FileCount = group.model()->rowCount(group);
    SumGroupSizes();
    Label_files_number->setText(QString::number(FileCount));
    Label_used_size->setText(GroupSizeText(TotalSize, QLocale()));
    OKBtn->setFocus();
    FitIntoAvailableArea(*this);
    exec();
}

void TD_file_group_info::SumGroupSizes() {
    TotalSize = 0;
    if (!GroupNode.isValid())
        return;
    const QAbstractItemModel& model = *GroupNode.model();
    const QModelIndex group = GroupNode;
    for (int i = 0; i < model.rowCount(group); ++i)
        TotalSize += RegularFileSize(FileNodePath(model.index(i, 0, group)).toStdString());
}

} // namespace parvex
