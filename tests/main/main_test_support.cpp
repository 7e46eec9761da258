#include "main_test_support.h"

#include "_compearer/panel/ocompearer.h"
#include "dialogs/about.h"
#include "dialogs/file_group_info.h"
#include "dialogs/ft.h"
#include "dialogs/msg.h"
#include "dialogs/settings_user.h"
#include "main/result_model.h"
#include "main/result_tree.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace parvex::test {

TTrashHome::TTrashHome(const std::string& home)
    : oldHome_(qgetenv("HOME")), oldData_(qgetenv("XDG_DATA_HOME")) {
    qputenv("HOME", QByteArray::fromStdString(home));
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(home + "/.local/share"));
}

TTrashHome::~TTrashHome() {
    qputenv("HOME", oldHome_);
    qputenv("XDG_DATA_HOME", oldData_);
}

TMainWindowTest::TMainWindowTest()
    : window(std::make_unique<TD_settings_user>(settingsFolder.Path("parvex.set"))) {
    TSharedDialogs dialogs;
    dialogs.Dmsg = new TDmsg(&window);
    sure = new TScriptedSure(&window);
    dialogs.Fsure = sure;
    dialogs.F_ft = new TF_ft(nullptr, &window);
    dialogs.D_file_group_info = new TD_file_group_info(&window);
    dialogs.F_about = new TF_about(&window);
    window.AttachDialogs(dialogs);
    window.show();
}

TMainWindowTest::~TMainWindowTest() = default;

void ReportResultTo(TFmain& window, const std::vector<TGroupRows>& groups) {
    // The files reported lie anywhere, as a search of the root folder finds them.
    window.Edit_root->setText(QStringLiteral("/"));
    window.SearchStarted();
    for (const TGroupRows& group : groups) {
        window.FoundHandler(group.Name, true);
        for (const std::string& file : group.Files)
            window.FoundHandler(file, false);
    }
    window.SearchCompleted();
}

void TMainWindowTest::ReportResult(const std::vector<TGroupRows>& groups) {
    ReportResultTo(window, groups);
}

QModelIndex TMainWindowTest::Node(int group, int file) const {
    const QModelIndex node = window.ResultModel->index(group, 0);
    return file < 0 ? node : window.ResultModel->index(file, 0, node);
}

QModelIndex TMainWindowTest::Select(int group, int file) {
    const QModelIndex node = Node(group, file);
    window.TV1->setCurrentIndex(node);
    return node;
}

int TMainWindowTest::GroupCount() const {
    return window.ResultModel->rowCount();
}

int TMainWindowTest::FileCount(int group) const {
    return window.ResultModel->rowCount(Node(group));
}

QStringList TMainWindowTest::TreeTexts() const {
    QStringList texts;
    for (int g = 0; g < GroupCount(); ++g) {
        texts << Node(g).data().toString();
        for (int f = 0; f < FileCount(g); ++f)
            texts << QStringLiteral("  ") + Node(g, f).data().toString();
    }
    return texts;
}

std::map<std::string, bool> TMainWindowTest::CommandStates() const {
    return {
        {"Edit_ft", window.Edit_ft->isEnabled()},
        {"Button_ft", window.Button_ft->isEnabled()},
        {"Edit_root", window.Edit_root->isEnabled()},
        {"Btn_root", window.Btn_root->isEnabled()},
        {"TB_search_keys", window.TB_search_keys->isEnabled()},
        {"TB_open", window.TB_open->isEnabled()},
        {"TB_search_in_found", window.TB_search_in_found->isEnabled()},
        {"TB_move", window.TB_move->isEnabled()},
        {"TB_delete", window.TB_delete->isEnabled()},
        {"P_Open", window.P_Open->isEnabled()},
        {"P_Move", window.P_Move->isEnabled()},
        {"P_Delete", window.P_Delete->isEnabled()},
        {"P_Searchinfound", window.P_Searchinfound->isEnabled()},
        {"N_Trytoopen", window.N_Trytoopen->isEnabled()},
        {"N_Movethefile", window.N_Movethefile->isEnabled()},
        {"N_Deletethefile", window.N_Deletethefile->isEnabled()},
        {"N_Comparationkeys", window.N_Comparationkeys->isEnabled()},
        {"N_Searchinfound", window.N_Searchinfound->isEnabled()},
        {"N_Breaksearch", window.N_Breaksearch->isEnabled()},
        {"N_Startsearch", window.N_Startsearch->isEnabled()},
        {"TB_exit", window.TB_exit->isEnabled()},
        {"N_Settings", window.N_Settings->isEnabled()},
        {"N_Exit", window.N_Exit->isEnabled()},
        {"N_Help1", window.N_Help1->isEnabled()},
        {"N_About", window.N_About->isEnabled()},
    };
}

} // namespace parvex::test
