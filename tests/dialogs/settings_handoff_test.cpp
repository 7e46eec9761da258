#include "_compearer/compearer_core.h"
#include "dialogs/about.h"
#include "dialogs/ft.h"
#include "dialogs/settings_handoff.h"
#include "dialogs/settings_user.h"
#include "settings_fixture.h"
#include "support/qt/modal_driver.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

namespace parvex {
namespace {

using testing::WhenModalOpens;

struct Keys {
    bool name, size, time, content;
    bool operator==(const Keys&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Keys& k) {
    return out << "name=" << k.name << " size=" << k.size << " time=" << k.time
               << " content=" << k.content;
}
Keys EngineKeys(const TCompearerCore& core) {
    return {core.CompareName, core.CompareSize, core.CompareTime, core.CompareContent};
}

class HandoffTest : public test::SettingsFolder {
protected:
    void SetUp() override {
        Settings = std::make_unique<TD_settings_user>(SettingsFile());
        QObject::connect(&Edit_root, &QLineEdit::textChanged, &Edit_root,
                         [this] { Statuses.push_back(3); });
    }
    std::unique_ptr<TD_settings_user> Settings;
    TCompearerCore Core;
    QLineEdit Edit_root;
    std::vector<int> Statuses;
};

TEST_F(HandoffTest, FirstStartWithoutAFileComparesByNameAlone) {
    bool normalized = false;
    ApplyUserSettings(
        *Settings, Edit_root, [&] { normalized = true; }, Core);
    EXPECT_EQ(EngineKeys(Core), (Keys{true, false, false, false}));
    EXPECT_EQ(Edit_root.text(), QDir::homePath() + QLatin1Char('/'));
    EXPECT_TRUE(normalized);
}

TEST_F(HandoffTest, SettingsCommandResetsTheStartFolder) {
    ApplyUserSettings(*Settings, Edit_root, {}, Core);
    Edit_root.setText(QStringLiteral("/typed/by/hand/"));
    Statuses.clear();
    WhenModalOpens([&](QDialog& dialog) {
        EXPECT_EQ(Settings->PageControl1->currentWidget(), Settings->TabSheet1);
        Settings->CLB_comp_cond->item(1)->setCheckState(Qt::Checked);
        dialog.close();
    });
    RunSettingsCommand(*Settings, [&] { ApplyUserSettings(*Settings, Edit_root, {}, Core); });
    EXPECT_EQ(Edit_root.text(), Settings->GetDefaultPath());
    EXPECT_EQ(Statuses, std::vector<int>{3}) << "the start folder's change marks the conditions";
    EXPECT_EQ(EngineKeys(Core), (Keys{true, true, false, false}));
}

TEST_F(HandoffTest, KeysToCompareAlwaysSaysTheConditionsChanged) {
    std::vector<TSearchStatus> statuses;
    for (int round = 0; round < 2; ++round) {
        WhenModalOpens([&](QDialog& dialog) {
            EXPECT_EQ(Settings->PageControl1->currentWidget(), Settings->TabSheet_keys);
            if (round == 1)
                Settings->CLB_comp_cond->item(3)->setCheckState(Qt::Checked);
            dialog.close();
        });
        RunCompareKeysCommand(
            *Settings, [&](TSearchStatus status) { statuses.push_back(status); }, Core);
    }
    EXPECT_EQ(statuses,
              (std::vector<TSearchStatus>{TSearchStatus::stChanged, TSearchStatus::stChanged}));
    EXPECT_EQ(EngineKeys(Core), (Keys{true, true, false, true})) << "content brings size";
}

TEST_F(HandoffTest, CancelledMaskLeavesTheFieldAlone) {
    TF_ft mask(Settings.get());
    QLineEdit Edit_ft(QStringLiteral("*.txt"));
    int changes = 0;
    QObject::connect(&Edit_ft, &QLineEdit::textChanged, &Edit_ft, [&] { ++changes; });
    WhenModalOpens([&](QDialog&) { QTest::mouseClick(mask.btn_cancel, Qt::LeftButton); });
    RunFileMaskCommand(mask, Edit_ft);
    EXPECT_EQ(Edit_ft.text(), QStringLiteral("*.txt"));
    EXPECT_EQ(changes, 0);

    WhenModalOpens([&](QDialog&) { QTest::mouseClick(mask.btn_ok, Qt::LeftButton); });
    RunFileMaskCommand(mask, Edit_ft);
    EXPECT_EQ(Edit_ft.text(), QStringLiteral("*.*"));
    EXPECT_EQ(changes, 1);
}

TEST_F(HandoffTest, SearchSkipsAnExcludedFolderAndEverythingBelowIt) {
    const QString root = TempPath() + QStringLiteral("/tree/");
    for (const char* file :
         {"a/same.txt", "skip/same.txt", "skip/deep/same.txt", "skip2/same.txt"}) {
        const QString path = root + QLatin1String(file);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        f.write("x");
    }
    Settings->AddExcludedFolder(root + QStringLiteral("skip"));
    ApplyCompareKeys(*Settings, Core);

    std::vector<std::string> asked, found;
    Core.OnSearchStart = [&] { Core.SearchSpec = (root + QStringLiteral("*.txt")).toStdString(); };
    Core.OnCheckFolder = [&](const std::string& path, bool& allowed) {
        asked.push_back(path);
        allowed = FolderAllowed(*Settings, path);
    };
    Core.OnFileFound = [&](const std::string& text, bool) { found.push_back(text); };
    Core.Start();

    const std::string base = root.toStdString();
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(asked,
              (std::vector<std::string>{base, base + "a/", base + "skip/", base + "skip2/"}));
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found,
              (std::vector<std::string>{base + "a/same.txt", base + "skip2/same.txt", "same.txt"}));
}

TEST_F(HandoffTest, HelpButtonsAndAboutReachTheirPages) {
    TF_ft mask(Settings.get());
    TF_about about;
    test::TScriptedSure sure(true);
    const QString docs = MakeFolder(QStringLiteral("docs"));
    for (const char* page : {"index", "start_dir", "keys", "file_mask"}) {
        QFile file(docs + QStringLiteral("/%1.html").arg(QLatin1String(page)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << page;
    }
    std::vector<QString> opened;
    const auto showHelp = [&](const QString& topic) {
        ShowHelpTopic(docs, topic, [&](const QUrl& url) { opened.push_back(url.toLocalFile()); });
    };
    ConnectSettingsDialogs(*Settings, mask, about, sure, docs, showHelp);
    about.OpenUrl = [&](const QUrl& url) { opened.push_back(url.toLocalFile()); };

    showHelp(QStringLiteral("index")); // what F1 asks for
    Settings->PageControl1->setCurrentWidget(Settings->TabSheet1);
    QTest::mouseClick(Settings->Btn_help, Qt::LeftButton);
    Settings->PageControl1->setCurrentWidget(Settings->TabSheet_keys);
    QTest::mouseClick(Settings->Btn_help, Qt::LeftButton);
    QTest::mouseClick(mask.Btn_help, Qt::LeftButton);
    about.Label_httpClick();
    EXPECT_EQ(opened, (std::vector<QString>{docs + "/index.html", docs + "/start_dir.html",
                                            docs + "/keys.html", docs + "/file_mask.html",
                                            docs + "/index.html"}));

    Settings->AddExcludedFolder(QStringLiteral("/srv"));
    Settings->LB_prohibited->setCurrentRow(0);
    Settings->btn_del_from_prohibitedClick();
    EXPECT_EQ(sure.Questions.size(), 1u) << "removal asks the shared confirmation dialog";
}

TEST_F(HandoffTest, ReleasingTheSettingsSavesThemAndDetachesTheMaskDialog) {
    TF_ft mask(Settings.get());
    Settings->ChooseDefaultPath(MakeFolder(QStringLiteral("kept")));
    Settings.reset();
    EXPECT_EQ(ReadBack()->GetAttr("DEFAULT_PATH"),
              (TempPath() + QStringLiteral("/kept/")).toStdString());
    WhenModalOpens([&](QDialog&) { QTest::mouseClick(mask.btn_ok, Qt::LeftButton); });
    EXPECT_EQ(mask.ChooseMask(QStringLiteral("*.a")), QStringLiteral("*.*"))
        << "works without a store";
}

} // namespace
} // namespace parvex
