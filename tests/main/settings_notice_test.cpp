#include "dialogs/msg.h"
#include "dialogs/settings_user.h"
#include "main/fmain.h"
#include "main/settings_notice.h"
#include "support/qt/modal_driver.h"
#include "support/qt/modal_recorder.h"
#include "support/temp_tree.h"

#include <QAction>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace parvex {
namespace {

namespace fs = std::filesystem;

// The program's start: the window on a settings file, its message dialog, shown, then the
// notice; the recorder answers every message the window shows and keeps its text.
class SettingsNoticeTest : public ::testing::Test {
protected:
    void Start(const std::string& SettingsFile) {
        window = std::make_unique<TFmain>(std::make_unique<TD_settings_user>(SettingsFile));
        TSharedDialogs dialogs;
        dialogs.Dmsg = new TDmsg(window.get());
        window->AttachDialogs(dialogs);
        window->show();
        ShowSettingsNoticeWhenShown(*window);
    }
    testing::TTempTree tree;
    testing::TModalRecorder modals;
    std::unique_ptr<TFmain> window;
};

TEST_F(SettingsNoticeTest, AnUnreadableFileIsToldOnceAtStartNamingTheKeptCopy) {
    const std::string file = tree.File("parvex.set", "<SETTINGS DEFAULT_PATH=\"/w/\">");
    Start(file);
    EXPECT_TRUE(modals.Shown.empty()) << "nothing is shown before the window is up";
    ASSERT_TRUE(QTest::qWaitFor([this] { return !modals.Shown.empty(); }, 10000));
    EXPECT_EQ(modals.Shown[0],
              QStringLiteral("msg: Settings could not be read from %1 (Syntax error). The file "
                             "was kept as %1.bad; the default settings are used.")
                  .arg(QString::fromStdString(file)));
    EXPECT_EQ(window->Dialogs.Dmsg->parentWidget(), window.get());
    EXPECT_TRUE(window->isVisible());
    window.reset();
    EXPECT_EQ(modals.Shown.size(), 1u);
    EXPECT_EQ(testing::TTempTree::ReadFile(file + ".bad"), "<SETTINGS DEFAULT_PATH=\"/w/\">");
}

TEST_F(SettingsNoticeTest, ReadableSettingsStartQuietly) {
    Start(tree.File("parvex.set", "<SETTINGS DEFAULT_PATH=\"/w/\"/>"));
    bool ran = false;
    QTimer::singleShot(0, window.get(), [&ran] { ran = true; });
    ASSERT_TRUE(QTest::qWaitFor([&ran] { return ran; }, 10000));
    EXPECT_TRUE(modals.Shown.empty());
}

// The settings folder goes away during the run: the first OK in "Settings..." says why the save
// failed and the dialog closes; the second OK and the save at exit say nothing more.
TEST_F(SettingsNoticeTest, AFailedSaveIsToldOncePerRun) {
    const std::string file = tree.Folder("program") + "parvex.set";
    Start(file);
    fs::remove_all(tree.Path("program"));
    for (int round = 0; round < 2; ++round) {
        bool closed = false;
        testing::WhenModalOpens([&closed](QDialog& dialog) {
            auto* settings = qobject_cast<TD_settings_user*>(&dialog);
            ASSERT_NE(settings, nullptr);
            QObject::connect(settings, &QDialog::finished, settings, [&closed] { closed = true; });
            QTest::mouseClick(settings->OKBtn, Qt::LeftButton);
        });
        window->N_Settings->trigger();
        EXPECT_TRUE(closed) << "round " << round;
        EXPECT_FALSE(window->D_settings_user->isVisible()) << "round " << round;
    }
    window.reset(); // the save at exit fails as well
    ASSERT_EQ(modals.Shown.size(), 1u);
    EXPECT_EQ(modals.Shown[0], QStringLiteral("msg: Settings could not be saved to %1: No such "
                                              "file or directory.")
                                   .arg(QString::fromStdString(file)));
}

} // namespace
} // namespace parvex
