#include "main_test_support.h"

#include "_compearer/ocompearer.h"
#include "dialogs/file_group_info.h"
#include "dialogs/msg.h"
#include "dialogs/settings_user.h"
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

TTempTree::TTempTree() {
    EXPECT_TRUE(dir_.isValid());
}

std::string TTempTree::Path(const std::string& relative) const {
    return QFile::encodeName(dir_.path()).toStdString() + "/" + relative;
}

std::string TTempTree::WriteFile(const std::string& relative, const std::string& content) {
    const std::string path = Path(relative);
    QDir().mkpath(QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).path());
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::string TTempTree::ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool TTempTree::Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

TTrashHome::TTrashHome(const std::string& home)
    : oldHome_(qgetenv("HOME")), oldData_(qgetenv("XDG_DATA_HOME")) {
    qputenv("HOME", QByteArray::fromStdString(home));
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(home + "/.local/share"));
}

TTrashHome::~TTrashHome() {
    qputenv("HOME", oldHome_);
    qputenv("XDG_DATA_HOME", oldData_);
}

bool TScriptedSure::Ask(const QString& question) {
    Questions.push_back(question);
    Confirmed = Answer;
    return Confirmed;
}

TModalRecorder::TModalRecorder() {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &TModalRecorder::Poll);
    timer_.start();
}

void TModalRecorder::Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible())
        return;
    if (auto* message = qobject_cast<TDmsg*>(modal)) {
        Shown.push_back(QStringLiteral("msg: ") + message->Label1->text());
        message->accept();
    } else if (auto* info = qobject_cast<TD_file_group_info*>(modal)) {
        Shown.push_back(QStringLiteral("group info: %1 | %2")
                            .arg(info->Label_files_number->text(), info->Label_used_size->text()));
        info->accept();
    } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
        Shown.push_back(
            QStringLiteral("save: %1 | %2")
                .arg(files->windowTitle(), QFileInfo(files->selectedFiles().value(0)).fileName()));
        files->reject();
    }
}

TMainWindowTest::TMainWindowTest()
    : window(std::make_unique<TD_settings_user>(settingsFolder.Path("parvex.set"))) {
    TSharedDialogs dialogs;
    dialogs.Dmsg = new TDmsg(&window);
    sure = new TScriptedSure(&window);
    dialogs.Fsure = sure;
    dialogs.D_file_group_info = new TD_file_group_info(&window);
    window.AttachDialogs(dialogs);
    window.show();
}

TMainWindowTest::~TMainWindowTest() = default;

void TMainWindowTest::ReportResult(const std::vector<TGroupRows>& groups) {
    window.SearchStarted();
    for (const TGroupRows& group : groups) {
        window.FoundHandler(group.Name, true);
        for (const std::string& file : group.Files)
            window.FoundHandler(file, false);
    }
    window.SearchCompleted();
}

QTreeWidgetItem* TMainWindowTest::Select(int group, int file) {
    QTreeWidgetItem* node = window.TV1->topLevelItem(group);
    if (file >= 0)
        node = node->child(file);
    window.TV1->setCurrentItem(node);
    return node;
}

QStringList TMainWindowTest::TreeTexts() const {
    QStringList texts;
    for (int g = 0; g < window.TV1->topLevelItemCount(); ++g) {
        const QTreeWidgetItem* group = window.TV1->topLevelItem(g);
        texts << group->text(0);
        for (int f = 0; f < group->childCount(); ++f)
            texts << QStringLiteral("  ") + group->child(f)->text(0);
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
