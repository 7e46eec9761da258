// The marks of the main window and the bulk commands that act on the marked files.
#include "dialogs/file_group_info.h"
#include "dialogs/settings_user.h"
#include "dialogs/sure.h"
#include "file_actions/action_run.h"
#include "file_actions/file_outcomes.h"
#include "file_actions/folder_set.h"
#include "main/bulk_report.h"
#include "main/counted_text.h"
#include "main/fmain.h"
#include "main/result_facts.h"
#include "main/result_model.h"
#include "main/result_tree.h"
#include "main/status_field.h"
#include "platform/actions_log.h"
#include "platform/desktop/file_list_mime.h"
#include "run_journal/run_journal.h"
#include "run_journal/runs_folder.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressDialog>
#include <QTimer>
#include <exception>
#include <memory>

namespace parvex {

namespace {

// How many files a bulk command handles between two looks at the window's messages: a few
// milliseconds of work, so Stop and repaints are served at once.
constexpr int kFilesPerSlice = 8;

const QString kNeedsContent =
    QStringLiteral("Only files compared by content are copies: files equal by name, size or time "
                   "alone are not. Search with the key \"content\" to act on marked files.");

QString Count(std::size_t count) {
    return QLocale().toString(static_cast<qulonglong>(count));
}

} // namespace

void TFmain::BuildMarkMenu() {
    MarkMenu = menuBar()->addMenu(QStringLiteral("&Mark"));
    MarkMenu->setToolTipsVisible(true);
    const auto item = [this](const QString& caption, const QKeySequence& shortcut,
                             std::function<void()> handler) {
        auto* action = new QAction(caption, MarkMenu);
        action->setShortcut(shortcut);
        MarkMenu->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, handler = std::move(handler)] { RunCommand(handler); });
        return action;
    };
    const auto keep = [this](TKeepRuleKind kind) {
        return [this, kind] { MarkAllButOneClick({TKeepRule{kind, {}}}); };
    };
    M_KeepNewest = item(QStringLiteral("All but the newest in each group"),
                        QKeySequence(Qt::CTRL | Qt::Key_1), keep(TKeepRuleKind::Newest));
    M_KeepOldest = item(QStringLiteral("All but the oldest in each group"),
                        QKeySequence(Qt::CTRL | Qt::Key_2), keep(TKeepRuleKind::Oldest));
    M_KeepShortest = item(QStringLiteral("All but the shortest path in each group"),
                          QKeySequence(Qt::CTRL | Qt::Key_3), keep(TKeepRuleKind::ShortestPath));
    M_KeepFirst = item(QStringLiteral("All but the first found in each group"),
                       QKeySequence(Qt::CTRL | Qt::Key_4), keep(TKeepRuleKind::First));
    MarkMenu->addSeparator();
    M_MarkFolder = item(QStringLiteral("All in the selected file's folder and below"),
                        QKeySequence(Qt::CTRL | Qt::Key_5), [this] { MarkSelectedFolderClick(); });
    M_MarkUnder = item(QStringLiteral("All under a folder..."), QKeySequence(Qt::CTRL | Qt::Key_6),
                       [this] { MarkChosenFolderClick(); });
    MarkMenu->addSeparator();
    M_Invert = item(QStringLiteral("Invert marks in each group"),
                    QKeySequence(Qt::CTRL | Qt::Key_I), [this] { InvertMarksClick(); });
    M_Clear = item(QStringLiteral("Clear all marks"), QKeySequence(Qt::CTRL | Qt::Key_0),
                   [this] { ClearMarksClick(); });
    M_CopyMarked =
        item(QStringLiteral("Copy marked files"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
             [this] { CopyMarkedClick(); });
    MarkMenu->addSeparator();
    M_Trash =
        item(QStringLiteral("Move marked files to the trash..."),
             QKeySequence(Qt::SHIFT | Qt::Key_F8), [this] { ActOnMarked(TActionKind::Trash); });
    M_Move = item(QStringLiteral("Move marked files to a folder..."),
                  QKeySequence(Qt::SHIFT | Qt::Key_F6), [this] { ActOnMarked(TActionKind::Move); });
    M_Link =
        item(QStringLiteral("Replace marked files by hard links..."),
             QKeySequence(Qt::SHIFT | Qt::Key_F7), [this] { ActOnMarked(TActionKind::HardLink); });
    BuildShareCommand();
}

void TFmain::UpdateMarkCommands(bool searching) {
    const bool marking = !searching && HasResults();
    for (QAction* action :
         {M_KeepNewest, M_KeepOldest, M_KeepShortest, M_KeepFirst, M_MarkUnder, M_Invert, M_Clear})
        action->setEnabled(marking);
    M_MarkFolder->setEnabled(marking && SelectedNode().isValid() && !IsGroupNode(SelectedNode()));
    const bool anyMarked = ResultModel->Result().MarkedCount() > 0;
    M_CopyMarked->setEnabled(marking && anyMarked);
    const QString tip = !resultByContent_ && HasResults() ? kNeedsContent
                        : anyMarked                       ? QString()
                                                          : QStringLiteral("No file is marked.");
    for (QAction* action : {M_Trash, M_Move, M_Link}) {
        action->setEnabled(marking && resultByContent_ && anyMarked);
        action->setToolTip(tip.isEmpty() ? action->text() : tip);
    }
    UpdateShareCommand(marking && resultByContent_ && anyMarked, tip);
}

std::vector<std::string> TFmain::ProtectedFolders() const {
    return D_settings_user ? D_settings_user->ProtectedFolders() : std::vector<std::string>();
}

std::function<bool(const QByteArray& path)> TFmain::ProtectionTest() const {
    // Matched by the folders' identity, each folder resolved once, as parvex-cli matches them.
    auto real = std::make_shared<TRealFolders>();
    auto folders = std::make_shared<const TFolderSet>(ProtectedFolders(), *real);
    return [folders, real](const QByteArray& path) {
        return folders->Holds(path.toStdString(), *real);
    };
}

void TFmain::MarkWith(const std::function<bool(std::vector<TMarkable>&, std::size_t)>& rule) {
    if (!M_Clear->isEnabled())
        return;
    SayKeptFirst(ResultModel->ApplyMarkRule(rule, ProtectionTest()));
}

void TFmain::SayKeptFirst(std::size_t groups) {
    if (groups > 0)
        ShowHint(QStringLiteral("In %1 every copy would have been marked: the first one found "
                                "stays unmarked.")
                     .arg(CountedText(groups, QStringLiteral("group"), QStringLiteral("groups"))));
}

void TFmain::MarkAllButOneClick(const std::vector<TKeepRule>& rules) {
    if (M_Clear->isEnabled())
        SayKeptFirst(ResultModel->MarkByKeepRules(rules, ProtectedFolders()));
}

void TFmain::MarkUnder(const QByteArray& folder) {
    const TResultData& result = ResultModel->Result();
    MarkWith([&result, &folder](std::vector<TMarkable>& files, std::size_t group) {
        std::vector<bool> covered(files.size());
        for (std::size_t f = 0; f < files.size(); ++f)
            covered[f] = result.FilePath(group, f).startsWith(folder);
        return MarkCovered(files, covered);
    });
}

void TFmain::MarkSelectedFolderClick() {
    const QModelIndex node = SelectedNode();
    if (!M_MarkFolder->isEnabled() || !node.isValid() || IsGroupNode(node))
        return;
    const QByteArray path = FileNodePath(node);
    MarkUnder(path.left(path.lastIndexOf('/') + 1));
}

void TFmain::MarkChosenFolderClick() {
    if (!M_MarkUnder->isEnabled() || !ChooseFolder)
        return;
    const QString folder = ChooseFolder(QStringLiteral("Mark the files under the folder:"));
    if (folder.isEmpty())
        return;
    QByteArray bytes = QFile::encodeName(folder);
    if (!bytes.endsWith('/'))
        bytes += '/';
    MarkUnder(bytes);
}

void TFmain::InvertMarksClick() {
    MarkWith([](std::vector<TMarkable>& files, std::size_t) { return InvertMarks(files); });
}

void TFmain::ClearMarksClick() {
    MarkWith([](std::vector<TMarkable>& files, std::size_t) {
        for (TMarkable& file : files)
            file.Marked = false;
        return false;
    });
}

void TFmain::CopyMarkedClick() {
    if (!M_CopyMarked->isEnabled())
        return;
    QGuiApplication::clipboard()->setMimeData(
        FileListMimeData(ResultModel->Result().MarkedPaths()).release());
    ShowHint(
        QStringLiteral("%1 marked files copied").arg(Count(ResultModel->Result().MarkedCount())));
}

void TFmain::ShowMarks() {
    const TResultData& result = ResultModel->Result();
    StatusMarks->setVisible(result.MarkedCount() > 0);
    QString text = QStringLiteral("%1 marked, %2")
                       .arg(Count(result.MarkedCount()), SizeText(result.MarkedBytes(), QLocale()));
    if (result.MarkedOutside() > 0)
        text += QStringLiteral(" (%1 with names outside the search free nothing)")
                    .arg(Count(result.MarkedOutside()));
    StatusMarks->Show(text);
}

void TFmain::ShowHint(const QString& text) {
    StatusPanel2->setText(text);
    // The status text comes back unless something else was said meanwhile.
    QTimer::singleShot(5000, StatusPanel2, [this, text] {
        if (StatusPanel2->text() == text)
            StatusPanel2->setText(SearchStatusText(SearchStatus));
    });
}

QString TFmain::BulkQuestion(TActionKind kind, const QString& folder,
                             const TPlanCount& count) const {
    const QString files = QStringLiteral("%1 (%2)").arg(
        CountedText(count.Files, QStringLiteral("marked file"), QStringLiteral("marked files")),
        SizeText(count.Bytes, QLocale()));
    QString question;
    switch (kind) {
    case TActionKind::Trash:
        question = QStringLiteral("Move %1 to the trash?").arg(files);
        break;
    case TActionKind::Move:
        question = QStringLiteral("Move %1 into\n\"%2\"?").arg(files, folder);
        break;
    case TActionKind::HardLink:
        question = QStringLiteral("Replace %1 by hard links to the copy of their group that "
                                  "stays?")
                       .arg(files);
        break;
    case TActionKind::Share:
        // Sharing storage asks its own question (TShareCommand).
        break;
    }
    if (count.Protected > 0)
        question += QStringLiteral("\n%1 marked files under protected folders are skipped.")
                        .arg(Count(count.Protected));
    if (count.OtherNames > 0)
        question += QStringLiteral("\nTheir %1 other names that the search found go with them.")
                        .arg(Count(count.OtherNames));
    if (count.NamesOutside > 0)
        question += QStringLiteral("\n%1 of them have names outside the search: acting on them "
                                   "frees nothing.")
                        .arg(Count(count.NamesOutside));
    const std::size_t hidden = ResultModel->MarkedHidden();
    question +=
        hidden == 0 ? QStringLiteral("\nNone of them is hidden by the filter.")
        : hidden == 1
            ? QStringLiteral("\n1 of them is in a group the filter hides.")
            : QStringLiteral("\n%1 of them are in groups the filter hides.").arg(Count(hidden));
    question += QStringLiteral("\nIn each group the marked files are compared with a protected "
                               "copy, else with the first unmarked copy that is unchanged; a "
                               "marked file that changed or whose content no longer equals that "
                               "copy is skipped.");
    return question;
}

bool TFmain::RunInSlices(const QString& what, std::size_t total, const std::function<bool()>& step,
                         const std::function<std::size_t()>& handled) {
    QProgressDialog progress(what + QStringLiteral("..."), QStringLiteral("Stop"), 0,
                             static_cast<int>(total), this);
    progress.setWindowTitle(QStringLiteral("Parvex"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumWidth(progress.fontMetrics().averageCharWidth() * 50);
    progress.show();
    HoldSleep(what);
    bool more = true;
    while (more && !progress.wasCanceled()) {
        for (int i = 0; i < kFilesPerSlice && (more = step()); ++i) {
        }
        progress.setValue(static_cast<int>(handled()));
        if (OnBulkSlice)
            OnBulkSlice(progress);
        QCoreApplication::processEvents();
    }
    ReleaseSleep();
    progress.hide();
    return handled() < total;
}

void TFmain::ActOnMarked(TActionKind kind) {
    const QAction* command = kind == TActionKind::Trash  ? M_Trash
                             : kind == TActionKind::Move ? M_Move
                                                         : M_Link;
    if (!command->isEnabled() || Dialogs.Fsure == nullptr)
        return;
    QString folder;
    if (kind == TActionKind::Move) {
        folder =
            ChooseFolder ? ChooseFolder(QStringLiteral("Move the marked files into:")) : QString();
        if (folder.isEmpty())
            return;
    }
    const TMarkedGroups marked = MarkedGroupsOf(ResultModel->Result());
    std::vector<std::string> markedPaths;
    for (const TResultGroupFacts& group : marked.Facts)
        for (const TResultFileFacts& file : group.Files)
            if (file.Marked)
                markedPaths.push_back(file.Path);
    TPlanChoices choices;
    choices.ProtectedFolders = ProtectedFolders();
    choices.FollowMarks = true;
    TRealFolders real;
    const TActionPlan plan = MakeActionPlan(marked.Facts, choices, real);
    // One question for the whole batch, and Enter answers it No.
    if (!OutsideConfirmed(markedPaths) ||
        !Dialogs.Fsure->AskInFull(BulkQuestion(kind, folder, CountPlan(marked.Facts, plan)), true))
        return;
    RunPlan(marked, plan, kind, QFile::encodeName(folder).toStdString());
}

void TFmain::RunPlan(const TMarkedGroups& marked, const TActionPlan& plan, TActionKind kind,
                     const std::string& folder) {
    const QString what =
        kind == TActionKind::Trash  ? QStringLiteral("Moving the marked files to the trash")
        : kind == TActionKind::Move ? QStringLiteral("Moving the marked files")
                                    : QStringLiteral("Replacing the marked files by hard links");
    // The run is journalled, so that it can be undone; without a journal nothing is done.
    std::unique_ptr<TRunJournal> journal;
    try {
        journal = std::make_unique<TRunJournal>(RunsFolder(), "window");
    } catch (const std::exception& error) {
        ShowText(QStringLiteral("Nothing was done: the journal of the action cannot be written: %1")
                     .arg(QString::fromLocal8Bit(error.what())));
        return;
    }
    TActionsLog log(ActionsLogFile.empty() ? TActionsLog::DefaultPath() : ActionsLogFile);
    TActionRun run(marked.Facts, plan, {kind, folder, false}, &log);
    run.JournalTo(*journal);
    // Whole files only, so that Stop never leaves a file with some of its names acted on.
    RunInSlices(
        what, run.Total(),
        [&run] {
            if (!run.Step())
                return false;
            while (!run.AtFileStart())
                run.Step();
            return true;
        },
        [&run] { return run.Outcomes().size(); });

    const std::vector<TFileOutcome> files = OutcomesByFile(run.Outcomes(), marked.Facts);
    const TResultData& result = ResultModel->Result();
    std::vector<std::pair<std::size_t, std::uint32_t>> done;
    for (const TFileOutcome& file : files) {
        if (file.Done.empty())
            continue;
        const std::size_t group = marked.Places[file.Group];
        done.emplace_back(group,
                          result.Group(group).Files[marked.Rows[file.Group][file.File]].FoundRank);
    }
    const TPlanCount count = CountPlan(marked.Facts, plan);
    const std::size_t left = count.Files + count.Skipped - files.size();
    ResultModel->RemoveFiles(std::move(done));
    ShowSummary();
    ShowMarks();
    UpdateCommands();
    if (BulkReport == nullptr)
        BulkReport = new TBulkReport(this);
    BulkReport->ShowRun(what, run, files, left);
}

} // namespace parvex
