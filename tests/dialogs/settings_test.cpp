#include "dialogs/msg.h"
#include "dialogs/settings.h"
#include "support/qt/modal_recorder.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace parvex {
namespace {

namespace fs = std::filesystem;

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("parvex-dialog-" + std::to_string(getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        file = (folder / "parvex.set").string();
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string ReadFile() const {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path folder;
    std::string file;
};

// A subclass as the settings dialog builds one: it fills its controls after the base loaded.
class TCountingSettings : public TD_settings {
public:
    explicit TCountingSettings(std::string File) : TD_settings(std::move(File)) {
        SettingsToControls();
    }
    void SettingsToControls() override { seenPath = Document->GetAttr("DEFAULT_PATH"); }
    std::string seenPath;
};

TEST_F(SettingsDialogTest, ShellHasItsCaptionPageAndButtons) {
    TD_settings dialog(file);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Settings"));
    ASSERT_EQ(dialog.PageControl1->count(), 1);
    EXPECT_EQ(dialog.PageControl1->widget(0), dialog.TabSheet1);
    EXPECT_EQ(dialog.PageControl1->tabText(0), QStringLiteral("main"));
    EXPECT_EQ(dialog.OKBtn->text(), QStringLiteral("OK"));
    EXPECT_TRUE(dialog.OKBtn->isDefault());
    EXPECT_EQ(dialog.CancelBtn->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(ReadFile(), "\r\n<SETTINGS/>") << "creation loads and writes the defaults";
}

TEST_F(SettingsDialogTest, OkSavesAndAcceptsCancelRejects) {
    TD_settings dialog(file);
    dialog.Document->SetAttr("DEFAULT_PATH", "/w/");
    QTimer::singleShot(0, &dialog, [&dialog] { QTest::mouseClick(dialog.OKBtn, Qt::LeftButton); });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(ReadFile(), "\r\n<SETTINGS DEFAULT_PATH=\"/w/\"/>");

    dialog.Document->SetAttr("DEFAULT_PATH", "/changed/");
    QTimer::singleShot(0, &dialog,
                       [&dialog] { QTest::mouseClick(dialog.CancelBtn, Qt::LeftButton); });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(ReadFile(), "\r\n<SETTINGS DEFAULT_PATH=\"/w/\"/>") << "Cancel does not save";
}

TEST_F(SettingsDialogTest, DestructionSavesAndASubclassSeesTheLoadedValues) {
    std::ofstream(file, std::ios::binary) << "<SETTINGS DEFAULT_PATH=\"/start/\"/>";
    {
        TCountingSettings dialog(file);
        EXPECT_EQ(dialog.seenPath, "/start/");
        dialog.Document->SetAttr("DEFAULT_PATH", "/end/");
    }
    EXPECT_EQ(ReadFile(), "\r\n<SETTINGS DEFAULT_PATH=\"/end/\"/>");
}

TEST_F(SettingsDialogTest, ListsThroughListAndComboBoxes) {
    TD_settings dialog(file);
    QListWidget folders;
    folders.addItems({QStringLiteral("/tmp/"), QString(), QStringLiteral("/home/\u00e9t\u00e9/")});
    dialog.WriteList(&folders, "DONT_SEARCH_IN");
    EXPECT_EQ(dialog.Document->FindChild("DONT_SEARCH_IN")->GetChild(2)->GetAttr("VAL"),
              "/home/\xC3\xA9t\xC3\xA9/");

    QListWidget readBack;
    readBack.addItem(QStringLiteral("stale"));
    dialog.ReadList(&readBack, "DONT_SEARCH_IN");
    ASSERT_EQ(readBack.count(), 3);
    EXPECT_EQ(readBack.item(2)->text(), QStringLiteral("/home/\u00e9t\u00e9/"));
    EXPECT_EQ(readBack.item(1)->text(), QString());

    QComboBox masks;
    masks.setEditable(true);
    masks.addItems({QStringLiteral("*.jpg"), QStringLiteral("*.doc")});
    dialog.WriteList(&masks, "LAST_USED_EXTS");
    masks.clear();
    masks.setEditText(QStringLiteral("typed"));
    dialog.ReadList(&masks, "LAST_USED_EXTS");
    EXPECT_EQ(masks.count(), 2);
    EXPECT_EQ(masks.itemText(1), QStringLiteral("*.doc"));
    EXPECT_EQ(masks.currentText(), QStringLiteral("typed"));

    QStringList lines{QStringLiteral("kept")};
    dialog.ReadList(lines, " ");
    dialog.ReadList(static_cast<QListWidget*>(nullptr), "DONT_SEARCH_IN");
    EXPECT_EQ(lines, QStringList{QStringLiteral("kept")});
}

TEST_F(SettingsDialogTest, AnUnreadableFileIsDescribedWithItsKeptCopy) {
    std::ofstream(file, std::ios::binary) << "<SETTINGS>";
    TD_settings dialog(file);
    EXPECT_EQ(dialog.LoadProblemText(),
              QStringLiteral("Settings could not be read from %1 (Syntax error). The file was "
                             "kept as %1.bad; the default settings are used.")
                  .arg(QString::fromStdString(file)));

    const std::string userFile = (folder / "user.set").string();
    fs::remove(file);
    fs::create_directory(file);
    TD_settings onAFolder(file, nullptr, userFile);
    EXPECT_EQ(onAFolder.LoadProblemText(),
              QStringLiteral("Settings could not be read from %1 (not a regular file). It was "
                             "left as it is; settings are read from and saved to %2.")
                  .arg(QString::fromStdString(file), QString::fromStdString(userFile)));

    fs::remove(file);
    TD_settings missing(file);
    EXPECT_EQ(missing.LoadProblemText(), QString()) << "a missing file is no problem";
}

// The folder of the settings file goes away during the run: OK says so once, with the reason,
// and closes the dialog all the same; later saves of the run, the last one too, stay quiet.
TEST_F(SettingsDialogTest, AFailedSaveIsShownOncePerRunAndOkStillCloses) {
    const fs::path sub = folder / "sub";
    fs::create_directory(sub);
    const std::string subFile = (sub / "parvex.set").string();
    testing::TModalRecorder modals;
    {
        TD_settings dialog(subFile);
        dialog.Dmsg = new TDmsg(&dialog);
        fs::remove_all(sub);
        for (int round = 0; round < 2; ++round) {
            QTimer::singleShot(0, &dialog,
                               [&dialog] { QTest::mouseClick(dialog.OKBtn, Qt::LeftButton); });
            EXPECT_EQ(dialog.exec(), QDialog::Accepted) << "round " << round;
        }
    }
    ASSERT_EQ(modals.Shown.size(), 1u);
    EXPECT_EQ(modals.Shown[0], QStringLiteral("msg: Settings could not be saved to %1: No such "
                                              "file or directory.")
                                   .arg(QString::fromStdString(subFile)));
}

} // namespace
} // namespace parvex
