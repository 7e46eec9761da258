#include "dialogs/folder_list_edit.h"
#include "dialogs/msg.h"
#include "dialogs/screen_area.h"
#include "dialogs/settings_user.h"
#include "settings_fixture.h"
#include "support/qt/modal_driver.h"
#include "support/qt/modal_recorder.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <algorithm>

namespace parvex {
namespace {

using test::TScriptedSure;

class SettingsUserTest : public test::SettingsFolder {};

QStringList CheckedKeys(const TD_settings_user& dialog) {
    QStringList keys;
    for (const char* key : {"name", "size", "time", "content"}) {
        if (dialog.IsKeyChecked(QLatin1String(key)))
            keys << QLatin1String(key);
    }
    return keys;
}

QStringList Lines(const QListWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

void SetChecked(TD_settings_user& dialog, const QStringList& keys) {
    for (int i = 0; i < dialog.CLB_comp_cond->count(); ++i) {
        QListWidgetItem* line = dialog.CLB_comp_cond->item(i);
        line->setCheckState(keys.contains(line->text()) ? Qt::Checked : Qt::Unchecked);
    }
}

TEST_F(SettingsUserTest, FirstStartShowsHomeAndNameAloneAndWritesTheDefaultsAtTheEnd) {
    const QString home = QDir::homePath() + QLatin1Char('/');
    {
        TD_settings_user dialog(SettingsFile());
        EXPECT_EQ(dialog.Edit_DSP->text(), home);
        EXPECT_EQ(dialog.GetDefaultPath(), home);
        EXPECT_EQ(CheckedKeys(dialog), QStringList{QStringLiteral("name")});
        EXPECT_EQ(dialog.LB_prohibited->count(), 0);
        EXPECT_FALSE(dialog.btn_del_from_prohibited->isEnabled());
        EXPECT_TRUE(dialog.CancelBtn->isHidden());
        EXPECT_EQ(dialog.PageControl1->tabText(0), QStringLiteral("Main"));
        EXPECT_EQ(dialog.PageControl1->tabText(1), QStringLiteral("Compare keys"));
        EXPECT_EQ(ReadBack()->Name(), "SETTINGS") << "the default document is written at start";
    }
    const auto saved = ReadBack();
    EXPECT_EQ(saved->GetAttr("DEFAULT_PATH"), home.toStdString());
    ASSERT_NE(saved->FindChild("COMPARE_COND"), nullptr);
    EXPECT_TRUE(saved->FindChild("COMPARE_COND")->AttrNames().empty())
        << "no dialog shown, so no key is written";
    ASSERT_NE(saved->FindChild("DONT_SEARCH_IN"), nullptr);
    EXPECT_EQ(saved->FindChild("DONT_SEARCH_IN")->ChildCount(), 0);
}

TEST_F(SettingsUserTest, OnlyACapitalYSwitchesAKeyOn) {
    WriteCompareCond({{"NAME", "y"}, {"SIZE", "YES"}, {"TIME", "Y"}, {"CONTENT", "Yes"}});
    TD_settings_user dialog(SettingsFile());
    EXPECT_EQ(CheckedKeys(dialog), QStringList{QStringLiteral("time")});
}

TEST_F(SettingsUserTest, KeyRulesOnClosing) {
    struct Case {
        QStringList checked;
        QStringList afterClose;
        std::vector<std::string> stored;
    };
    const std::vector<Case> cases = {
        {{}, {"name"}, {"NAME"}},
        {{"content"}, {"size", "content"}, {"SIZE", "CONTENT"}},
        {{"name", "time"}, {"name", "time"}, {"NAME", "TIME"}},
    };
    for (const Case& c : cases) {
        {
            TD_settings_user dialog(SettingsFile());
            SetChecked(dialog, c.checked);
            dialog.show();
            dialog.close();
            EXPECT_EQ(CheckedKeys(dialog), c.afterClose)
                << "checked " << c.checked.join(u',').toStdString();
        }
        const auto doc = ReadBack();
        const TVelPigger* keys = doc->FindChild("COMPARE_COND");
        ASSERT_NE(keys, nullptr);
        EXPECT_EQ(keys->AttrNames(), c.stored);
        for (const std::string& value : keys->AttrValues())
            EXPECT_EQ(value, "Y");
    }
}

TEST_F(SettingsUserTest, IsKeyCheckedIgnoresCaseAndUnknownNames) {
    WriteCompareCond({{"SIZE", "Y"}});
    TD_settings_user dialog(SettingsFile());
    EXPECT_TRUE(dialog.IsKeyChecked(QStringLiteral("SIZE")));
    EXPECT_TRUE(dialog.IsKeyChecked(QStringLiteral("Size")));
    EXPECT_FALSE(dialog.IsKeyChecked(QStringLiteral("name")));
    EXPECT_FALSE(dialog.IsKeyChecked(QStringLiteral("colour")));
}

TEST_F(SettingsUserTest, DefaultPathIsStoredAtEveryChangeWithItsCase) {
    TD_settings_user dialog(SettingsFile());
    const QString picked = MakeFolder(QStringLiteral("Photos"));
    dialog.BrowseFolder = [&](const QString& title) {
        EXPECT_EQ(title, QStringLiteral("Select default search path:"));
        return picked;
    };
    dialog.Btn_rootClick();
    EXPECT_EQ(dialog.GetDefaultPath(), picked + QLatin1Char('/'));
    EXPECT_EQ(dialog.Document->GetAttr("DEFAULT_PATH"), (picked + QLatin1Char('/')).toStdString());

    dialog.BrowseFolder = [](const QString&) { return QString(); };
    dialog.Btn_rootClick();
    EXPECT_EQ(dialog.GetDefaultPath(), picked + QLatin1Char('/')) << "cancel changes nothing";
}

TEST_F(SettingsUserTest, ExcludedFoldersAddOnceAndCompareExactly) {
    TD_settings_user dialog(SettingsFile());
    const QString music = MakeFolder(QStringLiteral("Music"));
    QStringList picks = {music, music + QLatin1Char('/'), MakeFolder(QStringLiteral("music")),
                         QStringLiteral("/"), QString()};
    dialog.BrowseFolder = [&](const QString& title) {
        EXPECT_EQ(title, QStringLiteral("Select directory to add to the list"));
        return picks.takeFirst();
    };
    for (int i = 0; i < 5; ++i)
        dialog.btn_add_to_prohibitedClick();

    const QStringList expected = {music + QLatin1Char('/'), TempPath() + QStringLiteral("/music/"),
                                  QStringLiteral("/")};
    EXPECT_EQ(Lines(dialog.LB_prohibited), expected);
    EXPECT_TRUE(dialog.IsExcluded(music + QLatin1Char('/')));
    EXPECT_FALSE(dialog.IsExcluded(music)) << "the engine asks with the trailing slash";
    EXPECT_FALSE(dialog.IsExcluded(TempPath() + QStringLiteral("/MUSIC/")));
    EXPECT_FALSE(dialog.IsExcluded(TempPath() + QStringLiteral("/Music2/")));

    dialog.show();
    dialog.close();
    TD_settings_user reread(SettingsFile());
    EXPECT_TRUE(Lines(reread.LB_prohibited).isEmpty()) << "closing alone writes no file";
}

TEST_F(SettingsUserTest, RemoveAsksAndFollowsTheAnswer) {
    TD_settings_user dialog(SettingsFile());
    TScriptedSure sure(false);
    dialog.Fsure = &sure;
    dialog.AddExcludedFolder(QStringLiteral("/srv/a"));
    dialog.AddExcludedFolder(QStringLiteral("/srv/b"));
    EXPECT_FALSE(dialog.btn_del_from_prohibited->isEnabled());

    dialog.LB_prohibited->setCurrentRow(0);
    dialog.LB_prohibitedClick();
    EXPECT_TRUE(dialog.btn_del_from_prohibited->isEnabled());
    dialog.btn_del_from_prohibitedClick();
    EXPECT_EQ(sure.Questions,
              std::vector<QString>{QStringLiteral("Remove \"/srv/a/\"\nfrom the list?")});
    EXPECT_EQ(Lines(dialog.LB_prohibited), (QStringList{"/srv/a/", "/srv/b/"})) << "No keeps it";

    sure.Answer = true;
    dialog.btn_del_from_prohibitedClick();
    EXPECT_EQ(Lines(dialog.LB_prohibited), QStringList{QStringLiteral("/srv/b/")});
    EXPECT_FALSE(dialog.btn_del_from_prohibited->isEnabled()) << "disabled until clicked again";
    EXPECT_EQ(dialog.LB_prohibited->selectedItems().size(), 0);
}

TEST_F(SettingsUserTest, ClicksOnTheRealButtonsAddSelectAndRemove) {
    TD_settings_user dialog(SettingsFile());
    TScriptedSure sure(true);
    dialog.Fsure = &sure;
    dialog.BrowseFolder = [](const QString&) { return QStringLiteral("/var/tmp"); };
    dialog.show();
    QTest::mouseClick(dialog.btn_add_to_prohibited, Qt::LeftButton);
    ASSERT_EQ(Lines(dialog.LB_prohibited), QStringList{QStringLiteral("/var/tmp/")});

    QListWidget* list = dialog.LB_prohibited;
    const QRect line = list->visualItemRect(list->item(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line.center());
    ASSERT_TRUE(dialog.btn_del_from_prohibited->isEnabled());
    QTest::mouseClick(dialog.btn_del_from_prohibited, Qt::LeftButton);
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(sure.Questions.size(), 1u);
}

TEST_F(SettingsUserTest, OkWritesTheChangesOfThisShowing) {
    const QString picked = MakeFolder(QStringLiteral("start"));
    {
        TD_settings_user dialog(SettingsFile());
        dialog.ChooseDefaultPath(picked);
        dialog.AddExcludedFolder(QStringLiteral("/proc"));
        SetChecked(dialog, {QStringLiteral("size"), QStringLiteral("time")});
        dialog.show();
        QTest::mouseClick(dialog.OKBtn, Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
        const auto saved = ReadBack();
        EXPECT_EQ(saved->GetAttr("DEFAULT_PATH"), (picked + QLatin1Char('/')).toStdString());
        EXPECT_EQ(saved->FindChild("COMPARE_COND")->AttrNames(),
                  (std::vector<std::string>{"SIZE", "TIME"}));
        ASSERT_EQ(saved->FindChild("DONT_SEARCH_IN")->ChildCount(), 1);
        EXPECT_EQ(saved->FindChild("DONT_SEARCH_IN")->GetChild(0)->GetAttr("VAL"), "/proc/");
    }
    TD_settings_user nextDay(SettingsFile());
    EXPECT_EQ(nextDay.GetDefaultPath(), picked + QLatin1Char('/'));
    EXPECT_EQ(CheckedKeys(nextDay), (QStringList{"size", "time"}));
    EXPECT_EQ(Lines(nextDay.LB_prohibited), QStringList{QStringLiteral("/proc/")});
}

TEST_F(SettingsUserTest, HelpAsksForThePageShown) {
    TD_settings_user dialog(SettingsFile());
    QStringList topics;
    dialog.ShowHelpTopic = [&](const QString& topic) { topics << topic; };
    dialog.PageControl1->setCurrentWidget(dialog.TabSheet1);
    QTest::mouseClick(dialog.Btn_help, Qt::LeftButton);
    dialog.PageControl1->setCurrentWidget(dialog.TabSheet_keys);
    QTest::mouseClick(dialog.Btn_help, Qt::LeftButton);
    dialog.PageControl1->setCurrentWidget(dialog.TabSheet_advanced);
    QTest::mouseClick(dialog.Btn_help, Qt::LeftButton);
    EXPECT_EQ(topics, (QStringList{"start_dir", "keys", "marks"}));
}

// Regression: the dialog had no first focus, no visible focus on OK and Help, and a Tab order
// that changed between showings; and it could open larger than the screen.
TEST_F(SettingsUserTest, OpensOnItsFirstFieldInsideTheScreenAndTabGoesTheSameWayEveryTime) {
    const QRect area(0, 0, 480, 360); // a small screen at scale 2
    const TAreaSourceOverride screen([&area](const QWidget&) { return area; });
    TD_settings_user dialog(SettingsFile());
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        EXPECT_EQ(button->focusPolicy(), Qt::StrongFocus) << button->text().toStdString();
    struct TCase {
        QWidget* Page;
        QWidget* First;
    };
    const std::vector<TCase> cases = {{dialog.TabSheet1, dialog.Edit_DSP},
                                      {dialog.TabSheet_keys, dialog.CLB_comp_cond},
                                      {dialog.TabSheet1, dialog.Edit_DSP}};
    std::vector<std::vector<QWidget*>> chains;
    for (const TCase& c : cases) {
        std::vector<QWidget*> chain;
        QRect frame;
        testing::WhenModalOpens([&](QDialog& d) {
            frame = QRect(d.frameGeometry().topLeft(), d.size());
            for (int i = 0; i < 8; ++i) {
                chain.push_back(d.focusWidget());
                QTest::keyClick(d.focusWidget(), Qt::Key_Tab);
            }
            d.accept();
        });
        dialog.ShowPage(c.Page);
        ASSERT_FALSE(chain.empty());
        EXPECT_EQ(chain.front(), c.First);
        EXPECT_TRUE(area.contains(frame)) << frame.width() << "x" << frame.height();
        chains.push_back(chain);
    }
    EXPECT_EQ(chains[0], chains[2]) << "the same page, the same way";
    const std::vector<QWidget*> mainPage(chains[0].begin(), chains[0].begin() + 6);
    EXPECT_EQ(mainPage,
              (std::vector<QWidget*>{dialog.Edit_DSP, dialog.Btn_root, dialog.LB_prohibited,
                                     dialog.btn_add_to_prohibited, dialog.OKBtn, dialog.Btn_help}))
        << "Remove is skipped while disabled";
}

// A long folder path can be read whole: the dialog can be made larger, and the path field and
// the lists take the room it gains.
TEST_F(SettingsUserTest, ResizingGivesThePathAndTheListsTheRoom) {
    TD_settings_user dialog(SettingsFile());
    dialog.ChooseDefaultPath(QStringLiteral("/srv/") + QString(200, QLatin1Char('p')));
    dialog.show();
    QApplication::processEvents();
    const QSize opened = dialog.size();
    const int pathWidth = dialog.Edit_DSP->width();
    const QSize folders = dialog.LB_prohibited->size();
    EXPECT_TRUE(dialog.isSizeGripEnabled());

    dialog.resize(opened + QSize(400, 300));
    QApplication::processEvents();
    EXPECT_EQ(dialog.size(), opened + QSize(400, 300));
    EXPECT_GE(dialog.Edit_DSP->width(), pathWidth + 350);
    EXPECT_GE(dialog.LB_prohibited->width(), folders.width() + 350);
    EXPECT_GE(dialog.LB_prohibited->height(), folders.height() + 250);

    dialog.PageControl1->setCurrentWidget(dialog.TabSheet_keys);
    QApplication::processEvents();
    EXPECT_GE(dialog.CLB_comp_cond->height(), folders.height() + 250);

    dialog.resize(QSize(50, 50));
    QApplication::processEvents();
    EXPECT_EQ(dialog.size(), dialog.minimumSizeHint()) << "never smaller than its contents need";
}

TEST_F(SettingsUserTest, ThePathFieldAndTheListsHaveAccessibleNames) {
    TD_settings_user dialog(SettingsFile());
    EXPECT_EQ(dialog.Edit_DSP->accessibleName(), QStringLiteral("Default start search path"));
    EXPECT_EQ(dialog.LB_prohibited->accessibleName(),
              QStringLiteral("Do not search in the folders"));
    EXPECT_EQ(dialog.CLB_comp_cond->accessibleName(), QStringLiteral("Options to compare"));
}

TEST_F(SettingsUserTest, ProtectedFoldersAreEditedOnTheAdvancedPageAndStoredInTheirSection) {
    const QString picked = MakeFolder(QStringLiteral("keep"));
    TScriptedSure sure;
    {
        TD_settings_user dialog(SettingsFile());
        dialog.Fsure = &sure;
        dialog.BrowseFolder = [&picked](const QString&) { return picked; };
        ASSERT_NE(dialog.TabSheet_advanced, nullptr);
        EXPECT_EQ(
            dialog.PageControl1->tabText(dialog.PageControl1->indexOf(dialog.TabSheet_advanced)),
            QStringLiteral("Advanced"));
        dialog.show();
        QTest::mouseClick(dialog.LB_protected->AddButton, Qt::LeftButton);
        QTest::mouseClick(dialog.LB_protected->AddButton, Qt::LeftButton);
        dialog.LB_protected->AddFolder(QStringLiteral("/srv/photos"));
        EXPECT_EQ(dialog.LB_protected->Folders(),
                  (QStringList{picked + QLatin1Char('/'), QStringLiteral("/srv/photos/")}));
        dialog.LB_protected->List->setCurrentRow(1);
        sure.Answer = false;
        QTest::mouseClick(dialog.LB_protected->RemoveButton, Qt::LeftButton);
        EXPECT_EQ(dialog.LB_protected->Folders().size(), 2);
        QTest::mouseClick(dialog.OKBtn, Qt::LeftButton);
        const auto saved = ReadBack();
        ASSERT_NE(saved->FindChild("PROTECTED"), nullptr);
        ASSERT_EQ(saved->FindChild("PROTECTED")->ChildCount(), 2);
        EXPECT_EQ(saved->FindChild("PROTECTED")->GetChild(1)->GetAttr("VAL"), "/srv/photos/");
    }
    TD_settings_user nextDay(SettingsFile());
    EXPECT_EQ(
        nextDay.ProtectedFolders(),
        (std::vector<std::string>{(picked + QLatin1Char('/')).toStdString(), "/srv/photos/"}));
}

// Types Text into Field as a user would: a click into it, the old text selected, the keys.
void TypeInto(QLineEdit* Field, const QString& Text) {
    QTest::mouseClick(Field, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitForWindowActive(Field->window()));
    QTest::keyClick(Field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(Field, Text);
    QTest::keyClick(Field, Qt::Key_Tab);
}

// The size limits are typed as on the command line; OK (here Enter) refuses a text that is no
// size, or a smallest size above the largest, with a message and stays open on the field.
TEST_F(SettingsUserTest, SizeLimitsAreTypedOnTheAdvancedPageAndWrongOnesKeepTheDialogOpen) {
    testing::TModalRecorder modals;
    {
        TD_settings_user dialog(SettingsFile());
        dialog.Dmsg = new TDmsg(&dialog);
        EXPECT_TRUE(dialog.Edit_min_size->text().isEmpty());
        EXPECT_TRUE(dialog.Edit_max_size->text().isEmpty());
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        dialog.PageControl1->setCurrentWidget(dialog.TabSheet_advanced);

        TypeInto(dialog.Edit_min_size, QStringLiteral("10K"));
        TypeInto(dialog.Edit_max_size, QStringLiteral("1.5X"));
        QTest::keyClick(dialog.Edit_max_size, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible()) << "a wrong size keeps the dialog open";
        ASSERT_EQ(modals.Shown.size(), 1u);
        EXPECT_EQ(modals.Shown[0],
                  QStringLiteral("msg: Largest file: \"1.5X\" is not a file size. Write a number "
                                 "of bytes, or a number followed by K, M or G (1000, 1000\u00b2, "
                                 "1000\u00b3 bytes), such as 4096, 10K or 1.5M; leave the field "
                                 "empty for no limit."));
        ASSERT_TRUE(testing::ActivateAgain(dialog));
        EXPECT_EQ(dialog.focusWidget(), dialog.Edit_max_size);
        EXPECT_TRUE(ReadBack()->GetAttr("MAX_SIZE").empty()) << "nothing saved";

        QTest::keyClicks(dialog.Edit_max_size, QStringLiteral("5k"));
        QTest::keyClick(dialog.Edit_max_size, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        ASSERT_EQ(modals.Shown.size(), 2u);
        EXPECT_EQ(modals.Shown[1],
                  QStringLiteral("msg: Smallest file (10K) is larger than Largest file (5K): no "
                                 "file could be found."));
        ASSERT_TRUE(testing::ActivateAgain(dialog));
        EXPECT_EQ(dialog.focusWidget(), dialog.Edit_min_size);

        QTest::keyClicks(dialog.Edit_min_size, QStringLiteral(" 4096 "));
        TypeInto(dialog.Edit_max_size, QStringLiteral("1.5M"));
        QTest::keyClick(dialog.Edit_max_size, Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(modals.Shown.size(), 2u);
        const auto saved = ReadBack();
        EXPECT_EQ(saved->GetAttr("MIN_SIZE"), "4096");
        EXPECT_EQ(saved->GetAttr("MAX_SIZE"), "1500000");
    }
    TD_settings_user nextDay(SettingsFile());
    EXPECT_EQ(nextDay.ReadSizeLimit(TSettingsStore::MinSizeAttribute), 4096);
    EXPECT_EQ(nextDay.Edit_min_size->text(), QStringLiteral("4096"));
    EXPECT_EQ(nextDay.Edit_max_size->text(), QStringLiteral("1500K"));
    // Emptied fields mean no limit again.
    nextDay.Edit_min_size->clear();
    nextDay.Edit_max_size->clear();
    nextDay.show();
    QTest::mouseClick(nextDay.OKBtn, Qt::LeftButton);
    EXPECT_FALSE(nextDay.isVisible());
    const auto cleared = ReadBack();
    EXPECT_EQ(std::count(cleared->AttrNames().begin(), cleared->AttrNames().end(), "MIN_SIZE"), 0);
    EXPECT_EQ(std::count(cleared->AttrNames().begin(), cleared->AttrNames().end(), "MAX_SIZE"), 0);
}

// The reading threads are chosen with the keys on the Advanced page; "Automatic" is no attribute.
TEST_F(SettingsUserTest, ReadingThreadsAreChosenOnTheAdvancedPageAndAutomaticIsNoAttribute) {
    {
        TD_settings_user dialog(SettingsFile());
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        dialog.PageControl1->setCurrentWidget(dialog.TabSheet_advanced);
        QSpinBox* readers = dialog.Spin_readers;
        EXPECT_EQ(readers->text(), QStringLiteral("Automatic"));
        QTest::mouseClick(readers, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        ASSERT_EQ(dialog.focusWidget(), readers);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(dialog.focusWidget(), Qt::Key_Up);
        EXPECT_EQ(readers->text(), QStringLiteral("3"));
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible()) << "Enter in the field is OK";
        EXPECT_EQ(ReadBack()->GetAttr("READERS"), "3");
    }
    TD_settings_user nextDay(SettingsFile());
    EXPECT_EQ(nextDay.ReadReaders(), 3);
    EXPECT_EQ(nextDay.Spin_readers->text(), QStringLiteral("3"));
    nextDay.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&nextDay));
    nextDay.PageControl1->setCurrentWidget(nextDay.TabSheet_advanced);
    nextDay.Spin_readers->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&nextDay));
    QTest::keyClick(nextDay.focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(nextDay.focusWidget(), QStringLiteral("64"));
    QTest::keyClick(nextDay.focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(nextDay.Spin_readers->value(), 64);
    nextDay.Spin_readers->setFocus();
    QTest::keyClick(nextDay.focusWidget(), Qt::Key_Up);
    EXPECT_EQ(nextDay.Spin_readers->value(), 64) << "64 is the most";
    QTest::keyClick(nextDay.focusWidget(), Qt::Key_Down);
    EXPECT_EQ(nextDay.Spin_readers->value(), 63);
    for (int i = 0; i < 7; ++i)
        QTest::keyClick(nextDay.focusWidget(), Qt::Key_PageDown);
    EXPECT_EQ(nextDay.Spin_readers->text(), QStringLiteral("Automatic"));
    QTest::mouseClick(nextDay.OKBtn, Qt::LeftButton);
    EXPECT_FALSE(nextDay.isVisible());
    const auto saved = ReadBack();
    EXPECT_EQ(std::count(saved->AttrNames().begin(), saved->AttrNames().end(), "READERS"), 0);
}

// A wrong size left in a field when the dialog closes otherwise than with OK changes nothing.
TEST_F(SettingsUserTest, AWrongSizeLeftAtClosingKeepsTheLimitsInForce) {
    {
        TD_settings_user dialog(SettingsFile());
        dialog.WriteSizeLimit(TSettingsStore::MaxSizeAttribute, 2000000000);
        dialog.LoadSizeLimits();
        EXPECT_EQ(dialog.Edit_max_size->text(), QStringLiteral("2G"));
        dialog.Edit_max_size->setText(QStringLiteral("lots"));
        dialog.reject();
        EXPECT_EQ(dialog.Edit_max_size->text(), QStringLiteral("2G"));
    }
    EXPECT_EQ(ReadBack()->GetAttr("MAX_SIZE"), "2000000000");
}

} // namespace
} // namespace parvex
