#include "_compearer/panel/ocompearer.h"
#include "dialogs/find_dialog.h"
#include "dialogs/ft.h"
#include "dialogs/screen_area.h"
#include "dialogs/settings_user.h"
#include "dialogs/sure.h"
#include "main/fmain.h"
#include "main/result_model.h"
#include "main/status_field.h"
#include "main_test_support.h"
#include "support/qt/modal_driver.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QWindow>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace parvex::test {
namespace {

using testing::KeyTarget;
using testing::WhenModalOpens;
using testing::WhenModalOpensOver;
using TStates = std::map<std::string, bool>;

// Every switchable command off, the five that are never switched on.
TStates AllOff() {
    TStates states;
    for (const char* name : {"Edit_ft",
                             "Button_ft",
                             "Edit_root",
                             "Btn_root",
                             "TB_search_keys",
                             "TB_open",
                             "TB_search_in_found",
                             "TB_move",
                             "TB_delete",
                             "P_Open",
                             "P_Move",
                             "P_Delete",
                             "P_Searchinfound",
                             "N_Trytoopen",
                             "N_Movethefile",
                             "N_Deletethefile",
                             "N_Comparationkeys",
                             "N_Searchinfound",
                             "N_Breaksearch",
                             "N_Startsearch"})
        states[name] = false;
    for (const char* name : {"TB_exit", "N_Settings", "N_Exit", "N_Help1", "N_About"})
        states[name] = true;
    return states;
}

TStates With(TStates states, std::initializer_list<const char*> on) {
    for (const char* name : on)
        states[name] = true;
    return states;
}

const std::initializer_list<const char*> kIdle = {
    "Edit_ft",        "Button_ft",         "Edit_root",    "Btn_root",
    "TB_search_keys", "N_Comparationkeys", "N_Startsearch"};
const std::initializer_list<const char*> kSearchInFound = {"TB_search_in_found", "P_Searchinfound",
                                                           "N_Searchinfound"};
const std::initializer_list<const char*> kOpen = {"TB_open", "P_Open", "N_Trytoopen"};
const std::initializer_list<const char*> kMoveDelete = {"TB_move",   "P_Move",   "N_Movethefile",
                                                        "TB_delete", "P_Delete", "N_Deletethefile"};

class MainWindowTest : public TMainWindowTest {
protected:
    void ReportTwoGroups() {
        ReportResult({{"b.txt", {"/x/b.txt", "/y/b.txt"}}, {"a.txt", {"/x/a.txt", "/y/a.txt"}}});
    }
};

TEST_F(MainWindowTest, EmptyResultEnablesOnlyTheInputsAndStart) {
    EXPECT_EQ(CommandStates(), With(AllOff(), kIdle));
}

TEST_F(MainWindowTest, ResultWithoutSelectionAddsOnlySearchInFound) {
    ReportTwoGroups();
    EXPECT_EQ(CommandStates(), With(With(AllOff(), kIdle), kSearchInFound));
}

TEST_F(MainWindowTest, GroupSelectedAddsOpen) {
    ReportTwoGroups();
    Select(0);
    EXPECT_EQ(CommandStates(), With(With(With(AllOff(), kIdle), kSearchInFound), kOpen));
}

TEST_F(MainWindowTest, FileSelectedAddsOpenMoveAndDelete) {
    ReportTwoGroups();
    Select(0, 1);
    EXPECT_EQ(CommandStates(),
              With(With(With(With(AllOff(), kIdle), kSearchInFound), kOpen), kMoveDelete));
}

TEST_F(MainWindowTest, SearchingLeavesOnlyBreakSearch) {
    ReportTwoGroups();
    window.SearchStarted();
    EXPECT_EQ(CommandStates(), With(AllOff(), {"N_Breaksearch"}));
}

TEST_F(MainWindowTest, StatusTextsFollowTheCodes) {
    EXPECT_EQ(window.StatusPanel2->text(), QStringLiteral("Empty search result"));
    EXPECT_EQ(window.StatusPanel1->text(), QString());
    const std::vector<std::pair<int, QString>> codes = {
        {0, QStringLiteral("Empty search result")},
        {1, QStringLiteral("Searh in process...")},
        {2, QStringLiteral("Search process is complete")},
        {3, QStringLiteral("Search conditions are changed")},
        {4, QStringLiteral("Search process has been interrupted")},
        {5, QString()},
        {-1, QString()},
    };
    for (const auto& [code, text] : codes) {
        window.SetSearchStatus(static_cast<TSearchStatus>(code));
        EXPECT_EQ(static_cast<int>(window.SearchStatus), code);
        EXPECT_EQ(window.StatusPanel2->text(), text) << "code " << code;
    }
}

TEST_F(MainWindowTest, ChangingAnInputKeepsTheTreeAndSaysTheConditionsChanged) {
    ReportTwoGroups();
    ASSERT_EQ(window.StatusPanel2->text(), QStringLiteral("Search process is complete"));
    const QStringList before = TreeTexts();
    QTest::keyClicks(window.Edit_ft, QStringLiteral(";*.jpg"));
    EXPECT_EQ(window.StatusPanel2->text(), QStringLiteral("Search conditions are changed"));
    window.SetSearchStatus(TSearchStatus::stComplete);
    window.Edit_root->setText(QStringLiteral("/srv/"));
    EXPECT_EQ(window.StatusPanel2->text(), QStringLiteral("Search conditions are changed"));
    EXPECT_EQ(TreeTexts(), before);
}

TEST_F(MainWindowTest, StartsWithTheMaskOfAllFilesAndTheHomeFolder) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Parvex"));
    EXPECT_EQ(window.Label2->text(), QStringLiteral("File mask:"));
    EXPECT_EQ(window.Label1->text(), QStringLiteral("Start search at:"));
    EXPECT_EQ(window.Edit_ft->text(), QStringLiteral("*.*"));
    EXPECT_EQ(window.Edit_root->text(), QDir::homePath() + QStringLiteral("/"));
    EXPECT_EQ(window.Button_ft->text(), QStringLiteral("..."));
    EXPECT_EQ(window.Btn_root->text(), QStringLiteral("..."));
    EXPECT_TRUE(window.Ocompearer1->btn_start->font().bold());
    EXPECT_TRUE(window.Ocompearer1->Btn_stop->font().bold());
}

TEST_F(MainWindowTest, CommandsCarryTheirCaptionsShortcutsAndPictures) {
    QStringList toolbar;
    for (QAction* action : window.ToolBar1->actions())
        toolbar << action->toolTip() +
                       (action->icon().isNull() ? QStringLiteral(" (no picture)") : QString());
    EXPECT_EQ(toolbar, (QStringList{QStringLiteral("Keys to compare"),
                                    QStringLiteral("Try to open the file"),
                                    QStringLiteral("Move file"), QStringLiteral("Delete file"),
                                    QStringLiteral("Search in found"), QStringLiteral("Exit")}));
    EXPECT_EQ(window.ToolBar1->iconSize(), QSize(32, 32));

    QStringList menus;
    for (QAction* menu : window.menuBar()->actions()) {
        menus << menu->text();
        for (QAction* item : menu->menu()->actions())
            menus << (item->isSeparator()
                          ? QStringLiteral("  -")
                          : QStringLiteral("  ") + item->text() + QStringLiteral(" [") +
                                item->shortcut().toString() + QStringLiteral("]"));
    }
    EXPECT_EQ(menus, (QStringList{
                         QStringLiteral("&File"),
                         QStringLiteral("  Try to open the file [F4]"),
                         QStringLiteral("  Move the file [F6]"),
                         QStringLiteral("  Delete the file [F8]"),
                         QStringLiteral("  Show in file manager [Ctrl+Shift+R]"),
                         QStringLiteral("  -"),
                         QStringLiteral("  Undo last action... [Ctrl+Z]"),
                         QStringLiteral("  -"),
                         QStringLiteral("  Open result... [Ctrl+O]"),
                         QStringLiteral("  Save result... [Ctrl+S]"),
                         QStringLiteral("  -"),
                         QStringLiteral("  Settings... []"),
                         QStringLiteral("  -"),
                         QStringLiteral("  Exit []"),
                         QStringLiteral("&Search"),
                         QStringLiteral("  Keys to compare [F12]"),
                         QStringLiteral("  -"),
                         QStringLiteral("  Start search [F9]"),
                         QStringLiteral("  Break_search [F10]"),
                         QStringLiteral("  -"),
                         QStringLiteral("  Search in found [Ctrl+F]"),
                         QStringLiteral("&Mark"),
                         QStringLiteral("  All but the newest in each group [Ctrl+1]"),
                         QStringLiteral("  All but the oldest in each group [Ctrl+2]"),
                         QStringLiteral("  All but the shortest path in each group [Ctrl+3]"),
                         QStringLiteral("  All but the first found in each group [Ctrl+4]"),
                         QStringLiteral("  Mark by rules... [Ctrl+7]"),
                         QStringLiteral("  -"),
                         QStringLiteral("  All in the selected file's folder and below [Ctrl+5]"),
                         QStringLiteral("  All under a folder... [Ctrl+6]"),
                         QStringLiteral("  -"),
                         QStringLiteral("  Invert marks in each group [Ctrl+I]"),
                         QStringLiteral("  Clear all marks [Ctrl+0]"),
                         QStringLiteral("  Copy marked files [Ctrl+Shift+C]"),
                         QStringLiteral("  -"),
                         QStringLiteral("  Move marked files to the trash... [Shift+F8]"),
                         QStringLiteral("  Move marked files to a folder... [Shift+F6]"),
                         QStringLiteral("  Replace marked files by hard links... [Shift+F7]"),
                         QStringLiteral("  Share storage of marked files... [Shift+F5]"),
                         QStringLiteral("&View"),
                         QStringLiteral("  Details pane [F3]"),
                         QStringLiteral("&Help"),
                         QStringLiteral("  Help [F1]"),
                         QStringLiteral("  -"),
                         QStringLiteral("  About []"),
                     }));

    QStringList popup;
    for (QAction* item : window.PopupMenu1->actions())
        popup << (item->isSeparator() ? QStringLiteral("-") : item->text());
    EXPECT_EQ(
        popup,
        (QStringList{QStringLiteral("Open"), QStringLiteral("Delete"), QStringLiteral("Move"),
                     QStringLiteral("-"), QStringLiteral("Search in found"), QStringLiteral("-"),
                     QStringLiteral("Open folder"), QStringLiteral("Show in file manager"),
                     QStringLiteral("Copy path"), QStringLiteral("-"), QStringLiteral("&Mark")}));
}

TEST_F(MainWindowTest, NormalizeStartPathTrimsAndAddsTheSlash) {
    window.Edit_root->setText(QStringLiteral("  /tmp/Mixed Case  "));
    window.NormalizeStartPath();
    EXPECT_EQ(window.Edit_root->text(), QStringLiteral("/tmp/Mixed Case/"));
}

TEST_F(MainWindowTest, ExitAnsweredNoKeepsTheWindow) {
    sure->Answer = false;
    window.TB_exit->trigger();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(sure->Questions, std::vector<QString>{QStringLiteral("Exit?")});
}

TEST_F(MainWindowTest, ExitAnsweredYesClosesByButtonMenuAndCloseBox) {
    window.N_Exit->trigger();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(sure->Questions, std::vector<QString>{QStringLiteral("Exit?")});
}

TEST_F(MainWindowTest, HelpOpensTheIndexPageOfTheHelpFolder) {
    EXPECT_EQ(window.StartDir, QDir::currentPath());
    TTempTree docs;
    docs.File("index.html", "<html></html>");
    window.DocsDir = QString::fromStdString(docs.Root()).chopped(1);
    std::vector<QUrl> opened;
    window.OpenUrl = [&](const QUrl& url) { opened.push_back(url); };
    window.N_Help1->trigger();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toLocalFile(), window.DocsDir + QStringLiteral("/index.html"));
    EXPECT_TRUE(modals.Shown.empty()) << modals.Shown.front().toStdString();
}

// A help command that finds no page says where it looked, over the dialog whose Help asked.
TEST_F(MainWindowTest, HelpWithoutPagesSaysWhereItLooked) {
    window.DocsDir = QStringLiteral("/nowhere/docs");
    std::vector<QUrl> opened;
    window.OpenUrl = [&](const QUrl& url) { opened.push_back(url); };
    window.N_Help1->trigger();
    WhenModalOpens([&](QDialog& settings) {
        QTest::mouseClick(window.D_settings_user->Btn_help, Qt::LeftButton);
        settings.accept();
    });
    window.N_Settings->trigger();
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(
        modals.Shown,
        (std::vector<QString>{
            QStringLiteral(
                "msg: No help page was found. Parvex looked for:\n\"/nowhere/docs/index.html\""),
            QStringLiteral("msg: No help page was found. Parvex looked "
                           "for:\n\"/nowhere/docs/start_dir.html\"")}));
}

// Closes the next modal dialog as soon as it is shown.
void CloseNextModal() {
    QTimer::singleShot(0, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
}

TEST_F(MainWindowTest, FirstStartWithoutSettingsComparesByNameAlone) {
    const TCompearerCore& core = window.Ocompearer1->Core();
    EXPECT_TRUE(core.CompareName);
    EXPECT_FALSE(core.CompareSize);
    EXPECT_FALSE(core.CompareTime);
    EXPECT_FALSE(core.CompareContent);
}

TEST_F(MainWindowTest, KeysToCompareSaysTheConditionsChangedEvenWhenNothingChanged) {
    CloseNextModal();
    window.N_Comparationkeys->trigger();
    EXPECT_EQ(window.SearchStatus, TSearchStatus::stChanged);
    EXPECT_TRUE(window.Ocompearer1->Core().CompareName);
}

TEST_F(MainWindowTest, SettingsResetsTheStartFolderToTheDefault) {
    window.Edit_root->setText(QStringLiteral("/srv/elsewhere/"));
    CloseNextModal();
    window.N_Settings->trigger();
    EXPECT_EQ(window.Edit_root->text(), QDir::homePath() + QStringLiteral("/"));
    EXPECT_EQ(window.SearchStatus, TSearchStatus::stChanged);
}

// The widget that has the keyboard: where a user's key presses arrive.
QWidget* Focused() {
    QWidget* focused = QApplication::focusWidget();
    EXPECT_NE(focused, nullptr) << "nothing has the keyboard";
    return focused;
}

// The "..." of the file mask as a user works it: a click on "Custom file mask:", Tab into the
// box, the mask typed over what it held, then Enter.
void ChooseMaskWithEnter(TFmain& window, const QString& mask) {
    WhenModalOpens([&](QDialog& dialog) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        QRadioButton* custom = window.Dialogs.F_ft->RB_custom;
        QTest::mouseClick(custom, Qt::LeftButton, {}, QPoint(6, custom->height() / 2));
        QTest::keyClick(Focused(), Qt::Key_Tab);
        QTest::keySequence(Focused(), QKeySequence::SelectAll);
        QTest::keyClicks(Focused(), mask);
        QTest::keyClick(Focused(), Qt::Key_Return);
        if (dialog.isVisible()) {
            ADD_FAILURE() << "Enter left the mask dialog open";
            dialog.reject();
        }
    });
    QTest::mouseClick(window.Button_ft, Qt::LeftButton);
}

TEST_F(MainWindowTest, EnterInTheMaskDialogTakesTheMaskAndPutsItFirstInTheHistory) {
    ChooseMaskWithEnter(window, QStringLiteral(" *.jpg "));
    EXPECT_EQ(window.Edit_ft->text(), QStringLiteral("*.jpg"));
    EXPECT_EQ(window.SearchStatus, TSearchStatus::stChanged);
    EXPECT_FALSE(window.Dialogs.F_ft->isVisible());

    ChooseMaskWithEnter(window, QStringLiteral("*.png"));
    ChooseMaskWithEnter(window, QStringLiteral("*.JPG"));
    EXPECT_EQ(window.Edit_ft->text(), QStringLiteral("*.JPG"));
    QStringList history;
    window.D_settings_user->ReadList(history, "LAST_USED_EXTS");
    EXPECT_EQ(history, (QStringList{"*.png", "*.jpg"})) << "newest first, a listed mask stays";
}

// A dialog opened from another dialog belongs to that one, so the window manager keeps it and
// its opener together above the main window.
TEST_F(MainWindowTest, TheRemoveQuestionBelongsToTheSettingsDialog) {
    window.AttachDialogs(CreateSharedDialogs(&window));
    TD_settings_user& settings = *window.D_settings_user;
    settings.AddExcludedFolder(QStringLiteral("/srv/old"));
    const QWidget* settingsParent = nullptr;
    const QWidget* questionParent = nullptr;
    const QWindow* questionTransientParent = nullptr;
    const QWindow* settingsTransientParent = nullptr;
    bool settingsStillShown = false;
    WhenModalOpens([&](QDialog& shown) {
        ASSERT_EQ(&shown, &settings);
        settingsParent = settings.parentWidget();
        settingsTransientParent = settings.windowHandle()->transientParent();
        QListWidget* list = settings.LB_prohibited;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(0)).center());
        WhenModalOpensOver(settings, [&](QDialog& question) {
            questionParent = question.parentWidget();
            questionTransientParent = question.windowHandle()->transientParent();
            settingsStillShown = settings.isVisible();
            QTest::keyClick(&KeyTarget(question), Qt::Key_Return);
        });
        QTest::mouseClick(settings.btn_del_from_prohibited, Qt::LeftButton);
        QTest::mouseClick(settings.OKBtn, Qt::LeftButton);
    });
    window.N_Settings->trigger();

    EXPECT_EQ(settingsParent, &window);
    EXPECT_EQ(settingsTransientParent, window.windowHandle());
    EXPECT_EQ(questionParent, &settings);
    EXPECT_EQ(questionTransientParent, settings.windowHandle());
    EXPECT_TRUE(settingsStillShown);
    EXPECT_EQ(settings.LB_prohibited->count(), 0) << "Yes removed the folder";
    EXPECT_EQ(static_cast<QWidget*>(window.Dialogs.Fsure)->parentWidget(), &window)
        << "the shared question goes back to the main window";
}

TEST_F(MainWindowTest, ConfirmedExitSavesTheSettingsFile) {
    window.N_Exit->trigger();
    EXPECT_EQ(window.D_settings_user, nullptr);
    std::ifstream file(settingsFolder.Path("parvex.set"), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(text.str().find("DEFAULT_PATH="), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("COMPARE_COND"), std::string::npos) << text.str();
}

// The file commands reached through the window: toolbar, menus, context menu, keys and mouse.
class FileCommandWiringTest : public TMainWindowTest {
protected:
    FileCommandWiringTest() {
        first = files.File("one/pic.jpg", std::string(600, 'p'));
        second = files.File("two/pic.jpg", std::string(600, 'p'));
        ReportResult({{"pic.jpg", {first, second}}});
        window.OpenFile = [this](const QByteArray& path) {
            opened.push_back(path.toStdString());
            return true;
        };
    }
    void MoveTo(const std::string& destination) {
        window.ChooseMoveDestination =
            [this, destination](const QString& title, const QString& folder, const QString& name) {
                dialogAsked.push_back(title + QStringLiteral(" | ") + folder +
                                      QStringLiteral(" | ") + name);
                return QString::fromStdString(destination);
            };
    }
    int FileNodes() const { return FileCount(0); }

    TTempTree files;
    std::string first, second;
    std::vector<std::string> opened;
    std::vector<QString> dialogAsked;
};

TEST_F(FileCommandWiringTest, OpenOnAGroupShowsItsInfoAndOpensNothing) {
    Select(0);
    window.TB_open->trigger();
    EXPECT_EQ(modals.Shown, std::vector<QString>{QStringLiteral("group info: 2 | 1.200 Kb")});
    EXPECT_TRUE(opened.empty());
}

TEST_F(FileCommandWiringTest, GroupInfoCountsVanishedFilesButAddsNothingForThem) {
    ::unlink(first.c_str());
    Select(0);
    window.N_Trytoopen->trigger();
    EXPECT_EQ(modals.Shown, std::vector<QString>{QStringLiteral("group info: 2 | 600 bytes")});
}

TEST_F(FileCommandWiringTest, GroupInfoCountsAReadOnlyFile) {
    ASSERT_EQ(::chmod(first.c_str(), 0444), 0);
    Select(0);
    window.TB_open->trigger();
    EXPECT_EQ(modals.Shown, std::vector<QString>{QStringLiteral("group info: 2 | 1.200 Kb")});
}

TEST_F(FileCommandWiringTest, OpenOnAFileHandsTheDesktopItsExactPath) {
    Select(0, 1);
    window.P_Open->trigger();
    EXPECT_EQ(opened, std::vector<std::string>{second});
    EXPECT_TRUE(modals.Shown.empty());
}

TEST_F(FileCommandWiringTest, EnterAndDoubleClickOpenBothKindsOfNode) {
    Select(0);
    QTest::keyClick(window.TV1, Qt::Key_Return);
    Select(0, 0);
    QTest::keyClick(window.TV1, Qt::Key_Enter);
    window.TV1->expandAll();
    const QModelIndex fileNode = Node(0, 1);
    // The view lays out the expanded rows later, from the event loop.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.TV1->visualRect(fileNode).isEmpty(); }, 5000));
    const QRect fileRow = window.TV1->visualRect(fileNode);
    QTest::mouseClick(window.TV1->viewport(), Qt::LeftButton, {}, fileRow.center());
    QTest::mouseDClick(window.TV1->viewport(), Qt::LeftButton, {}, fileRow.center());
    const QRect groupRow = window.TV1->visualRect(Node(0));
    QTest::mouseClick(window.TV1->viewport(), Qt::LeftButton, {}, groupRow.center());
    QTest::mouseDClick(window.TV1->viewport(), Qt::LeftButton, {}, groupRow.center());
    EXPECT_EQ(opened, (std::vector<std::string>{first, second}));
    EXPECT_EQ(modals.Shown, (std::vector<QString>{QStringLiteral("group info: 2 | 1.200 Kb"),
                                                  QStringLiteral("group info: 2 | 1.200 Kb")}));
}

TEST_F(FileCommandWiringTest, MoveAndDeleteDoNothingOnAGroupOrWithoutSelection) {
    MoveTo(files.Path("elsewhere.jpg"));
    Select(0);
    window.TB_moveClick();
    window.TB_deleteClick();
    window.TV1->setCurrentIndex(QModelIndex());
    window.TB_moveClick();
    window.TB_deleteClick();
    EXPECT_TRUE(dialogAsked.empty());
    EXPECT_TRUE(sure->Questions.empty());
    EXPECT_EQ(FileNodes(), 2);
}

TEST_F(FileCommandWiringTest, SaveDialogIsTitledWithTheSourceAndPresetWithItsName) {
    Select(0, 0);
    window.TB_move->trigger();
    ASSERT_EQ(modals.Shown.size(), 1u);
    EXPECT_EQ(modals.Shown[0],
              QStringLiteral("save: Move \"%1\" to: | pic.jpg").arg(QString::fromStdString(first)));
    EXPECT_EQ(FileNodes(), 2) << "a cancelled move removed the node";
    EXPECT_TRUE(TTempTree::Exists(first));
    // It opens in the file's own folder, and its accept button says what it does.
    EXPECT_EQ(window.SaveDialog1->directory().absolutePath().toStdString() + "/",
              files.Path("one/"));
    EXPECT_EQ(window.SaveDialog1->labelText(QFileDialog::Accept), QStringLiteral("Move"));
}

// Regression: a long path in the title bar was cut off before its file name.
TEST_F(FileCommandWiringTest, SaveDialogShowsALongSourcePathWholeInside) {
    const std::string deep = files.File("one/" + std::string(120, 'f') + "/" +
                                            std::string(120, 'g') + "/the-file-name.jpg",
                                        std::string(600, 'p'));
    ReportResult({{"the-file-name.jpg", {deep, first}}});
    Select(0, 0);
    window.TB_moveClick();
    ASSERT_EQ(modals.Shown.size(), 1u) << "the save dialog did not open";
    const auto* label = window.SaveDialog1->findChild<QLabel*>(QStringLiteral("moveSource"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("Move \"%1\" to:").arg(QString::fromStdString(deep)));
    const int lines = 1 + label->fontMetrics().horizontalAdvance(label->text()) / label->width();
    EXPECT_GE(label->height(), lines * label->fontMetrics().lineSpacing())
        << "the label is too low for its " << lines << " lines";
    EXPECT_LE(label->width(), window.SaveDialog1->width());
}

TEST_F(FileCommandWiringTest, MoveRemovesTheNodeOfTheFileThatLeft) {
    const std::string target = files.File("target/pic.jpg", "old content");
    MoveTo(target);
    Select(0, 0);
    window.N_Movethefile->trigger();
    EXPECT_EQ(dialogAsked,
              std::vector<QString>{QStringLiteral("Move \"%1\" to: | %2 | pic.jpg")
                                       .arg(QString::fromStdString(first),
                                            QString::fromStdString(files.Path("one")))});
    EXPECT_EQ(FileNodes(), 1);
    EXPECT_EQ(Node(0, 0).data().toString().toStdString(), second);

    MoveTo(files.Path("target/other.jpg"));
    Select(0, 0);
    window.P_Move->trigger();
    EXPECT_FALSE(TTempTree::Exists(second));
    EXPECT_EQ(FileNodes(), 0);
}

TEST_F(FileCommandWiringTest, MoveOntoItselfKeepsTheNode) {
    MoveTo(first);
    Select(0, 0);
    window.TB_moveClick();
    EXPECT_EQ(FileNodes(), 2);
}

// Trash tests keep the trash in the test's own folder.
class TrashWiringTest : public FileCommandWiringTest {
protected:
    TTrashHome trash{files.Path("home")};
};

TEST_F(TrashWiringTest, ConfirmedDeleteRemovesTheNodeAndTheGroupStays) {
    Select(0, 0);
    window.N_Deletethefile->trigger();
    ASSERT_EQ(sure->Questions.size(), 1u);
    EXPECT_TRUE(sure->Questions[0].startsWith(
        QStringLiteral("Move this file to the trash?\n\"%1\"").arg(QString::fromStdString(first))))
        << sure->Questions[0].toStdString();
    EXPECT_EQ(sure->NoWasDefault, std::vector<bool>{false});
    EXPECT_FALSE(TTempTree::Exists(first));
    EXPECT_EQ(FileNodes(), 1);

    // The last copy of the group: the question says so with No as its default, and the group
    // node stays when it goes.
    Select(0, 0);
    window.P_Delete->trigger();
    ASSERT_EQ(sure->Questions.size(), 2u);
    EXPECT_TRUE(sure->Questions[1].startsWith(
        QStringLiteral("This file is the last copy of its content: no other file of its group "
                       "holds the same bytes.\n")))
        << sure->Questions[1].toStdString();
    EXPECT_EQ(sure->NoWasDefault, (std::vector<bool>{false, true}));
    EXPECT_EQ(FileNodes(), 0);
    EXPECT_EQ(GroupCount(), 1);
    Select(0);
    window.TB_openClick();
    EXPECT_EQ(modals.Shown, std::vector<QString>{QStringLiteral("group info: 0 | 0 bytes")});
}

// Regression: with name alone as the key, F8 on a file whose content exists nowhere else asked
// a plain question with Yes as its default.
TEST_F(TrashWiringTest, F8DecidesTheLastCopyByContentWhateverTheKeys) {
    struct TCase {
        const char* What;
        bool Content;           // the search compared content
        const char* OtherBytes; // what the group's other file holds
        bool SecondName;        // the selected file has a second name outside the group
        bool Cancel;            // Cancel pressed while the bytes are compared
        const char* Begins;     // the question's first sentence
        bool NoIsDefault;
    };
    const QString lastCopy = QStringLiteral("This file is the last copy of its content: ");
    const std::vector<TCase> cases = {
        {"name only, other bytes", false, "other", false, false,
         "This file is the last copy of its content: no other file of its group holds the same "
         "bytes.",
         true},
        {"name only, same bytes", false, "same", false, false, "Move this file to the trash?",
         false},
        {"name only, cancelled", false, "same", false, true,
         "This file is the last copy of its content: the comparison with the other files of its "
         "group was cancelled.",
         true},
        {"content, the file has another name", true, "other", true, false,
         "Move this file to the trash?", false},
    };
    sure->Answer = false;
    for (const TCase& c : cases) {
        TTempTree tree;
        const std::string chosen = tree.File("a/pic.jpg", "same");
        const std::string other = tree.File("b/pic.jpg", c.OtherBytes);
        if (c.SecondName)
            tree.HardLink("elsewhere/pic.jpg", "a/pic.jpg");
        window.Ocompearer1->Core().SetKeys({true, false, false, c.Content});
        ReportResult({{"pic.jpg", {chosen, other}}});
        EXPECT_EQ(window.MatchNotice->isVisible(), !c.Content) << c.What;
        EXPECT_EQ(window.MatchNotice->text(),
                  c.Content ? QString()
                            : QStringLiteral("Matched by name only: not checked to be copies"))
            << c.What;
        int looks = 0;
        window.OnLastCopyCheck = [&](QProgressDialog& progress) {
            ++looks;
            if (c.Cancel)
                progress.cancel(); // what its Cancel button does
        };
        sure->Questions.clear();
        sure->NoWasDefault.clear();
        window.TV1->expandAll();
        Select(0, 0);
        ASSERT_TRUE(testing::ActivateAgain(window));
        window.TV1->setFocus();
        QTest::keyClick(window.TV1, Qt::Key_F8);
        ASSERT_EQ(sure->Questions.size(), 1u) << c.What;
        EXPECT_TRUE(sure->Questions[0].startsWith(QLatin1String(c.Begins)))
            << c.What << ": " << sure->Questions[0].toStdString();
        EXPECT_EQ(sure->NoWasDefault[0], c.NoIsDefault) << c.What;
        EXPECT_EQ(sure->Questions[0].startsWith(lastCopy), c.NoIsDefault) << c.What;
        if (c.SecondName)
            EXPECT_TRUE(sure->Questions[0].endsWith(
                QStringLiteral("\nIts content stays under 1 other name of the same file.")))
                << sure->Questions[0].toStdString();
        else
            EXPECT_GE(looks, 1) << c.What << ": the bytes were compared under a progress dialog";
        EXPECT_TRUE(TTempTree::Exists(chosen)) << c.What;
        EXPECT_EQ(QApplication::focusWidget(), window.TV1) << c.What;
    }
}

// Regression: after Move answered "replace? Yes" the keyboard was lost.
TEST_F(TrashWiringTest, TheKeyboardComesBackToTheTreeAfterEveryDialogAndCommand) {
    const std::string target = files.File("target/pic.jpg", "old content");
    // The destination is asked in a dialog, which asks in turn whether to replace the file.
    window.ChooseMoveDestination = [&](const QString&, const QString&, const QString&) {
        QDialog chooser(&window);
        auto* replace = new QPushButton(QStringLiteral("Replace"), &chooser);
        QObject::connect(replace, &QPushButton::clicked, &chooser, [&chooser] {
            QMessageBox question(QMessageBox::Question, QStringLiteral("Parvex"),
                                 QStringLiteral("Replace?"), QMessageBox::Yes | QMessageBox::No,
                                 &chooser);
            question.setDefaultButton(QMessageBox::Yes);
            WhenModalOpensOver(chooser,
                               [](QDialog& d) { QTest::keyClick(&KeyTarget(d), Qt::Key_Return); });
            if (question.exec() == QMessageBox::Yes)
                chooser.accept();
        });
        WhenModalOpens([replace](QDialog&) { replace->click(); });
        return chooser.exec() == QDialog::Accepted ? QString::fromStdString(target) : QString();
    };
    sure->Answer = false;
    const std::vector<std::pair<const char*, std::function<void()>>> commands = {
        {"F6, replace Yes", [&] { QTest::keyClick(window.TV1, Qt::Key_F6); }},
        {"F8 declined", [&] { QTest::keyClick(window.TV1, Qt::Key_F8); }},
        {"F12",
         [&] {
             WhenModalOpens([](QDialog& d) { d.accept(); });
             QTest::keyClick(window.TV1, Qt::Key_F12);
         }},
        {"Enter on a group",
         [&] {
             Select(0);
             QTest::keyClick(window.TV1, Qt::Key_Return);
         }},
    };
    for (const auto& [what, command] : commands) {
        window.TV1->expandAll();
        Select(0, 0);
        ASSERT_TRUE(testing::ActivateAgain(window)) << what;
        window.TV1->setFocus();
        command();
        // The window manager activates the window again when asked; the keyboard is then at
        // the tree.
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return QApplication::focusWidget() == window.TV1; }, 5000))
            << what << ": the keyboard is at "
            << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className()
                                            : "nothing");
    }
    EXPECT_EQ(TTempTree::ReadFile(target), std::string(600, 'p')) << "the move replaced the file";
}

TEST_F(TrashWiringTest, DeclinedDeleteKeepsTheFileAndTheNode) {
    sure->Answer = false;
    Select(0, 1);
    window.TB_delete->trigger();
    EXPECT_EQ(sure->Questions.size(), 1u);
    EXPECT_TRUE(TTempTree::Exists(second));
    EXPECT_EQ(FileNodes(), 2);
}

TEST_F(TrashWiringTest, DeleteOfAFileThatIsAlreadyGoneRemovesItsNode) {
    ::unlink(second.c_str());
    Select(0, 1);
    window.TB_deleteClick();
    EXPECT_EQ(FileNodes(), 1) << "a vanished file is gone, so its node goes too";
}

// A real search and the real question dialog, answered by keys as a user would.
class LastCopyKeysTest : public TMainWindowTest {
protected:
    LastCopyKeysTest() {
        for (const char* name : {"a/copy.bin", "b/copy.bin", "c/copy.bin"})
            copies.push_back(files.File(name, "the same content", 1'600'000'000));
        TSharedDialogs dialogs = window.Dialogs;
        dialogs.Fsure = new TFsure(&window);
        window.AttachDialogs(dialogs);
        window.Edit_root->setText(QString::fromStdString(files.Root()));
        window.N_Startsearch->trigger();
    }
    // F8 on the selected file, then Enter in the question; the question's text.
    QString DeleteWithEnter() {
        // The window manager gives the window back its focus when a dialog closes; the
        // offscreen platform leaves that to the test.
        EXPECT_TRUE(testing::ActivateAgain(window));
        window.TV1->setFocus();
        // Shared with the watch, which may outlive this call when no question opens.
        auto question = std::make_shared<QString>();
        testing::WhenModalOpens([this, question](QDialog& d) {
            *question = window.Dialogs.Fsure->Label1->text();
            QTest::keyClick(&testing::KeyTarget(d), Qt::Key_Return);
        });
        QTest::keyClick(window.TV1, Qt::Key_F8);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !question->isEmpty(); }, 10000));
        return *question;
    }
    int CopiesOnDisk() const {
        return int(std::count_if(copies.begin(), copies.end(),
                                 [](const std::string& path) { return TTempTree::Exists(path); }));
    }

    TTempTree files;
    TTempTree home;
    TTrashHome trash{home.Path("")};
    std::vector<std::string> copies;
};

// Regression: F8 and Enter three times sent all three copies to the trash, as Yes stayed the
// default even for the last one.
TEST_F(LastCopyKeysTest, F8AndEnterThreeTimesNeverTrashTheLastCopy) {
    ASSERT_EQ(GroupCount(), 1);
    window.TV1->expandAll();
    Select(0, 0);
    std::vector<QString> questions;
    for (int round = 0; round < 3; ++round)
        questions.push_back(DeleteWithEnter());
    EXPECT_EQ(CopiesOnDisk(), 1);
    EXPECT_EQ(FileCount(0), 1);
    ASSERT_EQ(questions.size(), 3u);
    EXPECT_FALSE(questions[1].contains(QStringLiteral("last copy"))) << questions[1].toStdString();
    EXPECT_TRUE(
        questions[2].startsWith(QStringLiteral("This file is the last copy of its content")))
        << questions[2].toStdString();
}

TEST_F(LastCopyKeysTest, CopiesChangedOrRemovedSinceTheSearchMakeTheLastCopyThoughNodesRemain) {
    ::unlink(copies[1].c_str());
    files.File("c/copy.bin", "the same content, and more", 1'600'000'000);
    Select(0, 0);
    const QString question = DeleteWithEnter();
    EXPECT_TRUE(question.startsWith(QStringLiteral("This file is the last copy of its content")))
        << question.toStdString();
    EXPECT_TRUE(TTempTree::Exists(copies[0])) << "Enter answered Yes";
    EXPECT_EQ(FileCount(0), 3);
}

// The result as the user reads and handles it: columns, summary, sorting, filter, context menu.
class ResultViewTest : public TMainWindowTest {
protected:
    ResultViewTest() {
        small = {files.File("one/pic.jpg", std::string(600, 'p')),
                 files.File("two/pic.jpg", std::string(600, 'p'))};
        big = {files.File("a/zip.bin", std::string(2000, 'z')),
               files.File("b/zip.bin", std::string(2000, 'z')),
               files.File("c/zip.bin", std::string(2000, 'z'))};
        // Wasted space means something only when size and content are compared.
        window.Ocompearer1->Core().SetKeys({false, true, true, true});
        ReportResult({{"pic.jpg", small}, {"zip.bin", big}});
        window.OpenFolder = [this](const QByteArray& path) {
            folders.push_back(path.toStdString());
            return true;
        };
    }
    QStringList Groups() const {
        QStringList names;
        for (int g = 0; g < GroupCount(); ++g)
            names << Node(g).data().toString();
        return names;
    }
    void ClickHeader(int column) {
        QHeaderView* header = window.TV1->header();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    }

    TTempTree files;
    std::vector<std::string> small, big;
    std::vector<std::string> folders;
};

TEST_F(ResultViewTest, ColumnsAndTheSummaryShowWhatTheDuplicatesCost) {
    EXPECT_EQ(Node(1).siblingAtColumn(TResultModel::ColumnFiles).data().toString(),
              QStringLiteral("3"));
    EXPECT_EQ(Node(1).siblingAtColumn(TResultModel::ColumnWasted).data().toString(),
              QStringLiteral("4.000 Kb"));
    EXPECT_EQ(Node(1, 0).siblingAtColumn(TResultModel::ColumnSize).data().toString(),
              QStringLiteral("2.000 Kb"));
    EXPECT_TRUE(window.StatusSummary->isVisible());
    EXPECT_EQ(window.StatusSummary->text(),
              QStringLiteral("2 groups, 5 files, 4.600 Kb can be freed"));
    window.TV1->expandAll();
    Select(1, 0);
    sure->Answer = true;
    TTrashHome trash{files.Path("home")};
    window.TB_deleteClick();
    EXPECT_EQ(window.StatusSummary->text(),
              QStringLiteral("2 groups, 4 files, 2.600 Kb can be freed"));
    window.Ocompearer1->Core().SetKeys({false, true, true, false});
    ReportResult({{"pic.jpg", small}});
    EXPECT_EQ(window.StatusSummary->text(), QStringLiteral("1 group, 2 files"));
    ReportResult({});
    EXPECT_FALSE(window.StatusSummary->isVisible());
}

TEST_F(ResultViewTest, AHeaderClickSortsByWastedLargestFirstAndANewResultComesInTheDefaultOrder) {
    EXPECT_EQ(Groups(), (QStringList{QStringLiteral("pic.jpg"), QStringLiteral("zip.bin")}));
    ClickHeader(TResultModel::ColumnWasted);
    EXPECT_EQ(Groups(), (QStringList{QStringLiteral("zip.bin"), QStringLiteral("pic.jpg")}));
    ClickHeader(TResultModel::ColumnWasted);
    EXPECT_EQ(Groups(), (QStringList{QStringLiteral("pic.jpg"), QStringLiteral("zip.bin")}));
    ClickHeader(TResultModel::ColumnFiles);
    EXPECT_EQ(Groups(), (QStringList{QStringLiteral("zip.bin"), QStringLiteral("pic.jpg")}));
    ReportResult({{"pic.jpg", small}, {"zip.bin", big}});
    EXPECT_EQ(Groups(), (QStringList{QStringLiteral("pic.jpg"), QStringLiteral("zip.bin")}));
    EXPECT_EQ(window.TV1->header()->sortIndicatorSection(), -1);
}

TEST_F(ResultViewTest, TheFilterShowsWholeGroupsAndSearchInFoundLooksOnlyAtThem) {
    QTest::keyClicks(window.FilterEdit, QStringLiteral("B/ZIP"));
    EXPECT_EQ(Groups(), QStringList{QStringLiteral("zip.bin")});
    EXPECT_EQ(FileCount(0), 3);
    window.FindDialog1->Edit_text->setText(QStringLiteral("/"));
    window.FindDialog1Find();
    EXPECT_EQ(window.SelectedNode(), Node(0, 0)) << "pic.jpg's files are hidden";
    window.FilterEdit->setText(QStringLiteral("nowhere"));
    EXPECT_EQ(GroupCount(), 0);
    window.Ocompearer1->Core().SetKeys({false, true, false, true});
    window.Edit_root->setText(QString::fromStdString(files.Root()));
    window.N_Startsearch->trigger();
    EXPECT_EQ(GroupCount(), 0) << "the filter stays in force for a new result";
    EXPECT_EQ(window.ResultModel->Result().GroupCount(), 2u);
    EXPECT_EQ(window.StatusPanel2->text(), QStringLiteral("Search process is complete"))
        << "groups that the filter hides are still found";
    EXPECT_TRUE(modals.Shown.empty());
    window.FilterEdit->clear();
    EXPECT_EQ(GroupCount(), 2);
}

TEST_F(ResultViewTest, CtrlCCopiesTheSelectedFileAsItsPathAndItsAddress) {
    window.TV1->expandAll();
    Select(0, 1);
    window.TV1->setFocus();
    QTest::keyClick(window.TV1, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromStdString(small[1]));
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->urls(), QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(small[1]))});
}

TEST_F(ResultViewTest, AFileRowIsDraggedOutForCopyOrLinkNeverForMove) {
    window.TV1->expandAll();
    EXPECT_EQ(window.TV1->dragDropMode(), QAbstractItemView::DragOnly);
    EXPECT_EQ(window.ResultModel->supportedDragActions(), Qt::CopyAction | Qt::LinkAction);
    // What the view hands a drag: the model's data for the selected row's draggable cells.
    const auto dragged = [this]() -> std::unique_ptr<QMimeData> {
        QModelIndexList cells;
        for (const QModelIndex& cell : window.TV1->selectionModel()->selectedIndexes())
            if (window.ResultModel->flags(cell) & Qt::ItemIsDragEnabled)
                cells << cell;
        return std::unique_ptr<QMimeData>(cells.isEmpty() ? nullptr
                                                          : window.ResultModel->mimeData(cells));
    };
    Select(1, 2);
    const std::unique_ptr<QMimeData> file = dragged();
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->urls(), QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(big[2]))});
    EXPECT_EQ(file->text(), QString::fromStdString(big[2]));
    Select(1);
    EXPECT_EQ(dragged(), nullptr) << "a group row is not dragged";
}

TEST_F(ResultViewTest, ShowInFileManagerHandsOverTheSelectedFileFromMenuContextMenuAndKey) {
    std::vector<std::string> shown;
    window.ShowFileInManager = [&shown](const QByteArray& path) {
        shown.push_back(path.toStdString());
    };
    window.TV1->expandAll();
    Select(1, 0);
    window.N_ShowInFileManager->trigger();
    window.P_ShowInFileManager->trigger();
    ASSERT_TRUE(testing::ActivateAgain(window));
    window.TV1->setFocus();
    QTest::keyClick(window.TV1, Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(shown, std::vector<std::string>(3, big[0]));
    Select(1);
    EXPECT_FALSE(window.N_ShowInFileManager->isEnabled());
    EXPECT_FALSE(window.P_ShowInFileManager->isEnabled());
}

TEST_F(ResultViewTest, WithoutAFileManagerToAskShowInFileManagerOpensTheFolder) {
    // No session bus at this address, so no file manager can be asked.
    qputenv("DBUS_SESSION_BUS_ADDRESS",
            QByteArray::fromStdString("unix:path=" + files.Path("none")));
    Select(0, 1);
    window.N_ShowInFileManager->trigger();
    EXPECT_EQ(folders, std::vector<std::string>{files.Path("two")});
}

TEST_F(ResultViewTest, OpenFolderHandsTheDesktopTheFoldersExactBytes) {
    Select(0, 0);
    window.P_OpenFolder->trigger();
    EXPECT_EQ(folders, std::vector<std::string>{files.Path("one")});
    Select(0);
    EXPECT_FALSE(window.P_OpenFolder->isEnabled());
}

TEST_F(ResultViewTest, AFolderPathTooLongForTheDesktopIsSaidSo) {
    const std::string longPath = "/" + std::string(PATH_MAX, 'x') + "/f.bin";
    ReportResult({{"f.bin", {"/short/f.bin", longPath}}});
    Select(0, 1);
    window.P_OpenFolder->trigger();
    EXPECT_TRUE(folders.empty());
    ASSERT_EQ(modals.Shown.size(), 1u);
    EXPECT_TRUE(modals.Shown[0].startsWith(QStringLiteral("msg: The desktop cannot open")))
        << modals.Shown[0].left(80).toStdString();
}

// Opens the context menu with a key on the focused tree and returns where it showed, closing it
// with Escape; an invalid rectangle when no menu opened.
QRect ContextMenuFromKey(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QRect shown;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            shown = menu->geometry();
            poll.stop();
            QTest::keyClick(menu, Qt::Key_Escape);
        }
    });
    poll.start();
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    [[maybe_unused]] const bool opened = QTest::qWaitFor([&] { return shown.isValid(); }, 5000);
    return shown;
}

TEST_F(FileCommandWiringTest, MenuKeyAndShiftF10OpenTheContextMenuAtTheSelectedRow) {
    window.TV1->expandAll();
    Select(0, 1);
    window.TV1->setFocus();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !window.TV1->visualRect(Node(0, 1)).isEmpty(); }, 5000));
    const QRect row = window.TV1->visualRect(Node(0, 1));
    const QPoint rowBottom = window.TV1->viewport()->mapToGlobal(row.bottomLeft());
    for (const auto& [key, modifiers] :
         {std::pair{Qt::Key_Menu, Qt::KeyboardModifiers()},
          std::pair{Qt::Key_F10, Qt::KeyboardModifiers(Qt::ShiftModifier)}}) {
        ASSERT_TRUE(testing::ActivateAgain(window));
        window.TV1->setFocus();
        const QRect menu = ContextMenuFromKey(key, modifiers);
        ASSERT_TRUE(menu.isValid()) << "no menu for key " << key;
        EXPECT_LE(std::abs(menu.top() - rowBottom.y()), row.height()) << "key " << key;
        EXPECT_GE(menu.left(), rowBottom.x()) << "key " << key;
        EXPECT_LT(menu.left(), rowBottom.x() + window.TV1->viewport()->width());
    }
    EXPECT_TRUE(window.Ocompearer1->isEnabled()) << "Shift+F10 is not the F10 of Break search";
    EXPECT_TRUE(opened.empty());
}

TEST_F(MainWindowTest, TheSmallestWindowShowsAboutThirtyCharactersInEachInput) {
    window.resize(1, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.width() == window.minimumWidth(); }, 5000));
    EXPECT_GT(window.minimumWidth(), 1);
    EXPECT_GT(window.minimumHeight(), 1);
    const int thirty = window.Edit_root->fontMetrics().averageCharWidth() * 30;
    EXPECT_GE(window.Edit_root->width(), thirty);
    EXPECT_GE(window.Edit_ft->width(), thirty);
    EXPECT_GT(window.TV1->height(), 0);
}

QString AccessibleName(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face == nullptr ? QString() : face->text(QAccessible::Name);
}

TEST_F(MainWindowTest, EveryControlHasAnAccessibleName) {
    EXPECT_EQ(AccessibleName(window.TV1), QStringLiteral("Identical files"));
    EXPECT_EQ(AccessibleName(window.Button_ft), QStringLiteral("Choose file mask"));
    EXPECT_EQ(AccessibleName(window.Btn_root), QStringLiteral("Browse for start folder"));
    EXPECT_EQ(AccessibleName(window.Edit_ft), QStringLiteral("File mask"));
    EXPECT_EQ(AccessibleName(window.Edit_root), QStringLiteral("Start search at"));
    EXPECT_EQ(AccessibleName(window.FilterEdit), QStringLiteral("Filter"));
}

// Regression: accessible names ("Result summary") replaced the texts the status fields show.
TEST_F(MainWindowTest, AScreenReaderReadsTheStatusFieldsAndTheMarksAsShown) {
    TTempTree tree;
    window.Ocompearer1->Core().SetKeys({false, true, false, true});
    ReportResult({{"a.txt", {tree.File("x/a.txt", "same"), tree.File("y/a.txt", "same")}}});
    window.TV1->expandAll();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !window.TV1->visualRect(Node(0, 0)).isEmpty(); }, 5000));
    Select(0, 0);
    ASSERT_TRUE(testing::ActivateAgain(window));
    QTest::keyClick(window.TV1, Qt::Key_Space);

    struct TField {
        const char* What;
        QWidget* Field;
        const char* Description;
    };
    for (const TField& f :
         {TField{"summary", window.StatusSummary,
                 "Result summary: groups, files and the space the copies take"},
          TField{"marks", window.StatusMarks,
                 "Marked files and the space acting on them frees (each file once)"}}) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(f.Field);
        ASSERT_NE(face, nullptr) << f.What;
        const QString shown = static_cast<QLabel*>(f.Field)->text();
        EXPECT_FALSE(shown.isEmpty()) << f.What;
        EXPECT_EQ(face->text(QAccessible::Name), shown) << f.What;
        EXPECT_EQ(face->text(QAccessible::Description), QLatin1String(f.Description)) << f.What;
    }
    // The mark of a file row is its checked state, not a colour.
    QAccessibleTableInterface* table =
        QAccessible::queryAccessibleInterface(window.TV1)->tableInterface();
    ASSERT_NE(table, nullptr);
    for (int row = 1; row <= 2; ++row) {
        QAccessibleInterface* cell = table->cellAt(row, 0);
        ASSERT_NE(cell, nullptr) << row;
        EXPECT_TRUE(cell->state().checkable) << row;
        EXPECT_EQ(bool(cell->state().checked), row == 1)
            << cell->text(QAccessible::Name).toStdString();
    }
}

// Regression: the window opened larger than the screen, its title bar and menu out of reach.
TEST(MainWindowPlacement, OpensInsideTheAvailableAreaAtEveryScale) {
    for (const QRect& area :
         {QRect(0, 0, 1280, 800), QRect(0, 0, 640, 400), QRect(100, 50, 480, 320)}) {
        const TAreaSourceOverride screen([&area](const QWidget&) { return area; });
        TTempTree settings;
        TFmain window(std::make_unique<TD_settings_user>(settings.Path("parvex.set")));
        const QRect placed(window.pos(), window.size());
        EXPECT_TRUE(area.contains(placed))
            << area.width() << "x" << area.height() << ": " << placed.x() << "," << placed.y()
            << " " << placed.width() << "x" << placed.height();
        EXPECT_LE(window.minimumWidth(), area.width()) << area.width();
        EXPECT_LE(window.minimumHeight(), area.height()) << area.height();
    }
}

TEST_F(ResultViewTest, TheTreeIsExposedAsATableWithColumnHeaders) {
    // The view lays out its rows from the event loop.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.TV1->visualRect(Node(0)).isEmpty(); }, 5000));
    QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(window.TV1);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->role(), QAccessible::Tree);
    QAccessibleTableInterface* table = tree->tableInterface();
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->columnCount(), window.ResultModel->columnCount());
    QStringList headers;
    for (int column = 0; column < table->columnCount(); ++column) {
        QAccessibleInterface* cell = table->cellAt(0, column);
        ASSERT_NE(cell, nullptr);
        const QAccessibleTableCellInterface* place = cell->tableCellInterface();
        ASSERT_NE(place, nullptr);
        const QList<QAccessibleInterface*> header = place->columnHeaderCells();
        ASSERT_EQ(header.size(), 1);
        headers << header[0]->text(QAccessible::Name);
    }
    EXPECT_EQ(headers, (QStringList{QStringLiteral("Path"), QStringLiteral("Size"),
                                    QStringLiteral("Modified"), QStringLiteral("Files"),
                                    QStringLiteral("Wasted")}));
}

} // namespace
} // namespace parvex::test
