#pragma once

#include "comparison_store/store_memory.h"
#include "dialogs/help_topic.h"
#include "dialogs/search_status.h"
#include "file_actions/action_plan.h"
#include "file_actions/file_action.h"
#include "file_actions/mark_rules.h"
#include "file_actions/plan_count.h"
#include "main/file_commands.h"
#include "main/result_facts.h"
#include "main/result_data.h"
#include "main/shared_dialogs.h"
#include "main/skipped_log.h"
#include "platform/desktop/desktop_notice.h"
#include "result_file/result_document.h"

#include <QByteArray>
#include <QMainWindow>
#include <QPersistentModelIndex>
#include <QString>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QCloseEvent;
class QFileDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QMessageBox;
class QPoint;
class QProgressDialog;
class QRect;
class QPushButton;
class QStatusBar;
class QToolBar;

namespace parvex {

class TBulkReport;
class TDetailsPane;
class TSleepInhibitor;
class TD_settings_user;
class TFindDialog;
class TOcompearer;
class TResultModel;
class TResultTree;
class TStatusField;

/// The main window: search inputs, toolbar, menus, engine panel, result tree and status bar.
class TFmain : public QMainWindow {
    Q_OBJECT
public:
    /// Builds the window and runs its creation handler; without userSettings the window makes
    /// its own on the program's settings file.
    explicit TFmain(std::unique_ptr<TD_settings_user> userSettings = {}, QWidget* parent = nullptr);
    ~TFmain() override;

    /// Hands the window the shared dialogs once they exist (they are created after it).
    void AttachDialogs(const TSharedDialogs& dialogs);

    /// Shows a status code's text in the status bar and updates the enabling of commands.
    void SetSearchStatus(TSearchStatus status);
    /// Enables the inputs and commands by search status and the tree's selection.
    void UpdateCommands();
    /// Rewrites Edit_root as a start folder: trimmed, ending in "/".
    void NormalizeStartPath();
    /// Shows a start folder given as exact bytes. While the edit keeps the text shown for them,
    /// a search starts at exactly these bytes, also when they are not valid UTF-8.
    void SetStartFolder(const QByteArray& folder);
    /// Finds StartDir and DocsDir.
    void LocateDocs();
    /// True when the result holds at least one group, shown or hidden by the filter.
    bool HasResults() const;
    /// The selected node of the result tree (its first column), or an invalid index.
    QModelIndex SelectedNode() const;

    /// A search begins: empty the tree, hand the engine its SearchSpec, status 1.
    void SearchStarted();
    /// One line of a group from the engine: a new group (its name) or one of its files.
    void FoundHandler(const std::string& Text, bool NewGroup);
    /// The search ended: the sorted result joins the tree, status 2.
    void SearchCompleted();
    /// The search was stopped: the sorted partial result joins the tree, status 4.
    void SearchInterrupted();
    /// Whether the engine may enter a folder.
    void FolderAllowed(const std::string& Path, bool& Allowed);
    /// A file or folder the engine could not read: counted in the status bar, kept for the list.
    void SkippedHandler(const std::string& Path, const std::string& Reason);
    /// Double click on the count of what was not read: the list of the first ones with reasons.
    void StatusNotReadDblClick();

    /// Appends a group node named by the exact bytes Text and makes it the current group.
    void AddGroupNode(const QByteArray& Text);
    /// Appends a file node for the exact path bytes Path to the current group.
    void AddFileNode(const QByteArray& Path);

    /// Copies the user's default start folder and compare keys into the window and the engine.
    void ApplyUserSettings();
    /// Releases the user settings dialog, which saves the settings file.
    void ReleaseUserSettings();
    /// Opens the help page of a topic.
    void ShowHelpTopic(const QString& topic);

    /// Start: normalises the start folder, runs one search, reports an empty result.
    void Ocompearer1btn_startClick();
    /// Stop: asks "Break search porcess?" and on Yes asks the engine to stop.
    void Ocompearer1Btn_stopClick();
    /// Exit: closes the window, which asks "Exit?".
    void TB_exitClick();
    /// The start folder browser.
    void Btn_rootClick();
    /// The mask text changed: status 3.
    void Edit_ftChange();
    /// The start folder text changed: status 3.
    void Edit_rootChange();
    /// The tree's selection changed: the enabling follows it.
    void TV1Change();
    /// Enter in the tree: the open command.
    void TV1KeyDown();
    /// Open: the group info for a group node, the desktop's application for a file node.
    void TB_openClick();
    /// Move: asks for the destination, moves the file, removes its node when it is gone.
    void TB_moveClick();
    /// Delete: the selected file node's file goes to the trash.
    void TB_deleteClick();
    /// Asks once, then moves the file at Path to the trash and removes Node when the file is gone;
    /// true when it is gone.
    [[nodiscard]] bool DeleteToRecycleBin(const QByteArray& Path, const QModelIndex& Node);
    /// Open folder: the desktop shows the folder that holds the selected file.
    void P_OpenFolderClick();
    /// Show in file manager: the desktop's file manager shows the selected file in its folder,
    /// or, where there is none to ask, the folder opens as with Open folder.
    void ShowInFileManagerClick();
    /// Copy path: the selected file goes to the clipboard as its path and its address.
    void P_CopyPathClick();
    /// Undo last action: asks, naming the newest run not yet undone, puts it back and reports
    /// what came back and what was skipped and why.
    void UndoLastActionClick();
    /// Copies every marked file to the clipboard as paths and addresses.
    void CopyMarkedClick();
    /// Shows the find dialog while the tree holds nodes.
    void TB_search_in_foundClick();
    /// Find Next: selects the next node whose text holds the dialog's text.
    void FindDialog1Find();
    /// Keys to compare.
    void TB_search_keysClick();
    /// Settings...
    void N_SettingsClick();
    /// The file mask dialog for Edit_ft.
    void Button_ftClick();
    /// Help: the help index page.
    void N_Help1Click();
    /// About: the about box.
    void N_AboutClick();

    /// Save result...: asks for a file and writes the result there as a JSON result document.
    void SaveResultClick();
    /// Open result...: asks for a JSON result document and shows its result in place of the
    /// one shown, each file checked against the disk.
    void OpenResultClick();
    /// Writes the result shown, marks included, to a file atomically; says why when it cannot.
    [[nodiscard]] bool SaveResult(const QString& fileName);
    /// Replaces the result shown by the one saved in a file; a file that is not such a
    /// document leaves the result as it was and the message says what is wrong with it.
    [[nodiscard]] bool OpenResult(const QString& fileName);

    /// Marks all files but one in every group, the one the keep `rules` keep staying unmarked;
    /// in a group with protected copies, those stay unmarked instead.
    void MarkAllButOneClick(const std::vector<TKeepRule>& rules);
    /// Marks every file in the selected file's folder and below.
    void MarkSelectedFolderClick();
    /// Marks every file under a folder the user chooses.
    void MarkChosenFolderClick();
    /// Inverts the marks within each group.
    void InvertMarksClick();
    /// Clears every mark.
    void ClearMarksClick();
    /// Asks once, then acts on every marked file with a progress dialog that can stop, removes
    /// the nodes of the files done and shows the report.
    void ActOnMarked(TActionKind kind);
    /// "Share storage of marked files...": each marked file shares the storage of the copy of
    /// its group that stays, after one question (fmain_share.cpp).
    void ShareStorageOfMarked();

    // Fields.
    TSearchStatus SearchStatus = TSearchStatus::stEmpty;
    QString StartDir;
    QString DocsDir;
    /// The place, in the result being collected, of the group that AddFileNode appends to.
    std::optional<std::size_t> CurrentGroupNode;
    QPersistentModelIndex FindPosition;
    TSharedDialogs Dialogs;
    /// The user settings dialog, which is also the settings store; null once released.
    std::unique_ptr<TD_settings_user> D_settings_user;

    // Controls.
    QWidget* ControlBar1 = nullptr;
    QWidget* Panel_file_type = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit_ft = nullptr;
    QPushButton* Button_ft = nullptr;
    QWidget* Panel_path = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit_root = nullptr;
    QPushButton* Btn_root = nullptr;
    QToolBar* ToolBar1 = nullptr;
    TOcompearer* Ocompearer1 = nullptr;
    TResultTree* TV1 = nullptr;
    /// The rows of TV1.
    TResultModel* ResultModel = nullptr;
    /// Shows only the groups with a path that holds its text.
    QLineEdit* FilterEdit = nullptr;
    /// Above the tree while the result shown was found without comparing content: the keys that
    /// matched its files, and that they were not checked to be copies.
    QLabel* MatchNotice = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel1 = nullptr;
    QLabel* StatusPanel2 = nullptr;
    /// "N not read": shown only while the last search skipped something.
    TStatusField* StatusNotRead = nullptr;
    /// "N groups, M files, X can be freed": shown while there is a result.
    TStatusField* StatusSummary = nullptr;
    /// "N marked, X": shown while a file is marked.
    TStatusField* StatusMarks = nullptr;
    /// Shown after an undo put files back that the result no longer holds, until the next
    /// result.
    TStatusField* StatusOutOfDate = nullptr;
    /// The report of the last undo; made when first needed.
    QMessageBox* UndoReport = nullptr;
    /// The details of the selected file, in a dock beside the tree; shown and hidden by
    /// N_DetailsPane.
    TDetailsPane* DetailsPane = nullptr;
    /// The report of the last bulk command; made when first needed.
    TBulkReport* BulkReport = nullptr;
    TFindDialog* FindDialog1 = nullptr;
    QFileDialog* SaveDialog1 = nullptr;
    QMenu* PopupMenu1 = nullptr;

    // Toolbar buttons, menu items and context menu items.
    QAction* TB_search_keys = nullptr;
    QAction* TB_open = nullptr;
    QAction* TB_move = nullptr;
    QAction* TB_delete = nullptr;
    QAction* TB_search_in_found = nullptr;
    QAction* TB_exit = nullptr;
    QAction* N_Trytoopen = nullptr;
    QAction* N_Movethefile = nullptr;
    QAction* N_Deletethefile = nullptr;
    QAction* N_ShowInFileManager = nullptr;
    /// Undo last action (Ctrl+Z while the tree has the keyboard; text fields keep their own).
    QAction* N_UndoLastAction = nullptr;
    QAction* N_OpenResult = nullptr;
    QAction* N_SaveResult = nullptr;
    QAction* N_Settings = nullptr;
    QAction* N_Exit = nullptr;
    QAction* N_Comparationkeys = nullptr;
    QAction* N_Startsearch = nullptr;
    QAction* N_Breaksearch = nullptr;
    QAction* N_Searchinfound = nullptr;
    QAction* N_Help1 = nullptr;
    QAction* N_About = nullptr;
    QAction* N_DetailsPane = nullptr;
    QAction* P_Open = nullptr;
    QAction* P_Delete = nullptr;
    QAction* P_Move = nullptr;
    QAction* P_Searchinfound = nullptr;
    QAction* P_OpenFolder = nullptr;
    QAction* P_CopyPath = nullptr;
    QAction* P_ShowInFileManager = nullptr;

    // The marks and the bulk commands, in the menu "Mark" and the context menu.
    QMenu* MarkMenu = nullptr;
    QAction* M_KeepNewest = nullptr;
    QAction* M_KeepOldest = nullptr;
    QAction* M_KeepShortest = nullptr;
    QAction* M_KeepFirst = nullptr;
    QAction* M_MarkFolder = nullptr;
    QAction* M_MarkUnder = nullptr;
    QAction* M_Invert = nullptr;
    QAction* M_Clear = nullptr;
    QAction* M_CopyMarked = nullptr;
    QAction* M_Trash = nullptr;
    QAction* M_Move = nullptr;
    QAction* M_Link = nullptr;
    QAction* M_Share = nullptr;
    /// "Mark by rules...": the dialog of ordered keep rules (fmain_keep_rules.cpp).
    QAction* M_MarkByRules = nullptr;

    /// Opens a file with the desktop's application for it; tests replace it.
    std::function<bool(const QByteArray& path)> OpenFile;
    /// Shows a folder through the desktop; tests replace it.
    std::function<bool(const QByteArray& path)> OpenFolder;
    /// Shows a file, selected, in the desktop's file manager; tests replace it.
    std::function<void(const QByteArray& path)> ShowFileInManager;
    /// Asks where a file goes (the save dialog, in the file's folder); an empty text means the
    /// user cancelled.
    std::function<QString(const QString& title, const QString& folder, const QString& fileName)>
        ChooseMoveDestination;
    /// Asks for a result file to save to (`save`) or to open; empty when cancelled. Tests
    /// replace it.
    std::function<QString(bool save)> ChooseResultFile;
    /// Picks an existing folder under a title; empty when cancelled. Tests replace it.
    std::function<QString(const QString& title)> ChooseFolder;
    /// Called after each slice of files a bulk command handled, with its progress dialog; tests
    /// press Stop there at a point they know.
    std::function<void(QProgressDialog& progress)> OnBulkSlice;
    /// Called while F8 compares the file with the other files of its group, with its progress
    /// dialog, once before the comparison begins and after each look at it; tests press Cancel
    /// there.
    std::function<void(QProgressDialog& progress)> OnLastCopyCheck;
    /// Called on the window's thread with each step of reading a result file that the window
    /// shows (bytes read, file size); tests count the steps and cancel there.
    std::function<void(std::uint64_t read, std::uint64_t size)> OnOpenProgress;
    /// The actions log's file; empty for its place in the user's data folder.
    std::string ActionsLogFile;
    /// The clock that times a search for the notice at its end; tests replace it.
    TWorkEndNotice::TClock WorkClock = &std::chrono::steady_clock::now;
    /// Opens help pages; tests replace it.
    TUrlOpener OpenUrl = DesktopUrlOpener();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<TStoreMemory> storeMemory_;
    std::future<void> storeRetiring_;
    void BuildInputs();
    // The details pane: its dock, its menu item and its state in the settings.
    void BuildDetailsPane();
    void ShowDetailsOfSelection();
    // Keeps the machine awake while a search or a bulk command runs.
    void HoldSleep(const QString& reason);
    void ReleaseSleep();
    // A search that ran long and ended while the window was inactive is told on the desktop.
    void SearchEndedNotice(TSearchStatus status);
    void BuildToolBar();
    void BuildMenus();
    void BuildResultTree();
    void BuildStatusBar();
    void BuildMarkMenu();
    // "Mark by rules..." (fmain_keep_rules.cpp): the item in the Mark menu, the dialog, and the
    // marks of its plan put on the result.
    void BuildMarkByRules();
    void MarkByRulesClick();
    void PutPlannedMarks(const std::vector<bool>& acted);
    void UpdateMarkCommands(bool searching);
    // Runs a marking rule on every group and says where the first copy had to stay unmarked.
    void MarkWith(const std::function<bool(std::vector<TMarkable>&, std::size_t)>& rule);
    // Says in how many groups the first copy had to stay unmarked, when in any.
    void SayKeptFirst(std::size_t groups);
    // Marks every file whose path starts with `folder` (ending in "/").
    void MarkUnder(const QByteArray& folder);
    std::vector<std::string> ProtectedFolders() const;
    std::function<bool(const QByteArray& path)> ProtectionTest() const;
    QString BulkQuestion(TActionKind kind, const QString& folder, const TPlanCount& count) const;
    // Runs a bulk command's steps a slice at a time under a progress dialog titled `what`,
    // keeping the window alive and the machine awake, until `step` has nothing left or the
    // user stops; true when stopped. `handled` tells how many of `total` are done.
    bool RunInSlices(const QString& what, std::size_t total, const std::function<bool()>& step,
                     const std::function<std::size_t()>& handled);
    // Shared storage (fmain_share.cpp): the command in the Mark menu, and whether it is enabled:
    // `usable` when the other bulk commands are, with `tip` saying why not.
    void BuildShareCommand();
    void UpdateShareCommand(bool usable, const QString& tip);
    // Carries out `plan` a slice of files at a time under a progress dialog that can stop it,
    // then takes the files done out of the result and shows the report.
    void RunPlan(const TMarkedGroups& marked, const TActionPlan& plan, TActionKind kind,
                 const std::string& folder);
    // A short refusal or hint in the status text for a few seconds.
    void ShowHint(const QString& text);
    // The comparison store of a search (fmain_store.cpp): opened as the search starts when the
    // settings want it, handed to a thread of its own to finish writing when the search ends,
    // emptied by "Forget now"; the store's warning reaches the status text.
    void StartRemembering();
    void RetireStore();
    void ForgetComparedFiles();
    void WaitForStore();
    void ShowMarks();
    // Refuses a command on a file node whose file is missing or changed since its result was
    // saved, with a hint; true when it did.
    bool RefusedAsStale(const QModelIndex& node);
    // Asks once before a command acts on files of `paths` that lie outside the result's start
    // folder, as found on disk now, No being the default; true when none does or on Yes.
    bool OutsideConfirmed(const std::vector<std::string>& paths);
    // The search as a result document describes it, from the window's inputs and the engine.
    TResultSearch SearchOfInputs() const;
    void WireEngine();
    void FormCreate();
    QAction* AddCommand(QWidget* holder, const QString& caption, void (TFmain::*handler)());
    // Runs a command of a menu, the toolbar or the tree; the keyboard goes back afterwards to
    // where it was (TFocusReturn).
    void RunCommand(const std::function<void()>& command);
    void RunCommand(void (TFmain::*handler)());

    bool Ask(const QString& question);
    void ShowText(const QString& text);
    // The message dialog as a child of `window`, the window that the message answers.
    void ShowTextOver(QWidget& window, const QString& text);
    // The start folder as NormalizeStartPath would write it, in its exact bytes.
    std::string NormalizedStartFolder() const;
    // The mask list a search uses, in its exact bytes: an emptied field means every file.
    std::string MaskListOfField() const;
    // The start folder as given: the exact bytes of SetStartFolder while the edit shows their
    // text, else the edit's text.
    std::string StartFolderBytes() const;
    // Opens the folder of the file at `path` through OpenFolder; says so when the path is too
    // long for the desktop.
    void OpenFolderOf(const QByteArray& path);
    // Refuses a start folder that a search could not read: says why, and returns false.
    bool StartFolderUsable(const std::string& folder);
    void ShowNotReadCount();
    void FinishResult(TSearchStatus status);
    void SearchFailed();
    bool CloseIfExitConfirmed();
    void RemoveFileNode(const QModelIndex& node);
    void ShowSummary();
    void ShowContextMenu(const QPoint& position);
    // Where the find dialog goes to keep clear of a rectangle on the screen; none when no side
    // of it has room.
    std::optional<QPoint> PlaceOnScreen(const QRect& keepClear) const;
    // Moves the find dialog off a node's row when it covers it.
    void KeepFindDialogOff(const QModelIndex& node);
    TFileCommandServices FileServices();

    // The groups of the running search. They join the tree all at once, sorted, when the search
    // ends: one model reset for the view instead of one insertion per row.
    TResultData building_;
    // Whether the running search compares both size and content, so that wasted space means
    // something.
    bool wastedKnown_ = false;
    // Whether the running search compares content, and whether the result shown was compared so:
    // only then are the files of a group copies that a bulk command may act on.
    bool contentKey_ = false;
    bool resultByContent_ = false;
    // The search of the running search, and of the result shown, as a saved result says it;
    // and whether the result shown is complete.
    TResultSearch buildingSearch_;
    TResultSearch resultSearch_;
    bool resultComplete_ = false;
    // What the running or last search could not read.
    TSkippedLog skipped_;
    // The start folder of SetStartFolder and the text the edit shows for it.
    QByteArray exactStartFolder_;
    QString exactStartFolderShown_;
    // Open, move and delete, reaching the desktop through this window's dialogs and OpenFile.
    TFileCommands fileCommands_{FileServices()};

    // True from the Start command until the engine has finished: commands stay disabled then,
    // whatever the status says, and a second Start does nothing.
    bool searchRunning_ = false;
    // "Exit?" was confirmed during a search: the window closes once the search has unwound.
    bool closeAfterSearch_ = false;
    // True while a result file is being opened: a second open waits its turn.
    bool openingResult_ = false;
    bool exitConfirmed_ = false;
    // Made on first use, so that a window that never searches never connects to a bus.
    TSleepInhibitor* sleepInhibitor_ = nullptr;
    TWorkEndNotice searchEndNotice_{[](const QString& summary, const QString& body) {
                                        SendDesktopNotice(QDBusConnection::sessionBus(), summary,
                                                          body);
                                    },
                                    [this] { return WorkClock(); }};
};

} // namespace parvex
