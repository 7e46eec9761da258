// The marks of the main window and the bulk commands that act on the marked files.
#include "dialogs/file_group_info.h"
#include "dialogs/settings_user.h"
#include "dialogs/sure.h"
#include "file_actions/folder_set.h"
#include "main/bulk_report.h"
#include "main/counted_text.h"
#include "main/fmain.h"
#include "main/result_model.h"
#include "main/result_tree.h"
#include "main/status_field.h"
#include "platform/actions_log.h"
#include "platform/all_names_move.h"
#include "platform/desktop/file_list_mime.h"
#include "platform/freedesktop_trash.h"
#include "platform/hard_link_replace.h"

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
#include <algorithm>

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
    const auto keep = [this](TKeepRule rule) { return [this, rule] { MarkAllButOneClick(rule); }; };
    M_KeepNewest = item(QStringLiteral("All but the newest in each group"),
                        QKeySequence(Qt::CTRL | Qt::Key_1), keep(TKeepRule::Newest));
    M_KeepOldest = item(QStringLiteral("All but the oldest in each group"),
                        QKeySequence(Qt::CTRL | Qt::Key_2), keep(TKeepRule::Oldest));
    M_KeepShortest = item(QStringLiteral("All but the shortest path in each group"),
                          QKeySequence(Qt::CTRL | Qt::Key_3), keep(TKeepRule::ShortestPath));
    M_KeepFirst = item(QStringLiteral("All but the first found in each group"),
                       QKeySequence(Qt::CTRL | Qt::Key_4), keep(TKeepRule::FirstFound));
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
    M_Trash = item(QStringLiteral("Move marked files to the trash..."),
                   QKeySequence(Qt::SHIFT | Qt::Key_F8), [this] { ActOnMarked(TBulkKind::Trash); });
    M_Move = item(QStringLiteral("Move marked files to a folder..."),
                  QKeySequence(Qt::SHIFT | Qt::Key_F6), [this] { ActOnMarked(TBulkKind::Move); });
    M_Link =
        item(QStringLiteral("Replace marked files by hard links..."),
             QKeySequence(Qt::SHIFT | Qt::Key_F7), [this] { ActOnMarked(TBulkKind::HardLink); });
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

std::function<bool(const QByteArray& path)> TFmain::ProtectionTest() const {
    // Matched by the folders' identity, each folder resolved once, as parvex-cli matches them.
    auto real = std::make_shared<TRealFolders>();
    auto folders = std::make_shared<const TFolderSet>(
        D_settings_user ? D_settings_user->ProtectedFolders() : std::vector<std::string>(), *real);
    return [folders, real](const QByteArray& path) {
        return folders->Holds(path.toStdString(), *real);
    };
}

void TFmain::MarkWith(const std::function<bool(std::vector<TMarkable>&, std::size_t)>& rule) {
    if (!M_Clear->isEnabled())
        return;
    const std::size_t keptFirst = ResultModel->ApplyMarkRule(rule, ProtectionTest());
    if (keptFirst > 0)
        ShowHint(
            QStringLiteral("In %1 every copy would have been marked: the first one found "
                           "stays unmarked.")
                .arg(CountedText(keptFirst, QStringLiteral("group"), QStringLiteral("groups"))));
}

void TFmain::MarkAllButOneClick(TKeepRule rule) {
    MarkWith(
        [rule](std::vector<TMarkable>& files, std::size_t) { return MarkAllButOne(files, rule); });
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

// Every group with a marked file: its unmarked files (the candidates to stay) and its marked
// ones, each in found order.
std::vector<TBulkGroup> TFmain::BulkPlan() const {
    const TResultData& result = ResultModel->Result();
    const auto isProtected = ProtectionTest();
    std::vector<TBulkGroup> plan;
    for (std::size_t group = 0; group < result.GroupCount(); ++group) {
        const TResultGroup& g = result.Group(group);
        if (g.MarkedCount == 0)
            continue;
        TBulkGroup bulk;
        for (std::size_t f = 0; f < g.Files.size(); ++f) {
            const TResultFile& file = g.Files[f];
            const QByteArray path = result.FilePath(group, f);
            // A file is protected as a whole when any of its names is.
            const std::vector<std::string>& others = result.OtherNamesOf(group, f);
            const bool covered =
                isProtected(path) || std::ranges::any_of(others, [&](const std::string& name) {
                    return isProtected(QByteArray::fromStdString(name));
                });
            TBulkFile entry{path.toStdString(), others,  file.Trusted(),
                            file.AllNamesFound, covered, group,
                            file.FoundRank};
            (file.Marked ? bulk.Marked : bulk.Unmarked).push_back(std::move(entry));
        }
        for (auto* files : {&bulk.Marked, &bulk.Unmarked})
            std::ranges::sort(*files, {}, &TBulkFile::FoundRank);
        plan.push_back(std::move(bulk));
    }
    return plan;
}

QString TFmain::BulkQuestion(TBulkKind kind, const QString& folder) const {
    const TBulkCount count = CountActedOn(BulkPlan());
    const QString files =
        QStringLiteral("%1 (%2)").arg(CountedText(count.Files, QStringLiteral("marked file"),
                                                  QStringLiteral("marked files")),
                                      SizeText(count.Bytes, QLocale()));
    QString question;
    switch (kind) {
    case TBulkKind::Trash:
        question = QStringLiteral("Move %1 to the trash?").arg(files);
        break;
    case TBulkKind::Move:
        question = QStringLiteral("Move %1 into\n\"%2\"?").arg(files, folder);
        break;
    case TBulkKind::HardLink:
        question = QStringLiteral("Replace %1 by hard links to the copy of their group that "
                                  "stays?")
                       .arg(files);
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
    question += QStringLiteral("\nIn each group the first unmarked copy that is unchanged stays; "
                               "a marked file that changed or whose content no longer equals "
                               "that copy is skipped.");
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

void TFmain::ActOnMarked(TBulkKind kind) {
    const QAction* command = kind == TBulkKind::Trash  ? M_Trash
                             : kind == TBulkKind::Move ? M_Move
                                                       : M_Link;
    if (!command->isEnabled() || Dialogs.Fsure == nullptr)
        return;
    QString folder;
    if (kind == TBulkKind::Move) {
        folder =
            ChooseFolder ? ChooseFolder(QStringLiteral("Move the marked files into:")) : QString();
        if (folder.isEmpty())
            return;
    }
    std::vector<TBulkGroup> plan = BulkPlan();
    std::vector<std::string> marked;
    for (const TBulkGroup& group : plan)
        for (const TBulkFile& file : group.Marked)
            marked.push_back(file.Path);
    // One question for the whole batch, and Enter answers it No.
    if (!OutsideConfirmed(marked) || !Dialogs.Fsure->AskInFull(BulkQuestion(kind, folder), true))
        return;

    const std::string destination = QFile::encodeName(folder).toStdString();
    TBulkAct act;
    QString what;
    std::string action;
    switch (kind) {
    case TBulkKind::Trash:
        what = QStringLiteral("Moving the marked files to the trash");
        action = "trash";
        act = EachName(
            [](const std::string& name, const std::string&, std::string&, std::string& reason) {
                TTrashOutcome outcome = TrashFile(name);
                reason = std::move(outcome.Reason);
                return outcome.Trashed;
            });
        break;
    case TBulkKind::Move:
        what = QStringLiteral("Moving the marked files");
        action = "move";
        act = [destination](const std::vector<std::string>& names, const std::string&,
                            std::vector<std::string>& targets, std::string& reason) {
            TNamesMove moved = MoveAllNames(names, destination);
            targets = std::move(moved.Targets);
            reason = std::move(moved.Reason);
            return moved.Moved;
        };
        break;
    case TBulkKind::HardLink:
        what = QStringLiteral("Replacing the marked files by hard links");
        action = "hardlink";
        act = EachName([](const std::string& name, const std::string& kept, std::string& target,
                          std::string& reason) {
            target = kept;
            TLinkOutcome outcome = ReplaceWithHardLink(kept, name);
            reason = std::move(outcome.Reason);
            return outcome.Linked;
        });
        break;
    }

    TActionsLog log(ActionsLogFile.empty() ? TActionsLog::DefaultPath() : ActionsLogFile);
    TBulkRun run(std::move(plan), std::move(act), action, &log);
    const bool stopped = RunInSlices(
        what, run.Total(), [&run] { return run.Step(); }, [&run] { return run.Outcomes().size(); });

    std::vector<std::pair<std::size_t, std::uint32_t>> done;
    for (const TBulkOutcome& outcome : run.Outcomes()) {
        if (outcome.Done)
            done.emplace_back(outcome.File.Group, outcome.File.FoundRank);
    }
    ResultModel->RemoveFiles(std::move(done));
    ShowSummary();
    ShowMarks();
    UpdateCommands();
    if (BulkReport == nullptr)
        BulkReport = new TBulkReport(this);
    BulkReport->ShowRun(what, run, stopped);
}

} // namespace parvex
