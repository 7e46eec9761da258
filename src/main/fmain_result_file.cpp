// Saving the result shown to a JSON result document, opening one saved by the window or by
// parvex-cli, and what a command checks first about a file of the result: that it is as saved,
// and whether it lies inside the search's start folder.
#include "_compearer/panel/ocompearer.h"
#include "dialogs/sure.h"
#include "main/counted_text.h"
#include "main/fmain.h"
#include "main/result_document_text.h"
#include "main/result_loader.h"
#include "main/result_model.h"
#include "main/result_tree.h"
#include "platform/atomic_file.h"
#include "result_file/host_name.h"
#include "result_file/result_search.h"
#include "result_file/start_folder_bounds.h"

#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace parvex {

namespace {

QString Decoded(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

// What search made an opened result.
QString OpenedText(const TResultSearch& search) {
    return QStringLiteral("Opened a search of %1 in %2 by %3")
        .arg(Decoded(search.MaskList), Decoded(search.StartFolder),
             QString::fromStdString(FormatCompareKeys(search.Keys)));
}

} // namespace

TResultSearch TFmain::SearchOfInputs() const {
    return ResultSearchOf(Ocompearer1->Core(), NormalizedStartFolder(), MaskListOfField());
}

void TFmain::SaveResultClick() {
    if (!N_SaveResult->isEnabled() || !ChooseResultFile)
        return;
    const QString fileName = ChooseResultFile(true);
    if (fileName.isEmpty())
        return;
    if (SaveResult(fileName))
        ShowHint(QStringLiteral("Result saved to %1").arg(fileName));
}

bool TFmain::SaveResult(const QString& fileName) {
    const std::string text = ResultDocumentText(ResultModel->Result(), resultSearch_,
                                                skipped_.Entries(), resultComplete_);
    if (WriteFileAtomically(QFile::encodeName(fileName).toStdString(), text))
        return true;
    const int error = errno;
    ShowText(QStringLiteral("The result cannot be saved to \"%1\": %2")
                 .arg(fileName, QString::fromLocal8Bit(std::strerror(error))));
    return false;
}

void TFmain::OpenResultClick() {
    if (!N_OpenResult->isEnabled() || !ChooseResultFile)
        return;
    const QString fileName = ChooseResultFile(false);
    if (fileName.isEmpty())
        return;
    // A refused file was reported by OpenResult; the result shown stays.
    (void)OpenResult(fileName);
}

bool TFmain::OpenResult(const QString& fileName) {
    if (searchRunning_ || openingResult_)
        return false;
    const std::string host = ThisHostName();
    openingResult_ = true;
    TLoadedResult loaded =
        LoadResultFile(this, QFile::encodeName(fileName).toStdString(), host, OnOpenProgress);
    openingResult_ = false;
    switch (loaded.Outcome) {
    case TLoadedResult::TOutcome::Opened:
        break;
    case TLoadedResult::TOutcome::Unreadable:
        ShowText(QStringLiteral("\"%1\" cannot be read: %2").arg(fileName, loaded.Reason));
        return false;
    case TLoadedResult::TOutcome::Refused:
        ShowText(QStringLiteral("\"%1\" is not a Parvex result: %2").arg(fileName, loaded.Reason));
        return false;
    case TLoadedResult::TOutcome::Cancelled:
        ShowHint(QStringLiteral("Opening \"%1\" was cancelled.").arg(fileName));
        return false;
    }
    const TResultDocument& document = loaded.Document;
    TResultData& opened = loaded.Data;
    CurrentGroupNode.reset();
    FindPosition = QPersistentModelIndex();
    skipped_.Clear();
    for (const TResultSkipped& entry : document.Skipped)
        skipped_.Add(entry.Path, entry.Reason);
    ShowNotReadCount();
    const TCompareKeys& keys = document.Search.Keys;
    TV1->header()->setSortIndicator(-1, Qt::AscendingOrder);
    ResultModel->SetResult(std::move(opened), keys.Size && keys.Content);
    ResultModel->SetFilter(FilterEdit->text());
    // Bulk commands act only on copies: files the saved search compared by content.
    resultByContent_ = keys.Content;
    resultSearch_ = document.Search;
    // The files as found now carry this host's device and inode numbers, so a result saved
    // again names this host.
    resultSearch_.Host = host;
    resultComplete_ = document.Complete;
    // A new search starts where the saved one did.
    Edit_ft->setText(Decoded(document.Search.MaskList));
    Edit_root->setText(Decoded(document.Search.StartFolder));
    ShowSummary();
    ShowMarks();
    SetSearchStatus(document.Complete ? TSearchStatus::stComplete : TSearchStatus::stInterrupted);
    setWindowTitle(QStringLiteral("%1 - Parvex").arg(QFileInfo(fileName).fileName()));
    ShowHint(OpenedText(document.Search));
    return true;
}

bool TFmain::OutsideConfirmed(const std::vector<std::string>& paths) {
    const std::string& start = resultSearch_.StartFolder;
    if (start.empty())
        return true;
    const auto outside =
        static_cast<std::size_t>(std::ranges::count_if(paths, [&start](const std::string& path) {
            return !InsideStartFolderOnDisk(start, path);
        }));
    if (outside == 0)
        return true;
    const QString question =
        QStringLiteral("%1 outside the start folder of this result,\n\"%2\".\nAct on %3 anyway?")
            .arg(outside == 1 ? QStringLiteral("1 file is")
                              : CountedText(outside, QString(), QStringLiteral("files are")),
                 Decoded(start), outside == 1 ? QStringLiteral("it") : QStringLiteral("them"));
    return Dialogs.Fsure != nullptr && Dialogs.Fsure->AskInFull(question, true);
}

bool TFmain::RefusedAsStale(const QModelIndex& node) {
    const TFileState state = ResultModel->StateOf(node);
    if (state == TFileState::AsFound)
        return false;
    ShowHint(StaleRefusal(state));
    return true;
}

} // namespace parvex
