#include "dialogs/keep_rules_dialog.h"

#include "dialogs/file_group_info.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <array>

namespace parvex {
namespace {

struct TRuleChoice {
    TKeepRuleKind Kind;
    const char* Text;
};

// The rules in the order RuleKind offers them.
constexpr std::array<TRuleChoice, 7> kRuleChoices{{
    {TKeepRuleKind::Newest, "newest: the copy modified last"},
    {TKeepRuleKind::Oldest, "oldest: the copy modified first"},
    {TKeepRuleKind::ShortestPath, "shortest-path: the copy with the shortest path"},
    {TKeepRuleKind::LongestPath, "longest-path: the copy with the longest path"},
    {TKeepRuleKind::First, "first: the copy found first"},
    {TKeepRuleKind::In, "in: a copy in the folder"},
    {TKeepRuleKind::Glob, "glob: a copy whose path matches the pattern"},
}};

QString Count(std::size_t count) {
    return QLocale().toString(static_cast<qulonglong>(count));
}

QString Plural(std::size_t count, const char* one, const char* many) {
    return Count(count) + QLatin1Char(' ') + QLatin1String(count == 1 ? one : many);
}

QString LineText(const TKeepRuleLine& line) {
    const QString text = QFile::decodeName(QByteArray::fromStdString(line.Text));
    return line.Rule ? text : QStringLiteral("Unknown rule: \"%1\"").arg(text);
}

QString PreviewOf(const TKeepPreview& figures) {
    return QStringLiteral("Marks %1, which frees %2.\nA protected copy stays in %3.\n"
                          "The copies are alike by these rules, and the one found first stays, "
                          "in %4.")
        .arg(Plural(figures.Files, "file", "files"), SizeText(figures.Bytes, QLocale()),
             Plural(figures.ProtectedGroups, "group", "groups"),
             Plural(figures.FoundOrderGroups, "group", "groups"));
}

} // namespace

TKeepRulesDialog::TKeepRulesDialog(TKeepPresets presets, TKeepPlanner::TFacts facts,
                                   std::vector<std::string> protectedFolders, QWidget* parent)
    : QDialog(parent), presets_(std::move(presets)) {
    setWindowTitle(QStringLiteral("Mark by rules"));
    BrowseFolder = [this](const QString& title) {
        return QFileDialog::getExistingDirectory(this, title);
    };
    auto* layout = new QVBoxLayout(this);
    BuildPresetRow();
    BuildRuleEditor();
    PreviewText = new QLabel(this);
    PreviewText->setWordWrap(true);
    PreviewText->setFrameShape(QFrame::StyledPanel);
    PreviewText->setMargin(fontMetrics().averageCharWidth());
    PreviewText->setAccessibleName(QStringLiteral("What the rules mark"));
    // Room for the longest figures, so that the dialog does not jump as they change.
    PreviewText->setMinimumHeight(fontMetrics().lineSpacing() * 4);
    Buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    connect(Buttons, &QDialogButtonBox::accepted, this, &TKeepRulesDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &TKeepRulesDialog::reject);
    connect(Buttons, &QDialogButtonBox::helpRequested, this, [this] {
        if (ShowHelpTopic)
            ShowHelpTopic(QStringLiteral("marks"));
    });
    layout->addWidget(PreviewText);
    layout->addWidget(Buttons);

    // The outcome arrives on the planner's thread; the dialog takes it on its own.
    planner_ = std::make_unique<TKeepPlanner>(
        std::move(facts), std::move(protectedFolders), [this](TKeepPlanner::TOutcome outcome) {
            QMetaObject::invokeMethod(
                this, [this, outcome = std::move(outcome)] { ShowOutcome(outcome); },
                Qt::QueuedConnection);
        });
    // Named, so that whoever holds only the dialog finds its parts.
    for (const auto& [widget, name] :
         std::initializer_list<std::pair<QWidget*, const char*>>{{PresetBox, "PresetBox"},
                                                                 {PresetName, "PresetName"},
                                                                 {RuleList, "RuleList"},
                                                                 {RuleKind, "RuleKind"},
                                                                 {RuleArgument, "RuleArgument"},
                                                                 {PreviewText, "PreviewText"}})
        widget->setObjectName(QString::fromLatin1(name));
    ShowPresets(presets_.LastUsed());
    if (const TKeepPreset* last = presets_.Find(presets_.LastUsed())) {
        list_ = TKeepRuleList(last->Rules);
        PresetName->setText(QString::fromStdString(last->Name));
    }
    ShowList(0);
    RuleKindChanged();
    RuleList->setFocus();
}

// Stops the planner first: its thread may still hand outcomes to the dialog.
TKeepRulesDialog::~TKeepRulesDialog() {
    planner_.reset();
}

void TKeepRulesDialog::BuildPresetRow() {
    auto* row = new QHBoxLayout;
    auto* presetLabel = new QLabel(QStringLiteral("&Saved lists:"), this);
    PresetBox = new QComboBox(this);
    PresetBox->setAccessibleName(QStringLiteral("Saved lists of rules"));
    PresetBox->setMinimumContentsLength(16);
    presetLabel->setBuddy(PresetBox);
    auto* nameLabel = new QLabel(QStringLiteral("&Name:"), this);
    PresetName = new QLineEdit(this);
    PresetName->setAccessibleName(QStringLiteral("Name of the list"));
    PresetName->setMinimumWidth(fontMetrics().averageCharWidth() * 16);
    nameLabel->setBuddy(PresetName);
    Btn_save = new QPushButton(QStringLiteral("Sa&ve"), this);
    Btn_save->setToolTip(QStringLiteral("Keep the list under the name"));
    Btn_rename = new QPushButton(QStringLiteral("Rena&me"), this);
    Btn_rename->setToolTip(QStringLiteral("Give the chosen list the name"));
    Btn_delete = new QPushButton(QStringLiteral("De&lete"), this);
    Btn_delete->setToolTip(QStringLiteral("Delete the chosen list"));
    for (QWidget* widget : std::initializer_list<QWidget*>{
             presetLabel, PresetBox, nameLabel, PresetName, Btn_save, Btn_rename, Btn_delete})
        row->addWidget(widget, widget == PresetName || widget == PresetBox ? 1 : 0);
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
    for (QPushButton* button : {Btn_save, Btn_rename, Btn_delete})
        button->setAutoDefault(false);
    connect(PresetBox, &QComboBox::activated, this, &TKeepRulesDialog::ChoosePreset);
    connect(PresetName, &QLineEdit::textChanged, this, &TKeepRulesDialog::UpdateButtons);
    PresetName->installEventFilter(this);
    connect(Btn_save, &QPushButton::clicked, this, &TKeepRulesDialog::SavePreset);
    connect(Btn_rename, &QPushButton::clicked, this, &TKeepRulesDialog::RenamePreset);
    connect(Btn_delete, &QPushButton::clicked, this, &TKeepRulesDialog::DeletePreset);
}

void TKeepRulesDialog::BuildRuleEditor() {
    auto* grid = new QGridLayout;
    auto* listLabel = new QLabel(
        QStringLiteral("&Keep in each group the copy these rules choose, the first rule first:"),
        this);
    RuleList = new QListWidget(this);
    RuleList->setAccessibleName(QStringLiteral("Keep rules in order"));
    RuleList->setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    RuleList->setMinimumHeight(fontMetrics().lineSpacing() * 7);
    listLabel->setBuddy(RuleList);
    Btn_up = new QPushButton(QStringLiteral("Move &up"), this);
    Btn_up->setToolTip(QStringLiteral("Move the rule up (Ctrl+Up)"));
    Btn_down = new QPushButton(QStringLiteral("Move &down"), this);
    Btn_down->setToolTip(QStringLiteral("Move the rule down (Ctrl+Down)"));
    Btn_remove = new QPushButton(QStringLiteral("&Remove"), this);
    Btn_remove->setToolTip(QStringLiteral("Remove the rule (Delete)"));
    auto* side = new QVBoxLayout;
    for (QPushButton* button : {Btn_up, Btn_down, Btn_remove}) {
        button->setAutoDefault(false);
        side->addWidget(button);
    }
    side->addStretch(1);

    auto* addLabel = new QLabel(QStringLiteral("Rule &to add:"), this);
    RuleKind = new QComboBox(this);
    RuleKind->setAccessibleName(QStringLiteral("Rule to add"));
    for (const TRuleChoice& choice : kRuleChoices)
        RuleKind->addItem(QString::fromLatin1(choice.Text));
    addLabel->setBuddy(RuleKind);
    RuleArgument = new QLineEdit(this);
    RuleArgument->setAccessibleName(QStringLiteral("Folder or pattern of the rule"));
    RuleArgument->setMinimumWidth(fontMetrics().averageCharWidth() * 24);
    Btn_browse = new QPushButton(QStringLiteral("&Browse..."), this);
    Btn_add = new QPushButton(QStringLiteral("&Add"), this);
    Btn_add->setToolTip(QStringLiteral("Add the rule at the end of the list"));
    for (QPushButton* button : {Btn_browse, Btn_add})
        button->setAutoDefault(false);
    auto* addRow = new QHBoxLayout;
    addRow->addWidget(RuleKind);
    addRow->addWidget(RuleArgument, 1);
    addRow->addWidget(Btn_browse);
    addRow->addWidget(Btn_add);

    grid->addWidget(listLabel, 0, 0, 1, 2);
    grid->addWidget(RuleList, 1, 0);
    grid->addLayout(side, 1, 1);
    grid->addWidget(addLabel, 2, 0, 1, 2);
    grid->addLayout(addRow, 3, 0, 1, 2);
    grid->setRowStretch(1, 1);
    static_cast<QVBoxLayout*>(layout())->addLayout(grid, 1);

    connect(RuleList, &QListWidget::currentRowChanged, this, &TKeepRulesDialog::UpdateButtons);
    connect(Btn_up, &QPushButton::clicked, this, [this] { MoveRule(true); });
    connect(Btn_down, &QPushButton::clicked, this, [this] { MoveRule(false); });
    connect(Btn_remove, &QPushButton::clicked, this, &TKeepRulesDialog::RemoveRule);
    RuleList->installEventFilter(this);
    connect(RuleKind, &QComboBox::currentIndexChanged, this, &TKeepRulesDialog::RuleKindChanged);
    connect(RuleArgument, &QLineEdit::textChanged, this, &TKeepRulesDialog::UpdateButtons);
    RuleKind->installEventFilter(this);
    RuleArgument->installEventFilter(this);
    connect(Btn_browse, &QPushButton::clicked, this, [this] {
        const QString folder = BrowseFolder(QStringLiteral("Keep the copies in the folder:"));
        if (!folder.isEmpty())
            RuleArgument->setText(folder);
    });
    connect(Btn_add, &QPushButton::clicked, this, &TKeepRulesDialog::AddRule);
}

bool TKeepRulesDialog::AddRule() {
    const TKeepRuleKind kind =
        kRuleChoices[static_cast<std::size_t>(RuleKind->currentIndex())].Kind;
    const bool takesArgument = kind == TKeepRuleKind::In || kind == TKeepRuleKind::Glob;
    TKeepRule rule{kind, takesArgument ? QFile::encodeName(RuleArgument->text()).toStdString()
                                       : std::string()};
    if (takesArgument && rule.Argument.empty())
        return false;
    ShowList(static_cast<int>(list_.Add(rule)));
    RuleArgument->clear();
    return true;
}

void TKeepRulesDialog::RemoveRule() {
    const int current = RuleList->currentRow();
    if (current < 0)
        return;
    list_.Remove(static_cast<std::size_t>(current));
    ShowList(std::min(current, static_cast<int>(list_.Lines().size()) - 1));
}

void TKeepRulesDialog::MoveRule(bool up) {
    const int current = RuleList->currentRow();
    if (current >= 0)
        ShowList(static_cast<int>(list_.Move(static_cast<std::size_t>(current), up)));
}

void TKeepRulesDialog::ChoosePreset(int index) {
    const TKeepPreset* preset = presets_.Find(PresetBox->itemText(index).toStdString());
    if (preset == nullptr)
        return;
    list_ = TKeepRuleList(preset->Rules);
    PresetName->setText(QString::fromStdString(preset->Name));
    ShowList(0);
}

bool TKeepRulesDialog::SavePreset() {
    const std::string name = PresetName->text().trimmed().toStdString();
    if (list_.Lines().empty() || !presets_.Save(name, list_.Texts()))
        return false;
    ShowPresets(name);
    return true;
}

bool TKeepRulesDialog::RenamePreset() {
    const std::string name = PresetName->text().trimmed().toStdString();
    if (!presets_.Rename(PresetBox->currentText().toStdString(), name))
        return false;
    ShowPresets(name);
    return true;
}

void TKeepRulesDialog::DeletePreset() {
    presets_.Remove(PresetBox->currentText().toStdString());
    ShowPresets({});
}

void TKeepRulesDialog::ShowPresets(const std::string& chosen) {
    PresetBox->clear();
    for (const TKeepPreset& preset : presets_.All())
        PresetBox->addItem(QString::fromStdString(preset.Name));
    PresetBox->setCurrentIndex(PresetBox->findText(QString::fromStdString(chosen)));
    UpdateButtons();
}

void TKeepRulesDialog::ShowList(int current) {
    RuleList->clear();
    const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (const TKeepRuleLine& line : list_.Lines()) {
        auto* item = new QListWidgetItem(LineText(line), RuleList);
        if (!line.Rule) {
            item->setIcon(warning);
            item->setToolTip(QStringLiteral("This program knows no such rule: remove it to use "
                                            "the list."));
        }
    }
    RuleList->setCurrentRow(current);
    UpdateButtons();
    Replan();
}

void TKeepRulesDialog::UpdateButtons() {
    const int current = RuleList->currentRow();
    const int count = RuleList->count();
    Btn_up->setEnabled(current > 0);
    Btn_down->setEnabled(current >= 0 && current + 1 < count);
    Btn_remove->setEnabled(current >= 0);
    const bool chosen = PresetBox->currentIndex() >= 0;
    const bool named = !PresetName->text().trimmed().isEmpty();
    PresetBox->setEnabled(PresetBox->count() > 0);
    Btn_save->setEnabled(named && count > 0);
    Btn_rename->setEnabled(named && chosen);
    Btn_delete->setEnabled(chosen);
    const TKeepRuleKind kind =
        kRuleChoices[static_cast<std::size_t>(RuleKind->currentIndex())].Kind;
    const bool takesArgument = kind == TKeepRuleKind::In || kind == TKeepRuleKind::Glob;
    Btn_add->setEnabled(!takesArgument || !RuleArgument->text().isEmpty());
    Buttons->button(QDialogButtonBox::Ok)->setEnabled(list_.Rules().has_value());
}

void TKeepRulesDialog::RuleKindChanged() {
    const TKeepRuleKind kind =
        kRuleChoices[static_cast<std::size_t>(RuleKind->currentIndex())].Kind;
    RuleArgument->setEnabled(kind == TKeepRuleKind::In || kind == TKeepRuleKind::Glob);
    RuleArgument->setPlaceholderText(kind == TKeepRuleKind::In ? QStringLiteral("Folder")
                                     : kind == TKeepRuleKind::Glob
                                         ? QStringLiteral("Pattern, as */Photos/*")
                                         : QString());
    Btn_browse->setEnabled(kind == TKeepRuleKind::In);
    UpdateButtons();
}

void TKeepRulesDialog::Replan() {
    planned_ = false;
    acceptWhenPlanned_ = false;
    const std::optional<std::vector<TKeepRule>> rules = list_.Rules();
    if (!rules) {
        PreviewText->setText(
            list_.UnknownCount() > 0
                ? QStringLiteral("%1 of the list this program does not know, marked above: "
                                 "remove %2 to use the list.")
                      .arg(Plural(list_.UnknownCount(), "rule", "rules"),
                           list_.UnknownCount() == 1 ? QStringLiteral("it")
                                                     : QStringLiteral("them"))
                : QStringLiteral("Add a rule to see what the list marks."));
        return;
    }
    PreviewText->setText(QStringLiteral("Figuring out what the list marks..."));
    request_ = planner_->Request(*rules);
}

void TKeepRulesDialog::ShowOutcome(const TKeepPlanner::TOutcome& outcome) {
    if (outcome.Request != request_)
        return;
    planned_ = true;
    latest_ = outcome.Acted;
    PreviewText->setText(PreviewOf(outcome.Figures));
    if (acceptWhenPlanned_)
        accept();
}

bool TKeepRulesDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    // Enter in the rule to add or its folder or pattern adds the rule, Enter in the name saves
    // the list; neither reaches OK as well.
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && (watched == RuleKind || watched == RuleArgument)) {
        AddRule();
        return true;
    }
    if (enter && watched == PresetName) {
        SavePreset();
        return true;
    }
    // The list's own keys: Ctrl+Up and Ctrl+Down move the rule, Delete removes it. The view would
    // take Ctrl+Up and Ctrl+Down for moving the current line.
    if (watched != RuleList)
        return QDialog::eventFilter(watched, event);
    if (key->modifiers() == Qt::ControlModifier &&
        (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
        MoveRule(key->key() == Qt::Key_Up);
        return true;
    }
    if (key->modifiers() == Qt::NoModifier && key->key() == Qt::Key_Delete) {
        RemoveRule();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TKeepRulesDialog::accept() {
    if (!list_.Rules())
        return;
    if (!planned_) {
        acceptWhenPlanned_ = true;
        PreviewText->setText(QStringLiteral("Marking as soon as the list's plan is made..."));
        return;
    }
    accepted_ = latest_;
    presets_.SetLastUsed(PresetBox->currentText().toStdString());
    QDialog::accept();
}

} // namespace parvex
