// The searches of the main window: the search for identical files (Start, Stop and the
// receivers of the engine's events) and the text search in its result (Search in found).
#include "_compearer/panel/ocompearer.h"
#include "dialogs/file_group_info.h"
#include "dialogs/find_dialog.h"
#include "dialogs/settings_user.h"
#include "main/beside_place.h"
#include "main/counted_text.h"
#include "main/fmain.h"
#include "main/input_text.h"
#include "main/match_notice.h"
#include "main/reported_facts.h"
#include "main/result_model.h"
#include "main/result_tree.h"
#include "main/skipped_list.h"
#include "main/status_field.h"
#include "platform/start_folder.h"

#include <QAction>
#include <QCollator>
#include <QCoreApplication>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QScreen>
#include <cstring>
#include <limits>

namespace parvex {

namespace {

// Why no search can start at `folder`, for the message dialog; empty when one can.
QString StartFolderRefusal(const std::string& folder) {
    const TStartFolderCheck check = CheckStartFolder(folder);
    const QString shown = QFile::decodeName(QByteArray::fromStdString(folder));
    switch (check.Problem) {
    case TStartFolderProblem::None:
        return {};
    case TStartFolderProblem::Missing:
    case TStartFolderProblem::NotAFolder:
        return QStringLiteral("Start folder not found: %1").arg(shown);
    case TStartFolderProblem::Unreachable:
    case TStartFolderProblem::Unlistable:
        break;
    }
    return QStringLiteral("Start folder cannot be read: %1: %2")
        .arg(shown, QString::fromLocal8Bit(std::strerror(check.Error)));
}

} // namespace

bool TFmain::StartFolderUsable(const std::string& folder) {
    const QString refusal = StartFolderRefusal(folder);
    if (refusal.isEmpty())
        return true;
    ShowText(refusal);
    return false;
}

void TFmain::Ocompearer1btn_startClick() {
    if (searchRunning_)
        return;
    // Checked before anything changes: a refused start leaves the fields, the tree and the
    // status as they were.
    if (!StartFolderUsable(NormalizedStartFolder()))
        return;
    NormalizeStartPath();
    searchRunning_ = true;
    try {
        Ocompearer1->btn_startClick();
    } catch (...) {
        SearchFailed();
        CloseIfExitConfirmed();
        throw;
    }
    searchRunning_ = false;
    if (CloseIfExitConfirmed())
        return;
    if (!HasResults()) {
        SetSearchStatus(TSearchStatus::stEmpty);
        ShowText(QStringLiteral("No identical files fond"));
    }
}

void TFmain::Ocompearer1Btn_stopClick() {
    if (Ask(QStringLiteral("Break search porcess?")))
        Ocompearer1->Btn_stopClick();
}

void TFmain::SearchStarted() {
    HoldSleep(QStringLiteral("Searching for duplicate files"));
    searchEndNotice_.Started();
    CurrentGroupNode.reset();
    FindPosition = QPersistentModelIndex();
    skipped_.Clear();
    ShowNotReadCount();
    building_.Restart(QCollator(QLocale()), NormalizedStartFolder());
    const TCompareKeys keys = Ocompearer1->Core().Keys();
    wastedKnown_ = keys.Size && keys.Content;
    contentKey_ = keys.Content;
    ResultModel->Clear();
    ShowSummary();
    ShowMarks();
    Ocompearer1->Core().SearchSpec = StartFolderBytes() + MaskListOfField();
    // The engine matches the excluded folders by identity, whatever their spelling.
    std::vector<std::string> excluded;
    for (int i = 0; D_settings_user && i < D_settings_user->LB_prohibited->count(); ++i)
        excluded.push_back(
            QFile::encodeName(D_settings_user->LB_prohibited->item(i)->text()).toStdString());
    Ocompearer1->Core().ExcludedFolders = std::move(excluded);
    // The file size limits of the settings; a missing or unreadable one is no limit. So are the
    // reading threads: missing or unreadable, the engine chooses.
    TCompearerCore& core = Ocompearer1->Core();
    core.MinFileSize = 0;
    core.MaxFileSize = std::numeric_limits<std::int64_t>::max();
    core.Threads = 0;
    if (D_settings_user) {
        core.MinFileSize =
            D_settings_user->ReadSizeLimit(TSettingsStore::MinSizeAttribute).value_or(0);
        core.MaxFileSize = D_settings_user->ReadSizeLimit(TSettingsStore::MaxSizeAttribute)
                               .value_or(core.MaxFileSize);
        core.Threads = D_settings_user->ReadReaders();
    }
    StartRemembering();
    buildingSearch_ = SearchOfInputs();
    setWindowTitle(QStringLiteral("Parvex"));
    SetSearchStatus(TSearchStatus::stInProcess);
}

void TFmain::FoundHandler(const std::string& Text, bool NewGroup) {
    const QByteArray bytes = QByteArray::fromStdString(Text);
    if (NewGroup)
        AddGroupNode(bytes);
    else
        AddFileNode(bytes);
}

void TFmain::AddGroupNode(const QByteArray& Text) {
    building_.AddGroup(Text);
    CurrentGroupNode = CurrentGroupNode ? *CurrentGroupNode + 1 : 0;
}

void TFmain::AddFileNode(const QByteArray& Path) {
    if (!CurrentGroupNode)
        return;
    // What the search found about the file: its size and time for the columns, its other names,
    // and what a later delete needs to tell whether another copy is still on disk unchanged.
    building_.AddFile(Path, ReportedFacts(Ocompearer1->Core(), Path.toStdString()));
}

void TFmain::ShowSummary() {
    const TResultData& result = ResultModel->Result();
    StatusSummary->setVisible(result.GroupCount() > 0);
    const QLocale locale;
    QString text =
        CountedText(result.GroupCount(), QStringLiteral("group"), QStringLiteral("groups")) +
        QStringLiteral(", ") +
        CountedText(result.FileCount(), QStringLiteral("file"), QStringLiteral("files"));
    if (ResultModel->WastedKnown())
        text += QStringLiteral(", %1 can be freed").arg(SizeText(result.TotalWasted(), locale));
    // Only an opened result has files that went or changed since it was saved.
    for (const auto& [state, name] : {std::pair(TFileState::Missing, QStringLiteral("missing")),
                                      std::pair(TFileState::Changed, QStringLiteral("changed"))}) {
        if (const std::size_t count = result.StaleCount(state); count > 0)
            text += QStringLiteral(", %1 %2").arg(locale.toString(static_cast<qulonglong>(count)),
                                                  name);
    }
    StatusSummary->Show(text);
    const QString notice =
        result.GroupCount() > 0 ? MatchNoticeText(resultSearch_.Keys) : QString();
    MatchNotice->setText(notice);
    MatchNotice->setAccessibleName(notice);
    MatchNotice->setVisible(!notice.isEmpty());
}

void TFmain::SkippedHandler(const std::string& Path, const std::string& Reason) {
    skipped_.Add(Path, Reason);
    ShowNotReadCount();
}

void TFmain::ShowNotReadCount() {
    StatusNotRead->setVisible(skipped_.Count() > 0);
    StatusNotRead->Show(QStringLiteral("%1 not read")
                            .arg(QLocale().toString(static_cast<qulonglong>(skipped_.Count()))));
}

void TFmain::StatusNotReadDblClick() {
    if (skipped_.Count() == 0)
        return;
    TSkippedList list(this);
    list.ShowLog(skipped_);
}

void TFmain::SearchCompleted() {
    FinishResult(TSearchStatus::stComplete);
}

void TFmain::SearchInterrupted() {
    FinishResult(TSearchStatus::stInterrupted);
}

void TFmain::FinishResult(TSearchStatus status) {
    RetireStore();
    CurrentGroupNode.reset();
    // The window stays responsive while the groups are put in order; commands stay disabled
    // until the result is in.
    building_.Finish([] { QCoreApplication::processEvents(); });
    searchRunning_ = false;
    TResultData result;
    std::swap(result, building_);
    TV1->header()->setSortIndicator(-1, Qt::AscendingOrder);
    ResultModel->SetResult(std::move(result), wastedKnown_);
    resultByContent_ = contentKey_;
    resultSearch_ = buildingSearch_;
    resultComplete_ = status == TSearchStatus::stComplete;
    ResultModel->SetFilter(FilterEdit->text());
    ShowSummary();
    ShowMarks();
    SetSearchStatus(status);
    ReleaseSleep();
    SearchEndedNotice(status);
}

// A search that ended by an error still leaves a usable window: its partial result drawn and
// sorted, and the commands enabled again. The error itself goes on to the top-level handler.
void TFmain::SearchFailed() {
    FinishResult(TSearchStatus::stInterrupted);
    if (!HasResults())
        SetSearchStatus(TSearchStatus::stEmpty);
}

void TFmain::TB_search_in_foundClick() {
    if (!TB_search_in_found->isEnabled())
        return;
    if (!FindDialog1->isVisible()) {
        // The dialog opens beside the tree, or at least off the selected row, so that the
        // matches it selects stay in sight.
        FindDialog1->adjustSize();
        const QRect tree(TV1->mapToGlobal(QPoint(0, 0)), TV1->size());
        if (const auto place = PlaceOnScreen(tree))
            FindDialog1->move(*place);
        else
            KeepFindDialogOff(SelectedNode());
    }
    FindDialog1->Execute();
}

std::optional<QPoint> TFmain::PlaceOnScreen(const QRect& keepClear) const {
    const QScreen* screen = this->screen();
    if (screen == nullptr)
        return std::nullopt;
    return PlaceBeside(keepClear, FindDialog1->frameGeometry().size(), screen->availableGeometry());
}

void TFmain::KeepFindDialogOff(const QModelIndex& node) {
    if (!node.isValid())
        return;
    QRect row = TV1->visualRect(node);
    row.setLeft(0);
    row.setWidth(TV1->viewport()->width());
    const QRect onScreen(TV1->viewport()->mapToGlobal(row.topLeft()), row.size());
    if (FindDialog1->isVisible() && !FindDialog1->frameGeometry().intersects(onScreen))
        return;
    if (const auto place = PlaceOnScreen(onScreen))
        FindDialog1->move(*place);
}

void TFmain::FindDialog1Find() {
    const QString pattern = TrimmedOfBlanks(FindDialog1->FindText());
    const QModelIndex found =
        ResultModel->FindNext(FindPosition, pattern, FindDialog1->SearchDown());
    if (found.isValid()) {
        if (found.parent().isValid())
            TV1->expand(found.parent());
        TV1->setCurrentIndex(found);
        TV1->scrollTo(found);
        FindPosition = found;
        KeepFindDialogOff(found);
        return;
    }
    FindPosition = SelectedNode();
    if (!FindDialog1->isVisible()) {
        ShowText(QStringLiteral("No mathces found"));
        return;
    }
    // The message answers the find dialog, which then takes the keyboard back: the next Enter
    // searches again instead of reaching the tree behind it.
    ShowTextOver(*FindDialog1, QStringLiteral("No mathces found"));
    FindDialog1->Execute();
}

} // namespace parvex
