// The details pane of the main window: a dock beside the result tree that shows the selected
// file, toggled from the View menu and remembered in the settings document.
#include "dialogs/settings_user.h"
#include "main/details_pane.h"
#include "main/fmain.h"
#include "main/result_model.h"
#include "main/result_tree.h"

#include <QAction>
#include <QDockWidget>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMenuBar>

namespace parvex {
namespace {

// The root attribute of the settings document that says whether the details pane is shown.
constexpr const char* kDetailsPaneAttribute = "DETAILS_PANE";

} // namespace

void TFmain::BuildDetailsPane() {
    auto* dock = new QDockWidget(QStringLiteral("Details"), this);
    dock->setObjectName(QStringLiteral("DetailsDock"));
    dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    DetailsPane = new TDetailsPane(dock);
    dock->setWidget(DetailsPane);
    addDockWidget(Qt::RightDockWidgetArea, dock);

    N_DetailsPane = dock->toggleViewAction();
    N_DetailsPane->setText(QStringLiteral("Details pane"));
    N_DetailsPane->setShortcut(Qt::Key_F3);
    addAction(N_DetailsPane);
    // The View menu goes before Help, the last menu.
    auto* view = new QMenu(QStringLiteral("&View"), this);
    view->addAction(N_DetailsPane);
    const QList<QAction*> menus = menuBar()->actions();
    menuBar()->insertMenu(menus.isEmpty() ? nullptr : menus.last(), view);

    const bool shown =
        D_settings_user && D_settings_user->Document->GetAttr(kDetailsPaneAttribute) == "1";
    dock->setVisible(shown);
    N_DetailsPane->setChecked(shown);
    // Only the user's command changes the setting: the dock also hides when the window closes.
    connect(N_DetailsPane, &QAction::triggered, this, [this](bool on) {
        if (D_settings_user)
            D_settings_user->Document->SetAttr(kDetailsPaneAttribute, on ? "1" : "0");
        ShowDetailsOfSelection();
    });
    connect(TV1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TFmain::ShowDetailsOfSelection);
    connect(ResultModel, &QAbstractItemModel::modelReset, this, &TFmain::ShowDetailsOfSelection);
}

void TFmain::ShowDetailsOfSelection() {
    if (!N_DetailsPane->isChecked())
        return;
    const QModelIndex node = TV1->currentIndex().siblingAtColumn(0);
    if (!node.isValid() || TResultModel::IsGroup(node)) {
        DetailsPane->ShowNothing();
        return;
    }
    if (const TFileState state = ResultModel->StateOf(node); state != TFileState::AsFound) {
        DetailsPane->ShowNothing(StaleRefusal(state));
        return;
    }
    DetailsPane->ShowFile(ResultModel->PathOf(node), ResultModel->OtherNamesOf(node));
}

} // namespace parvex
