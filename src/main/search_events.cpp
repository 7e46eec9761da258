// The search side of the main window: Start and Stop, and the receivers of the engine's events.
#include "_compearer/panel/ocompearer.h"
#include "main/fmain.h"
#include "main/result_tree.h"

#include <QCollator>
#include <QFile>
#include <QLineEdit>
#include <QLocale>

namespace parvex {

void TFmain::Ocompearer1btn_startClick() {
    if (SearchRunning)
        return;
    NormalizeStartPath();
    SearchRunning = true;
    try {
        Ocompearer1->btn_startClick();
    } catch (...) {
        SearchFailed();
        CloseIfExitConfirmed();
        throw;
    }
    SearchRunning = false;
    if (CloseIfExitConfirmed())
        return;
    if (!HasResults()) {
        SetSearchStatus(stEmpty);
        ShowText(QStringLiteral("No identical files fond"));
    }
}

void TFmain::Ocompearer1Btn_stopClick() {
    if (Ask(QStringLiteral("Break search porcess?")))
        Ocompearer1->Btn_stopClick();
}

void TFmain::SearchStarted() {
    CurrentGroupNode = nullptr;
    FindPosition = nullptr;
    Builder.Restart(QCollator(QLocale()));
    FoundIndex.Clear();
    TV1->clear();
    Ocompearer1->Core().SearchSpec =
        QFile::encodeName(Edit_root->text() + Edit_ft->text()).toStdString();
    SetSearchStatus(stInProcess);
}

void TFmain::FoundHandler(const std::string& Text, bool NewGroup) {
    const QByteArray bytes = QByteArray::fromStdString(Text);
    if (NewGroup)
        AddGroupNode(QFile::decodeName(bytes));
    else
        AddFileNode(QFile::decodeName(bytes), bytes);
}

void TFmain::AddGroupNode(const QString& Text) {
    CurrentGroupNode = Builder.AddGroup(Text);
}

void TFmain::AddFileNode(const QString& Text, const QByteArray& Path) {
    if (CurrentGroupNode == nullptr)
        return;
    Builder.AddFile(Text, Path);
}

void TFmain::SearchCompleted() {
    FinishResult(stComplete);
}

void TFmain::SearchInterrupted() {
    FinishResult(stInterrupted);
}

void TFmain::FinishResult(int status) {
    SearchRunning = false;
    TV1->addTopLevelItems(Builder.TakeSorted(FoundIndex));
    SetSearchStatus(status);
}

// A search that ended by an error still leaves a usable window: its partial result drawn and
// sorted, and the commands enabled again. The error itself goes on to the top-level handler.
void TFmain::SearchFailed() {
    FinishResult(stInterrupted);
    if (!HasResults())
        SetSearchStatus(stEmpty);
}

} // namespace parvex
