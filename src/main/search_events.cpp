// The search side of the main window: Start and Stop, and the receivers of the engine's events.
#include "_compearer/ocompearer.h"
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
    TV1->clear();
    // The emptied tree is drawn once; then it stays still until the result is complete.
    TV1->viewport()->repaint();
    TV1->setUpdatesEnabled(false);
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
    CurrentGroupNode = new QTreeWidgetItem(TV1, QStringList(Text));
}

void TFmain::AddFileNode(const QString& Text, const QByteArray& Path) {
    if (CurrentGroupNode == nullptr)
        return;
    auto* node = new QTreeWidgetItem(CurrentGroupNode, QStringList(Text));
    node->setData(0, Qt::UserRole, Path);
}

void TFmain::SearchCompleted() {
    FinishResult(stComplete);
}

void TFmain::SearchInterrupted() {
    FinishResult(stInterrupted);
}

void TFmain::FinishResult(int status) {
    SearchRunning = false;
    TV1->setUpdatesEnabled(true);
    SortResultTree(*TV1, QCollator(QLocale()));
    SetSearchStatus(status);
}

// A search that ended by an error still leaves a usable window: its partial result drawn and
// sorted, and the commands enabled again. The error itself goes on to the top-level handler.
void TFmain::SearchFailed() {
    FinishResult(HasResults() ? stInterrupted : stEmpty);
}

} // namespace parvex
