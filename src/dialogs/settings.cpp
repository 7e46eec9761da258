#include "dialogs/settings.h"

#include "VelPigger/name_rules.h"
#include "dialogs/msg.h"

#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace parvex {

namespace {

QString FromBytes(const std::string& Bytes) {
    return QFile::decodeName(QByteArray::fromStdString(Bytes));
}

QStringList ToQStringList(const std::vector<std::string>& Entries) {
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(Entries.size()));
    for (const std::string& entry : Entries) {
        lines.append(FromBytes(entry));
    }
    return lines;
}

std::vector<std::string> ToEntries(const QStringList& Lines) {
    std::vector<std::string> entries;
    entries.reserve(static_cast<std::size_t>(Lines.size()));
    for (const QString& line : Lines) {
        entries.push_back(QFile::encodeName(line).toStdString());
    }
    return entries;
}

} // namespace

TD_settings::TD_settings(std::string SettingsFile, QWidget* parent, std::string UserFile)
    : QDialog(parent), TSettingsStore(std::move(SettingsFile), std::move(UserFile)),
      PageControl1(new QTabWidget(this)), TabSheet1(new QWidget(PageControl1)),
      OKBtn(new QPushButton(QStringLiteral("OK"), this)),
      CancelBtn(new QPushButton(QStringLiteral("Cancel"), this)) {
    setWindowTitle(QStringLiteral("Settings"));
    PageControl1->addTab(TabSheet1, QStringLiteral("main"));
    OKBtn->setDefault(true);

    buttonRow_ = new QHBoxLayout;
    buttonRow_->addStretch();
    buttonRow_->addWidget(OKBtn);
    buttonRow_->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addLayout(buttonRow_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(OKBtn, &QPushButton::clicked, this, [this] {
        if (!OKBtnAccepting())
            return;
        OKBtnClick();
        accept();
    });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    LoadSettings();
}

TD_settings::~TD_settings() {
    SaveAndReport();
}

void TD_settings::SettingsToControls() {}

QFormLayout* TD_settings::AdvancedForm() {
    if (advancedForm_ == nullptr) {
        TabSheet_advanced = new QWidget;
        PageControl1->addTab(TabSheet_advanced, QStringLiteral("Advanced"));
        advancedForm_ = new QFormLayout(TabSheet_advanced);
        // Labels above their controls when the page is narrow; a control takes the width left.
        advancedForm_->setRowWrapPolicy(QFormLayout::WrapLongRows);
        advancedForm_->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    }
    return advancedForm_;
}

bool TD_settings::OKBtnAccepting() {
    return true;
}

void TD_settings::OKBtnClick() {
    SaveAndReport();
}

void TD_settings::SaveAndReport() {
    if (!SaveSettings()) {
        ReportSaveFailure();
    }
}

QString TD_settings::LoadProblemText() const {
    const TSettingsLoad& load = LoadReport();
    if (!load.Unreadable) {
        return {};
    }
    QString text = QStringLiteral("Settings could not be read from %1 (%2).")
                       .arg(FromBytes(load.File), FromBytes(load.Reason));
    if (!load.KeptAs.empty()) {
        return text + QStringLiteral(" The file was kept as %1; the default settings are used.")
                          .arg(FromBytes(load.KeptAs));
    }
    if (!load.SavedTo.empty()) {
        return text + QStringLiteral(" It was left as it is; settings are read from and saved "
                                     "to %1.")
                          .arg(FromBytes(load.SavedTo));
    }
    return text + QStringLiteral(" It was left as it is; the default settings are used.");
}

void TD_settings::ReportSaveFailure() {
    if (saveFailureShown_ || SaveError().empty() || Dmsg == nullptr) {
        return;
    }
    saveFailureShown_ = true;
    Dmsg->ShowText(
        QStringLiteral("Settings could not be saved to %1.").arg(FromBytes(SaveError())));
}

void TD_settings::ReadList(QStringList& Strings, std::string_view Name) {
    if (TrimBlanks(Name).empty()) {
        return;
    }
    std::vector<std::string> entries;
    ReadList(entries, Name);
    Strings = ToQStringList(entries);
}

void TD_settings::WriteList(const QStringList& Strings, std::string_view Name) {
    WriteList(ToEntries(Strings), Name);
}

void TD_settings::ReadList(QListWidget* Strings, std::string_view Name) {
    if (Strings == nullptr || TrimBlanks(Name).empty()) {
        return;
    }
    QStringList lines;
    ReadList(lines, Name);
    Strings->clear();
    Strings->addItems(lines);
}

void TD_settings::WriteList(const QListWidget* Strings, std::string_view Name) {
    if (Strings == nullptr) {
        return;
    }
    QStringList lines;
    for (int i = 0; i < Strings->count(); ++i) {
        lines.append(Strings->item(i)->text());
    }
    WriteList(lines, Name);
}

void TD_settings::ReadList(QComboBox* Strings, std::string_view Name) {
    if (Strings == nullptr || TrimBlanks(Name).empty()) {
        return;
    }
    QStringList lines;
    ReadList(lines, Name);
    // Replacing the lines must not change what the user sees in the edit field.
    const QString editText = Strings->currentText();
    Strings->clear();
    Strings->addItems(lines);
    if (Strings->isEditable()) {
        Strings->setEditText(editText);
    }
}

void TD_settings::WriteList(const QComboBox* Strings, std::string_view Name) {
    if (Strings == nullptr) {
        return;
    }
    QStringList lines;
    for (int i = 0; i < Strings->count(); ++i) {
        lines.append(Strings->itemText(i));
    }
    WriteList(lines, Name);
}

} // namespace parvex
