#include "dialogs/settings_user.h"

#include "VelPigger/velpigger.h"
#include "_compearer/size_text.h"
#include "dialogs/borrowed_parent.h"
#include "dialogs/folder_list_edit.h"
#include "dialogs/msg.h"
#include "dialogs/screen_area.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <array>
#include <utility>
#include <vector>

namespace parvex {

namespace {

// The list line of a compare key.
QString KeyText(std::string_view Name) {
    return QString::fromLatin1(Name.data(), qsizetype(Name.size()));
}

QString WithTrailingSlash(const QString& Folder) {
    return Folder.endsWith(QLatin1Char('/')) ? Folder : Folder + QLatin1Char('/');
}

// The default start folder when none is set: the user's home folder.
QString HomeFolder() {
    return WithTrailingSlash(QDir::homePath());
}

QString PickExistingFolder(QWidget* parent, const QString& Title) {
    return QFileDialog::getExistingDirectory(parent, Title, QString(), QFileDialog::ShowDirsOnly);
}

// A size limit as the size fields show it: with the largest unit that divides it exactly.
QString SizeFieldText(std::optional<std::int64_t> Bytes) {
    if (!Bytes)
        return {};
    static constexpr std::array<std::pair<std::int64_t, char>, 3> Units{
        {{1000 * 1000 * 1000, 'G'}, {1000 * 1000, 'M'}, {1000, 'K'}}};
    for (const auto& [unit, letter] : Units) {
        if (*Bytes != 0 && *Bytes % unit == 0)
            return QString::number(*Bytes / unit) + QLatin1Char(letter);
    }
    return QString::number(*Bytes);
}

// What a size field holds: Valid is false for a text that is no size; no Bytes for no limit.
struct TSizeField {
    bool Valid = true;
    std::optional<std::int64_t> Bytes;
};

TSizeField ReadSizeField(const QLineEdit& Field) {
    const QString text = Field.text().trimmed();
    if (text.isEmpty())
        return {};
    const std::optional<std::int64_t> bytes = ParseSizeText(text.toStdString());
    return {bytes.has_value(), bytes};
}

QLineEdit* MakeSizeField(QWidget* parent, const QString& Name) {
    auto* field = new QLineEdit(parent);
    field->setAccessibleName(Name);
    field->setPlaceholderText(QStringLiteral("no limit"));
    field->setToolTip(QStringLiteral("Bytes, or a number followed by K, M or G (1000, 1000\u00b2, "
                                     "1000\u00b3 bytes), such as 4096, 10K or 1.5M; both limits "
                                     "are included. Empty: no limit."));
    field->setMaximumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 24);
    return field;
}

QSpinBox* MakeReadersField(QWidget* parent) {
    auto* field = new QSpinBox(parent);
    field->setAccessibleName(QStringLiteral("Reading threads"));
    field->setRange(0, TSettingsStore::MaxReaders);
    field->setSpecialValueText(QStringLiteral("Automatic"));
    field->setToolTip(QStringLiteral("How many threads walk the folders and read the files during "
                                     "a search. Automatic chooses from the disks being read; 1 "
                                     "does everything on one thread."));
    // Some room between "Automatic" and the arrows.
    field->setMinimumWidth(field->sizeHint().width() +
                           field->fontMetrics().horizontalAdvance(QStringLiteral("00")));
    return field;
}

} // namespace

TD_settings_user::TD_settings_user(std::string SettingsFile, QWidget* parent, std::string UserFile)
    : TD_settings(std::move(SettingsFile), parent, std::move(UserFile)) {
    BrowseFolder = [this](const QString& Title) { return PickExistingFolder(this, Title); };

    PageControl1->setTabText(PageControl1->indexOf(TabSheet1), QStringLiteral("Main"));
    Label1 = new QLabel(QStringLiteral("Default start search path:"), TabSheet1);
    Edit_DSP = new QLineEdit(TabSheet1);
    Edit_DSP->setReadOnly(true);
    Edit_DSP->setFrame(false);
    Edit_DSP->setMinimumWidth(300);
    Btn_root = new QPushButton(QStringLiteral("Change..."), TabSheet1);
    Label3 = new QLabel(QStringLiteral("Do not search in the folder(s):"), TabSheet1);
    LB_prohibited = new QListWidget(TabSheet1);
    LB_prohibited->setSelectionMode(QAbstractItemView::SingleSelection);
    btn_add_to_prohibited = new QPushButton(QStringLiteral("Add..."), TabSheet1);
    btn_del_from_prohibited = new QPushButton(QStringLiteral("Remove"), TabSheet1);
    for (QPushButton* button : {Btn_root, btn_add_to_prohibited, btn_del_from_prohibited})
        button->setAutoDefault(false);

    auto* startRow = new QHBoxLayout;
    startRow->addWidget(Edit_DSP, 1);
    startRow->addWidget(Btn_root);
    auto* listButtons = new QVBoxLayout;
    listButtons->addWidget(btn_add_to_prohibited);
    listButtons->addWidget(btn_del_from_prohibited);
    listButtons->addStretch();
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(LB_prohibited, 1);
    listRow->addLayout(listButtons);
    auto* mainPage = new QVBoxLayout(TabSheet1);
    mainPage->addWidget(Label1);
    mainPage->addLayout(startRow);
    mainPage->addSpacing(8);
    mainPage->addWidget(Label3);
    mainPage->addLayout(listRow, 1);

    TabSheet_keys = new QWidget;
    PageControl1->addTab(TabSheet_keys, QStringLiteral("Compare keys"));
    Label2 = new QLabel(QStringLiteral("Options to compare looking for identical files:"),
                        TabSheet_keys);
    CLB_comp_cond = new QListWidget(TabSheet_keys);
    auto* keysPage = new QVBoxLayout(TabSheet_keys);
    keysPage->addWidget(Label2);
    keysPage->addWidget(CLB_comp_cond, 1);

    LB_protected = new TFolderListEdit;
    LB_protected->List->setAccessibleName(QStringLiteral("Protected folders"));
    LB_protected->BrowseTitle = QStringLiteral("Select a folder to protect");
    LB_protected->BrowseFolder = [this](const QString& Title) { return BrowseFolder(Title); };
    LB_protected->ConfirmRemove = [this](const QString& Question) {
        if (Fsure == nullptr)
            return false;
        const TBorrowedParent over(*Fsure, *this);
        return Fsure->Ask(Question);
    };
    LB_protected->setToolTip(QStringLiteral("No mark rule marks the files under these folders, "
                                            "and no bulk command acts on them."));
    AdvancedForm()->addRow(QStringLiteral("Protected folders:"), LB_protected);
    Edit_min_size = MakeSizeField(this, QStringLiteral("Smallest file size"));
    Edit_max_size = MakeSizeField(this, QStringLiteral("Largest file size"));
    AdvancedForm()->addRow(QStringLiteral("Smallest file:"), Edit_min_size);
    AdvancedForm()->addRow(QStringLiteral("Largest file:"), Edit_max_size);
    Spin_readers = MakeReadersField(this);
    AdvancedForm()->addRow(QStringLiteral("Reading threads:"), Spin_readers);

    // There is nothing to discard: every change stays in effect however the dialog closes.
    CancelBtn->hide();
    Btn_help = new QPushButton(QStringLiteral("Help"), this);
    Btn_help->setAutoDefault(false);
    ButtonRow()->insertWidget(ButtonRow()->indexOf(OKBtn) + 1, Btn_help);

    Edit_DSP->setAccessibleName(QStringLiteral("Default start search path"));
    LB_prohibited->setAccessibleName(QStringLiteral("Do not search in the folders"));
    CLB_comp_cond->setAccessibleName(QStringLiteral("Options to compare"));
    Label1->setBuddy(Edit_DSP);
    Label3->setBuddy(LB_prohibited);
    Label2->setBuddy(CLB_comp_cond);

    // Folder paths can be long: the dialog can be made wider (and taller for long lists) than it
    // opens; the path field and the lists take the room it gains.
    layout()->setSizeConstraint(QLayout::SetMinimumSize);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setSizeGripEnabled(true);

    connect(Edit_DSP, &QLineEdit::textChanged, this, &TD_settings_user::Edit_DSPChange);
    connect(Btn_root, &QPushButton::clicked, this, &TD_settings_user::Btn_rootClick);
    connect(LB_prohibited, &QListWidget::itemClicked, this, &TD_settings_user::LB_prohibitedClick);
    connect(LB_prohibited, &QListWidget::itemSelectionChanged, this,
            &TD_settings_user::UpdateRemoveButton);
    connect(btn_add_to_prohibited, &QPushButton::clicked, this,
            &TD_settings_user::btn_add_to_prohibitedClick);
    connect(btn_del_from_prohibited, &QPushButton::clicked, this,
            &TD_settings_user::btn_del_from_prohibitedClick);
    connect(Btn_help, &QPushButton::clicked, this, &TD_settings_user::Btn_helpClick);

    for (const std::string_view key : CompareKeyNames) {
        auto* line = new QListWidgetItem(KeyText(key), CLB_comp_cond);
        line->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        line->setCheckState(Qt::Unchecked);
    }
    // Every button shows when it has the keyboard, and Tab goes the same way at every showing:
    // the pages' tabs, the page's fields from top to bottom, then the buttons.
    const std::vector<QWidget*> order = {PageControl1,
                                         Edit_DSP,
                                         Btn_root,
                                         LB_prohibited,
                                         btn_add_to_prohibited,
                                         btn_del_from_prohibited,
                                         CLB_comp_cond,
                                         LB_protected->List,
                                         LB_protected->AddButton,
                                         LB_protected->RemoveButton,
                                         Edit_min_size,
                                         Edit_max_size,
                                         Spin_readers,
                                         OKBtn,
                                         Btn_help};
    for (std::size_t i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setFocusPolicy(Qt::StrongFocus);

    SettingsToControls();
    UpdateRemoveButton();
}

QString TD_settings_user::GetDefaultPath() {
    if (Edit_DSP->text().isEmpty())
        Edit_DSP->setText(HomeFolder());
    return Edit_DSP->text();
}

QListWidgetItem* TD_settings_user::KeyLine(const QString& Name) const {
    for (int i = 0; i < CLB_comp_cond->count(); ++i) {
        QListWidgetItem* line = CLB_comp_cond->item(i);
        if (line->text().compare(Name, Qt::CaseInsensitive) == 0)
            return line;
    }
    return nullptr;
}

bool TD_settings_user::IsKeyChecked(const QString& Name) const {
    const QListWidgetItem* line = KeyLine(Name);
    return line != nullptr && line->checkState() == Qt::Checked;
}

bool TD_settings_user::IsExcluded(const QString& Path) const {
    // Folder names are case sensitive here: another case is another folder.
    for (int i = 0; i < LB_prohibited->count(); ++i) {
        if (LB_prohibited->item(i)->text() == Path)
            return true;
    }
    return false;
}

void TD_settings_user::ShowPage(QWidget* Page) {
    PageControl1->setCurrentWidget(Page);
    FitIntoAvailableArea(*this);
    // The keyboard starts on the first field of the page shown, whatever had it last time.
    QWidget* first = Page == TabSheet_keys       ? static_cast<QWidget*>(CLB_comp_cond)
                     : Page == TabSheet_advanced ? static_cast<QWidget*>(LB_protected->List)
                                                 : static_cast<QWidget*>(Edit_DSP);
    first->setFocus(Qt::TabFocusReason);
    exec();
}

void TD_settings_user::SettingsToControls() {
    Edit_DSP->setText(
        QFile::decodeName(QByteArray::fromStdString(Document->GetAttr("DEFAULT_PATH"))));
    GetDefaultPath();
    LoadCompareKeys();
    LoadExcludedFolders();
    QStringList protectedFolders;
    ReadList(protectedFolders, "PROTECTED");
    LB_protected->SetFolders(protectedFolders);
    LoadSizeLimits();
    LoadReaders();
}

std::vector<std::string> TD_settings_user::ProtectedFolders() const {
    std::vector<std::string> folders;
    for (const QString& folder : LB_protected->Folders())
        folders.push_back(QFile::encodeName(folder).toStdString());
    return folders;
}

TVelPigger* TD_settings_user::CompareCondSection() {
    return GetSection(Document.get(), "COMPARE_COND");
}

void TD_settings_user::LoadCompareKeys() {
    const TVelPigger* section = CompareCondSection();
    for (int i = 0; i < CLB_comp_cond->count(); ++i) {
        QListWidgetItem* line = CLB_comp_cond->item(i);
        const bool on = section->GetAttr(line->text().toUpper().toStdString()) == "Y";
        line->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    EnforceKeyRules();
}

void TD_settings_user::SetKeyChecked(const QString& Name) {
    if (QListWidgetItem* line = KeyLine(Name))
        line->setCheckState(Qt::Checked);
}

TCompareKeys TD_settings_user::CheckedKeys() const {
    TCompareKeys keys;
    for (const std::string_view name : CompareKeyNames)
        *CompareKeyNamed(keys, name) = IsKeyChecked(KeyText(name));
    return keys;
}

void TD_settings_user::EnforceKeyRules() {
    const TCompareKeys keys = WithSettingsDialogRules(CheckedKeys());
    for (const std::string_view name : CompareKeyNames)
        if (*CompareKeyNamed(keys, name))
            SetKeyChecked(KeyText(name));
}

void TD_settings_user::StoreCompareKeys() {
    TVelPigger* section = CompareCondSection();
    for (int i = 0; i < CLB_comp_cond->count(); ++i) {
        const QListWidgetItem* line = CLB_comp_cond->item(i);
        section->SetAttr(line->text().toUpper().toStdString(),
                         line->checkState() == Qt::Checked ? "Y" : "");
    }
}

void TD_settings_user::UpdateRemoveButton() {
    btn_del_from_prohibited->setEnabled(!LB_prohibited->selectedItems().isEmpty());
}

void TD_settings_user::LoadExcludedFolders() {
    ReadList(LB_prohibited, "DONT_SEARCH_IN");
}

void TD_settings_user::StoreExcludedFolders() {
    WriteList(LB_prohibited, "DONT_SEARCH_IN");
}

void TD_settings_user::ChooseDefaultPath(const QString& Picked) {
    if (!Picked.isEmpty())
        Edit_DSP->setText(WithTrailingSlash(Picked));
}

void TD_settings_user::AddExcludedFolder(const QString& Picked) {
    if (Picked.isEmpty())
        return;
    const QString entry = WithTrailingSlash(Picked);
    if (!IsExcluded(entry))
        LB_prohibited->addItem(entry);
}

void TD_settings_user::LoadSizeLimits() {
    Edit_min_size->setText(SizeFieldText(ReadSizeLimit(MinSizeAttribute)));
    Edit_max_size->setText(SizeFieldText(ReadSizeLimit(MaxSizeAttribute)));
}

TD_settings_user::TSizeLimitProblem TD_settings_user::SizeLimitProblem() const {
    for (QLineEdit* field : {Edit_min_size, Edit_max_size}) {
        if (!ReadSizeField(*field).Valid) {
            const QString label = field == Edit_min_size ? QStringLiteral("Smallest file")
                                                         : QStringLiteral("Largest file");
            return {QStringLiteral("%1: \"%2\" is not a file size. Write a number of bytes, or a "
                                   "number followed by K, M or G (1000, 1000\u00b2, 1000\u00b3 "
                                   "bytes), such as 4096, 10K or 1.5M; leave the field empty for "
                                   "no limit.")
                        .arg(label, field->text().trimmed()),
                    field};
        }
    }
    const std::optional<std::int64_t> smallest = ReadSizeField(*Edit_min_size).Bytes;
    const std::optional<std::int64_t> largest = ReadSizeField(*Edit_max_size).Bytes;
    if (smallest && largest && *smallest > *largest) {
        return {QStringLiteral("Smallest file (%1) is larger than Largest file (%2): no file "
                               "could be found.")
                    .arg(SizeFieldText(smallest), SizeFieldText(largest)),
                Edit_min_size};
    }
    return {};
}

void TD_settings_user::StoreSizeLimits() {
    if (SizeLimitProblem().Field != nullptr) {
        LoadSizeLimits();
        return;
    }
    WriteSizeLimit(MinSizeAttribute, ReadSizeField(*Edit_min_size).Bytes);
    WriteSizeLimit(MaxSizeAttribute, ReadSizeField(*Edit_max_size).Bytes);
}

void TD_settings_user::LoadReaders() {
    Spin_readers->setValue(ReadReaders());
}

void TD_settings_user::StoreReaders() {
    WriteReaders(Spin_readers->value());
}

void TD_settings_user::Edit_DSPChange(const QString& Text) {
    Document->SetAttr("DEFAULT_PATH", QFile::encodeName(Text.trimmed()).toStdString());
}

void TD_settings_user::Btn_rootClick() {
    if (BrowseFolder)
        ChooseDefaultPath(BrowseFolder(QStringLiteral("Select default search path:")));
}

void TD_settings_user::LB_prohibitedClick() {
    UpdateRemoveButton();
}

void TD_settings_user::btn_add_to_prohibitedClick() {
    if (BrowseFolder)
        AddExcludedFolder(BrowseFolder(QStringLiteral("Select directory to add to the list")));
}

void TD_settings_user::btn_del_from_prohibitedClick() {
    QListWidgetItem* selected = LB_prohibited->currentItem();
    if (selected == nullptr || !selected->isSelected() || Fsure == nullptr)
        return;
    // The question belongs to this dialog: asked over the main window, it would bring that
    // window up in front of this one.
    const TBorrowedParent over(*Fsure, *this);
    if (!Fsure->Ask(QStringLiteral("Remove \"%1\"\nfrom the list?").arg(selected->text())))
        return;
    delete selected;
    LB_prohibited->clearSelection();
    UpdateRemoveButton();
}

void TD_settings_user::Btn_helpClick() {
    if (!ShowHelpTopic)
        return;
    const QWidget* page = PageControl1->currentWidget();
    // The protected folders and the size limits are explained with the marks they serve.
    ShowHelpTopic(page == TabSheet_keys       ? QStringLiteral("keys")
                  : page == TabSheet_advanced ? QStringLiteral("marks")
                                              : QStringLiteral("start_dir"));
}

void TD_settings_user::FormClose() {
    EnforceKeyRules();
    StoreCompareKeys();
    StoreExcludedFolders();
    WriteList(LB_protected->Folders(), "PROTECTED");
    StoreSizeLimits();
    StoreReaders();
}

// OK writes the keys, folders and limits of this very showing, so nothing the user confirmed
// waits for the end of the run to reach the file. A wrong size keeps the dialog open on it.
bool TD_settings_user::OKBtnAccepting() {
    const TSizeLimitProblem problem = SizeLimitProblem();
    if (problem.Field != nullptr) {
        PageControl1->setCurrentWidget(TabSheet_advanced);
        if (Dmsg != nullptr) {
            const TBorrowedParent over(*Dmsg, *this);
            Dmsg->ShowText(problem.Text);
        }
        problem.Field->setFocus();
        problem.Field->selectAll();
        return false;
    }
    FormClose();
    return true;
}

void TD_settings_user::done(int Result) {
    FormClose();
    TD_settings::done(Result);
}

} // namespace parvex
