#include "main/fmain.h"

#include "_compearer/panel/ocompearer.h"
#include "_compearer/search_spec.h"
#include "dialogs/about.h"
#include "dialogs/borrowed_parent.h"
#include "dialogs/file_group_info.h"
#include "dialogs/find_dialog.h"
#include "dialogs/ft.h"
#include "dialogs/msg.h"
#include "dialogs/screen_area.h"
#include "dialogs/settings_handoff.h"
#include "dialogs/settings_user.h"
#include "dialogs/sure.h"
#include "main/command_state.h"
#include "main/focus_return.h"
#include "main/input_text.h"
#include "main/last_copy_check.h"
#include "main/move_destination.h"
#include "main/result_file_dialog.h"
#include "main/result_model.h"
#include "main/result_tree.h"
#include "main/status_field.h"
#include "platform/desktop/desktop_open.h"
#include "platform/desktop/file_list_mime.h"
#include "platform/desktop/file_manager.h"
#include "platform/file_io.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

namespace parvex {

TFmain::TFmain(std::unique_ptr<TD_settings_user> userSettings, QWidget* parent)
    : QMainWindow(parent), D_settings_user(std::move(userSettings)) {
    setWindowTitle(QStringLiteral("Parvex"));
    auto* client = new QWidget(this);
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(4, 4, 4, 0);
    column->setSpacing(4);

    ControlBar1 = new QWidget(client);
    auto* band = new QHBoxLayout(ControlBar1);
    band->setContentsMargins(0, 0, 0, 0);
    BuildInputs();
    BuildToolBar();
    band->addWidget(Panel_file_type->parentWidget(), 1);
    band->addWidget(ToolBar1, 0, Qt::AlignVCenter);
    column->addWidget(ControlBar1);

    Ocompearer1 = new TOcompearer(client);
    Ocompearer1->setMinimumHeight(64);
    column->addWidget(Ocompearer1);

    BuildResultTree();
    column->addWidget(FilterEdit);
    column->addWidget(MatchNotice);
    column->addWidget(TV1, 1);
    setCentralWidget(client);

    BuildMenus();
    BuildStatusBar();
    WireEngine();

    FindDialog1 = new TFindDialog(this);
    connect(FindDialog1, &TFindDialog::Find, this, &TFmain::FindDialog1Find);
    SaveDialog1 = new QFileDialog(this);
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setFileMode(QFileDialog::AnyFile);
    ChooseFolder = [this](const QString& title) {
        return QFileDialog::getExistingDirectory(this, title, QString(), QFileDialog::ShowDirsOnly);
    };
    ChooseResultFile = [this](bool save) { return AskResultFile(*this, save); };
    OpenFile = OpenWithDesktop;
    OpenFolder = OpenWithDesktop;
    ShowFileInManager = [this](const QByteArray& path) {
        parvex::ShowInFileManager(QDBusConnection::sessionBus(), path, this,
                                  [this, path] { OpenFolderOf(path); });
    };
    ChooseMoveDestination = [this](const QString& title, const QString& folder,
                                   const QString& fileName) {
        return AskMoveDestination(*SaveDialog1, title, folder, fileName);
    };

    // The window never shrinks below what its inputs and the tree need to stay usable, unless
    // the screen is smaller still: then it fits the screen, its title bar and menu in reach.
    resize(760, 540);
    FitIntoAvailableArea(*this);
    FormCreate();
    BuildDetailsPane();
}

TFmain::~TFmain() {
    RetireStore();
    WaitForStore();
}

void TFmain::BuildInputs() {
    auto* inputs = new QWidget(ControlBar1);
    auto* rows = new QVBoxLayout(inputs);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(4);

    // An input is never narrower than about 30 characters of its text.
    const int inputWidth = fontMetrics().averageCharWidth() * 30 + 12;
    const auto makeRow = [inputs, rows, inputWidth](const QString& caption, QLabel*& label,
                                                    QLineEdit*& edit, QPushButton*& button,
                                                    const QString& inputName,
                                                    const QString& buttonName) {
        auto* panel = new QWidget(inputs);
        auto* row = new QHBoxLayout(panel);
        row->setContentsMargins(0, 0, 0, 0);
        label = new QLabel(caption, panel);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        edit = new QLineEdit(panel);
        edit->setMinimumWidth(inputWidth);
        edit->setAccessibleName(inputName);
        label->setBuddy(edit);
        button = new QPushButton(QStringLiteral("..."), panel);
        button->setAccessibleName(buttonName);
        button->setToolTip(buttonName);
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
        row->addWidget(label);
        row->addWidget(edit, 1);
        row->addWidget(button);
        rows->addWidget(panel);
        return panel;
    };
    Panel_file_type = makeRow(QStringLiteral("File mask:"), Label2, Edit_ft, Button_ft,
                              QStringLiteral("File mask"), QStringLiteral("Choose file mask"));
    Panel_path =
        makeRow(QStringLiteral("Start search at:"), Label1, Edit_root, Btn_root,
                QStringLiteral("Start search at"), QStringLiteral("Browse for start folder"));
    // Both rows share one label width, so the two edits line up.
    const int labelWidth = std::max(Label1->sizeHint().width(), Label2->sizeHint().width());
    Label1->setFixedWidth(labelWidth);
    Label2->setFixedWidth(labelWidth);

    Edit_ft->setText(QStringLiteral("*.*"));
    Edit_root->setText(QDir::homePath() + QLatin1Char('/'));
    connect(Edit_ft, &QLineEdit::textChanged, this, &TFmain::Edit_ftChange);
    connect(Edit_root, &QLineEdit::textChanged, this, &TFmain::Edit_rootChange);
    connect(Button_ft, &QPushButton::clicked, this,
            [this] { RunCommand(&TFmain::Button_ftClick); });
    connect(Btn_root, &QPushButton::clicked, this, [this] { RunCommand(&TFmain::Btn_rootClick); });
}

QAction* TFmain::AddCommand(QWidget* holder, const QString& caption, void (TFmain::*handler)()) {
    auto* action = new QAction(caption, holder);
    holder->addAction(action);
    connect(action, &QAction::triggered, this, [this, handler] { RunCommand(handler); });
    return action;
}

void TFmain::RunCommand(const std::function<void()>& command) {
    const TFocusReturn back(*this, *TV1);
    command();
}

void TFmain::RunCommand(void (TFmain::*handler)()) {
    RunCommand([this, handler] { (this->*handler)(); });
}

void TFmain::BuildToolBar() {
    ToolBar1 = new QToolBar(ControlBar1);
    ToolBar1->setIconSize(QSize(32, 32));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    const auto button = [this](int imageIndex, const QString& hint, void (TFmain::*handler)()) {
        QAction* action = AddCommand(ToolBar1, hint, handler);
        action->setIcon(QIcon(QStringLiteral(":/toolbar/%1.png").arg(imageIndex)));
        action->setToolTip(hint);
        return action;
    };
    TB_search_keys = button(1, QStringLiteral("Keys to compare"), &TFmain::TB_search_keysClick);
    TB_open = button(5, QStringLiteral("Try to open the file"), &TFmain::TB_openClick);
    TB_move = button(2, QStringLiteral("Move file"), &TFmain::TB_moveClick);
    TB_delete = button(6, QStringLiteral("Delete file"), &TFmain::TB_deleteClick);
    TB_search_in_found =
        button(4, QStringLiteral("Search in found"), &TFmain::TB_search_in_foundClick);
    TB_exit = button(3, QStringLiteral("Exit"), &TFmain::TB_exitClick);
}

void TFmain::BuildMenus() {
    const auto item = [this](QMenu* menu, const QString& caption, const QKeySequence& shortcut,
                             void (TFmain::*handler)()) {
        QAction* action = AddCommand(menu, caption, handler);
        action->setShortcut(shortcut);
        return action;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    N_Trytoopen =
        item(file, QStringLiteral("Try to open the file"), Qt::Key_F4, &TFmain::TB_openClick);
    N_Movethefile = item(file, QStringLiteral("Move the file"), Qt::Key_F6, &TFmain::TB_moveClick);
    N_Deletethefile =
        item(file, QStringLiteral("Delete the file"), Qt::Key_F8, &TFmain::TB_deleteClick);
    N_ShowInFileManager =
        item(file, QStringLiteral("Show in file manager"),
             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R), &TFmain::ShowInFileManagerClick);
    file->addSeparator();
    // Ctrl+Z undoes an action only from the tree: in a text field it undoes the typing.
    N_UndoLastAction = item(file, QStringLiteral("Undo last action..."),
                            QKeySequence(Qt::CTRL | Qt::Key_Z), &TFmain::UndoLastActionClick);
    N_UndoLastAction->setShortcutContext(Qt::WidgetShortcut);
    TV1->addAction(N_UndoLastAction);
    file->addSeparator();
    N_OpenResult = item(file, QStringLiteral("Open result..."), QKeySequence(Qt::CTRL | Qt::Key_O),
                        &TFmain::OpenResultClick);
    N_SaveResult = item(file, QStringLiteral("Save result..."), QKeySequence(Qt::CTRL | Qt::Key_S),
                        &TFmain::SaveResultClick);
    file->addSeparator();
    N_Settings = item(file, QStringLiteral("Settings..."), {}, &TFmain::N_SettingsClick);
    file->addSeparator();
    N_Exit = item(file, QStringLiteral("Exit"), {}, &TFmain::TB_exitClick);

    QMenu* search = menuBar()->addMenu(QStringLiteral("&Search"));
    N_Comparationkeys =
        item(search, QStringLiteral("Keys to compare"), Qt::Key_F12, &TFmain::TB_search_keysClick);
    search->addSeparator();
    N_Startsearch = item(search, QStringLiteral("Start search"), Qt::Key_F9,
                         &TFmain::Ocompearer1btn_startClick);
    N_Breaksearch = item(search, QStringLiteral("Break_search"), Qt::Key_F10,
                         &TFmain::Ocompearer1Btn_stopClick);
    search->addSeparator();
    N_Searchinfound = item(search, QStringLiteral("Search in found"),
                           QKeySequence(Qt::CTRL | Qt::Key_F), &TFmain::TB_search_in_foundClick);

    BuildMarkMenu();
    BuildMarkByRules();

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    N_Help1 = item(help, QStringLiteral("Help"), Qt::Key_F1, &TFmain::N_Help1Click);
    help->addSeparator();
    N_About = item(help, QStringLiteral("About"), {}, &TFmain::N_AboutClick);

    PopupMenu1 = new QMenu(this);
    P_Open = AddCommand(PopupMenu1, QStringLiteral("Open"), &TFmain::TB_openClick);
    P_Delete = AddCommand(PopupMenu1, QStringLiteral("Delete"), &TFmain::TB_deleteClick);
    P_Move = AddCommand(PopupMenu1, QStringLiteral("Move"), &TFmain::TB_moveClick);
    PopupMenu1->addSeparator();
    P_Searchinfound =
        AddCommand(PopupMenu1, QStringLiteral("Search in found"), &TFmain::TB_search_in_foundClick);
    PopupMenu1->addSeparator();
    P_OpenFolder =
        AddCommand(PopupMenu1, QStringLiteral("Open folder"), &TFmain::P_OpenFolderClick);
    P_ShowInFileManager = AddCommand(PopupMenu1, QStringLiteral("Show in file manager"),
                                     &TFmain::ShowInFileManagerClick);
    P_CopyPath = AddCommand(PopupMenu1, QStringLiteral("Copy path"), &TFmain::P_CopyPathClick);
    PopupMenu1->addSeparator();
    PopupMenu1->addMenu(MarkMenu);
}

void TFmain::BuildResultTree() {
    FilterEdit = new QLineEdit(this);
    FilterEdit->setPlaceholderText(QStringLiteral("Show only groups with a path containing..."));
    FilterEdit->setClearButtonEnabled(true);
    FilterEdit->setAccessibleName(QStringLiteral("Filter"));
    MatchNotice = new QLabel(this);
    MatchNotice->setWordWrap(true);
    // A framed line of words: what it says does not depend on colour.
    MatchNotice->setFrameShape(QFrame::StyledPanel);
    MatchNotice->hide();
    TV1 = new TResultTree(this);
    TV1->setAccessibleName(QStringLiteral("Identical files"));
    ResultModel = new TResultModel(this);
    TV1->setModel(ResultModel);
    // A new result shows the default order: no column is sorted until the user clicks one.
    TV1->header()->setSortIndicator(-1, Qt::AscendingOrder);
    TV1->setSortingEnabled(true);
    TV1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(TV1, &QWidget::customContextMenuRequested, this, &TFmain::ShowContextMenu);
    connect(TV1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TFmain::TV1Change);
    connect(TV1->selectionModel(), &QItemSelectionModel::currentChanged, this, &TFmain::TV1Change);
    connect(TV1, &QAbstractItemView::doubleClicked, this,
            [this] { RunCommand(&TFmain::TB_openClick); });
    connect(TV1, &TResultTree::EnterPressed, this, [this] { RunCommand(&TFmain::TV1KeyDown); });
    // Ctrl+C copies the selected file while the tree has the focus.
    connect(TV1, &TResultTree::CopyPressed, this, &TFmain::P_CopyPathClick);
    connect(ResultModel, &TResultModel::MarksChanged, this, [this] {
        ShowMarks();
        UpdateCommands();
    });
    connect(ResultModel, &TResultModel::MarkRefused, this, &TFmain::ShowHint);
    connect(FilterEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        ResultModel->SetFilter(text);
        UpdateCommands();
    });
}

void TFmain::BuildStatusBar() {
    StatusBar1 = statusBar();
    StatusPanel1 = new QLabel(StatusBar1);
    StatusPanel1->setMinimumWidth(50);
    StatusPanel2 = new QLabel(StatusBar1);
    StatusPanel2->setMinimumWidth(50);
    StatusBar1->addWidget(StatusPanel1);
    StatusBar1->addWidget(StatusPanel2, 1);
    StatusSummary = new TStatusField(
        QStringLiteral("Result summary: groups, files and the space the copies take"), StatusBar1);
    StatusBar1->addPermanentWidget(StatusSummary);
    StatusSummary->hide();
    StatusMarks = new TStatusField(
        QStringLiteral("Marked files and the space acting on them frees (each file once)"),
        StatusBar1);
    StatusBar1->addPermanentWidget(StatusMarks);
    StatusMarks->hide();
    StatusNotRead = new TStatusField(
        QStringLiteral("Files and folders the search could not read. Double-click to list them."),
        StatusBar1);
    StatusBar1->addPermanentWidget(StatusNotRead);
    StatusNotRead->hide();
    StatusOutOfDate = new TStatusField(
        QStringLiteral("An undo put files back that this result does not show. Search again to "
                       "see them."),
        StatusBar1);
    StatusBar1->addPermanentWidget(StatusOutOfDate);
    StatusOutOfDate->hide();
    connect(ResultModel, &QAbstractItemModel::modelReset, StatusOutOfDate, &QWidget::hide);

    connect(StatusNotRead, &TStatusField::DoubleClicked, this, &TFmain::StatusNotReadDblClick);
}

void TFmain::WireEngine() {
    QFont bold = Ocompearer1->btn_start->font();
    bold.setBold(true);
    Ocompearer1->btn_start->setFont(bold);
    Ocompearer1->Btn_stop->setFont(bold);
    // Start and Stop pass through this window first: it normalises the start folder and asks
    // before a stop.
    Ocompearer1->LeaveRequestsToOwner();
    connect(Ocompearer1, &TOcompearer::StartRequested, this,
            [this] { RunCommand(&TFmain::Ocompearer1btn_startClick); });
    connect(Ocompearer1, &TOcompearer::StopRequested, this,
            [this] { RunCommand(&TFmain::Ocompearer1Btn_stopClick); });
}

void TFmain::FormCreate() {
    LocateDocs();
    if (!D_settings_user)
        D_settings_user = CreateUserSettings();
    // Every dialog belongs to the window that opens it, so it stays in front of that window.
    D_settings_user->setParent(this, D_settings_user->windowFlags());
    TCompearerCore& core = Ocompearer1->Core();
    core.OnFileFound = [this](const std::string& text, bool newGroup) {
        FoundHandler(text, newGroup);
    };
    core.OnSearchStart = [this] { SearchStarted(); };
    core.OnSearchComplete = [this] { SearchCompleted(); };
    core.OnSearchInterrupted = [this] { SearchInterrupted(); };
    core.OnCheckFolder = [this](const std::string& path, bool& allowed) {
        FolderAllowed(path, allowed);
    };
    core.OnSkipped = [this](const std::string& path, const std::string& reason) {
        SkippedHandler(path, reason);
    };
    ApplyUserSettings();
    SetSearchStatus(TSearchStatus::stEmpty);
    UpdateCommands();
}

void TFmain::AttachDialogs(const TSharedDialogs& dialogs) {
    Dialogs = dialogs;
    if (D_settings_user) {
        D_settings_user->Dmsg = Dialogs.Dmsg;
        D_settings_user->ForgetComparedFiles = [this] { ForgetComparedFiles(); };
    }
    if (Dialogs.F_ft != nullptr)
        Dialogs.F_ft->ShowHelpTopic = [this](const QString& topic) { ShowHelpTopic(topic); };
    if (D_settings_user && Dialogs.F_ft && Dialogs.F_about && Dialogs.Fsure)
        ConnectSettingsDialogs(*D_settings_user, *Dialogs.F_ft, *Dialogs.F_about, *Dialogs.Fsure,
                               DocsDir, [this](const QString& topic) { ShowHelpTopic(topic); });
}

void TFmain::LocateDocs() {
    StartDir = QDir::currentPath();
    DocsDir =
        parvex::LocateDocs(StartDir, InstalledDocsDir(QCoreApplication::applicationDirPath()));
}

void TFmain::ApplyUserSettings() {
    if (D_settings_user)
        parvex::ApplyUserSettings(
            *D_settings_user, *Edit_root, [this] { NormalizeStartPath(); }, Ocompearer1->Core());
}

void TFmain::ReleaseUserSettings() {
    D_settings_user.reset();
}

void TFmain::FolderAllowed(const std::string& Path, bool& Allowed) {
    Allowed = !D_settings_user || parvex::FolderAllowed(*D_settings_user, Path);
}

void TFmain::SetSearchStatus(TSearchStatus status) {
    SearchStatus = status;
    StatusPanel2->setText(SearchStatusText(status));
    UpdateCommands();
}

// The result counts, not the rows the filter lets through: a search whose groups are all
// filtered out still found them.
bool TFmain::HasResults() const {
    return ResultModel->Result().GroupCount() > 0;
}

QModelIndex TFmain::SelectedNode() const {
    const QModelIndex node = TV1->currentIndex();
    if (!node.isValid() || !TV1->selectionModel()->isSelected(node))
        return {};
    return node.siblingAtColumn(0);
}

void TFmain::UpdateCommands() {
    const QModelIndex node = SelectedNode();
    const TSelectedNode selected = !node.isValid()     ? TSelectedNode::None
                                   : IsGroupNode(node) ? TSelectedNode::Group
                                                       : TSelectedNode::File;
    const TCommandState state = DecideCommands(
        searchRunning_ || SearchStatus == TSearchStatus::stInProcess, HasResults(), selected);
    for (QWidget* input : {static_cast<QWidget*>(Edit_ft), static_cast<QWidget*>(Button_ft),
                           static_cast<QWidget*>(Edit_root), static_cast<QWidget*>(Btn_root)})
        input->setEnabled(state.Inputs);
    TB_search_keys->setEnabled(state.SearchKeys);
    TB_open->setEnabled(state.Open);
    TB_search_in_found->setEnabled(state.SearchInFound);
    TB_move->setEnabled(state.Move);
    TB_delete->setEnabled(state.Delete);

    P_Open->setEnabled(TB_open->isEnabled());
    P_Move->setEnabled(TB_move->isEnabled());
    P_Delete->setEnabled(TB_delete->isEnabled());
    P_Searchinfound->setEnabled(TB_search_in_found->isEnabled());
    N_Trytoopen->setEnabled(TB_open->isEnabled());
    N_Movethefile->setEnabled(TB_move->isEnabled());
    N_Deletethefile->setEnabled(TB_delete->isEnabled());
    N_Comparationkeys->setEnabled(TB_search_keys->isEnabled());
    N_Searchinfound->setEnabled(TB_search_in_found->isEnabled());
    N_Breaksearch->setEnabled(state.BreakSearch);
    N_Startsearch->setEnabled(!N_Breaksearch->isEnabled());
    P_OpenFolder->setEnabled(TB_move->isEnabled());
    P_CopyPath->setEnabled(TB_move->isEnabled());
    P_ShowInFileManager->setEnabled(TB_move->isEnabled());
    N_ShowInFileManager->setEnabled(TB_move->isEnabled());
    N_OpenResult->setEnabled(!state.BreakSearch);
    N_SaveResult->setEnabled(!state.BreakSearch && HasResults());
    N_UndoLastAction->setEnabled(!state.BreakSearch);
    UpdateMarkCommands(state.BreakSearch);
}

std::string TFmain::StartFolderBytes() const {
    if (!exactStartFolder_.isEmpty() && Edit_root->text() == exactStartFolderShown_)
        return exactStartFolder_.toStdString();
    return QFile::encodeName(Edit_root->text()).toStdString();
}

std::string TFmain::NormalizedStartFolder() const {
    return NormalizeStartFolder(StartFolderBytes());
}

std::string TFmain::MaskListOfField() const {
    return MaskListOfInput(QFile::encodeName(Edit_ft->text()).toStdString());
}

void TFmain::NormalizeStartPath() {
    SetStartFolder(QByteArray::fromStdString(NormalizedStartFolder()));
}

void TFmain::SetStartFolder(const QByteArray& folder) {
    exactStartFolder_ = folder;
    exactStartFolderShown_ = QFile::decodeName(folder);
    Edit_root->setText(exactStartFolderShown_);
}

void TFmain::Edit_ftChange() {
    SetSearchStatus(TSearchStatus::stChanged);
}

void TFmain::Edit_rootChange() {
    SetSearchStatus(TSearchStatus::stChanged);
}

void TFmain::TV1Change() {
    UpdateCommands();
}

void TFmain::TV1KeyDown() {
    TB_openClick();
}

void TFmain::ShowContextMenu(const QPoint& position) {
    PopupMenu1->popup(TV1->viewport()->mapToGlobal(position));
}

void TFmain::Btn_rootClick() {
    const QString folder = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Select start path"), QString(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return;
    Edit_root->setText(folder);
    NormalizeStartPath();
}

void TFmain::Button_ftClick() {
    if (Dialogs.F_ft != nullptr)
        Edit_ft->setText(Dialogs.F_ft->ChooseMask(Edit_ft->text()));
}

void TFmain::TB_search_keysClick() {
    if (D_settings_user)
        RunCompareKeysCommand(
            *D_settings_user, [this](TSearchStatus status) { SetSearchStatus(status); },
            Ocompearer1->Core());
}

void TFmain::N_SettingsClick() {
    if (D_settings_user)
        RunSettingsCommand(*D_settings_user, [this] { ApplyUserSettings(); });
}

void TFmain::ShowHelpTopic(const QString& topic) {
    if (parvex::ShowHelpTopic(DocsDir, topic, OpenUrl))
        return;
    // The message goes over the dialog whose Help button asked, when one did.
    if (QWidget* asking = QApplication::activeModalWidget(); asking != nullptr)
        ShowTextOver(*asking, HelpNotFoundText(DocsDir, topic));
    else
        ShowText(HelpNotFoundText(DocsDir, topic));
}

void TFmain::N_Help1Click() {
    ShowHelpTopic(QStringLiteral("index"));
}

void TFmain::N_AboutClick() {
    if (Dialogs.F_about != nullptr)
        FitIntoAvailableArea(*Dialogs.F_about);
    Dialogs.F_about->exec();
}

bool TFmain::Ask(const QString& question) {
    return Dialogs.Fsure != nullptr && Dialogs.Fsure->Ask(question);
}

void TFmain::ShowText(const QString& text) {
    if (Dialogs.Dmsg != nullptr)
        Dialogs.Dmsg->ShowText(text);
}

void TFmain::ShowTextOver(QWidget& window, const QString& text) {
    if (Dialogs.Dmsg == nullptr)
        return;
    const TBorrowedParent over(*Dialogs.Dmsg, window);
    Dialogs.Dmsg->ShowText(text);
}

void TFmain::TB_exitClick() {
    close();
}

void TFmain::closeEvent(QCloseEvent* event) {
    if (exitConfirmed_) {
        ReleaseUserSettings();
        event->accept();
        return;
    }
    if (closeAfterSearch_ || !Ask(QStringLiteral("Exit?"))) {
        event->ignore();
        return;
    }
    Ocompearer1->Btn_stopClick();
    if (searchRunning_) {
        // The search is still on the stack below this handler; the window closes once it has
        // returned, so nothing of the window is used after it is gone.
        closeAfterSearch_ = true;
        event->ignore();
        return;
    }
    exitConfirmed_ = true;
    ReleaseUserSettings();
    event->accept();
}

bool TFmain::CloseIfExitConfirmed() {
    if (!closeAfterSearch_)
        return false;
    QTimer::singleShot(0, this, [this] {
        exitConfirmed_ = true;
        close();
    });
    return true;
}

TFileCommandServices TFmain::FileServices() {
    TFileCommandServices services = DesktopFileServices();
    services.OpenFile = [this](const QByteArray& path) { return OpenFile(path); };
    services.ShowGroupInfo = [this](const QModelIndex& group) {
        if (Dialogs.D_file_group_info != nullptr)
            Dialogs.D_file_group_info->ShowGroupInfo(group);
    };
    services.ChooseMoveDestination = [this](const QString& title, const QString& folder,
                                            const QString& fileName) {
        return ChooseMoveDestination(title, folder, fileName);
    };
    services.Ask = [this](const QString& question, bool noIsDefault) {
        return Dialogs.Fsure != nullptr && Dialogs.Fsure->AskInFull(question, noIsDefault);
    };
    services.ShowMessage = [this](const QString& text) { ShowText(text); };
    services.CheckLastCopy = [this](const std::string& path,
                                    const std::vector<std::string>& others) {
        return CheckLastCopyWithProgress(*this, path, others, OnLastCopyCheck);
    };
    return services;
}

void TFmain::TB_openClick() {
    const QModelIndex node = SelectedNode();
    if (TB_open->isEnabled() && node.isValid() && !RefusedAsStale(node))
        fileCommands_.Open(node);
}

void TFmain::TB_moveClick() {
    const QModelIndex node = SelectedNode();
    if (!TB_move->isEnabled() || !node.isValid() || RefusedAsStale(node) ||
        !OutsideConfirmed({FileNodePath(node).toStdString()}))
        return;
    if (fileCommands_.Move(node))
        RemoveFileNode(node);
}

void TFmain::TB_deleteClick() {
    const QModelIndex node = SelectedNode();
    if (!TB_delete->isEnabled() || !node.isValid() || RefusedAsStale(node) ||
        !OutsideConfirmed({FileNodePath(node).toStdString()}))
        return;
    // A declined or failed delete leaves the file and its node as they were.
    if (!DeleteToRecycleBin(FileNodePath(node), node))
        return;
}

bool TFmain::DeleteToRecycleBin(const QByteArray& Path, const QModelIndex& Node) {
    if (!fileCommands_.Delete(Path, Node))
        return false;
    RemoveFileNode(Node);
    return true;
}

// The model's removal moves the selection to a neighbour and turns FindPosition, when it was
// this row, into an invalid index, so the next find starts from the first row.
void TFmain::RemoveFileNode(const QModelIndex& node) {
    ResultModel->RemoveFile(node);
    ShowSummary();
    UpdateCommands();
}

void TFmain::P_OpenFolderClick() {
    const QModelIndex node = SelectedNode();
    if (TB_move->isEnabled() && node.isValid())
        OpenFolderOf(FileNodePath(node));
}

void TFmain::OpenFolderOf(const QByteArray& path) {
    const QByteArray folder = QByteArray::fromStdString(FolderOf(path.toStdString()));
    if (folder.size() >= PATH_MAX) {
        ShowText(QStringLiteral("The desktop cannot open a folder whose path is longer than %1 "
                                "bytes:\n%2")
                     .arg(PATH_MAX)
                     .arg(QFile::decodeName(folder)));
        return;
    }
    if (OpenFolder)
        OpenFolder(folder);
}

void TFmain::ShowInFileManagerClick() {
    const QModelIndex node = SelectedNode();
    if (TB_move->isEnabled() && node.isValid() && ShowFileInManager)
        ShowFileInManager(FileNodePath(node));
}

void TFmain::P_CopyPathClick() {
    const QModelIndex node = SelectedNode();
    if (!TB_move->isEnabled() || !node.isValid())
        return;
    QGuiApplication::clipboard()->setMimeData(FileListMimeData({FileNodePath(node)}).release());
}

} // namespace parvex

// The meta object needs TD_settings_user complete (the constructor's default argument).
#include "moc_fmain.cpp"
