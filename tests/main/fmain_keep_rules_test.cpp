// "Mark by rules..." in the window: a list built by keys, saved, found again after a restart and
// applied, with the marks parvex-cli's --keep acts on; saved lists naming unknown rules.
#include "VelPigger/velpigger.h"
#include "_compearer/panel/ocompearer.h"
#include "dialogs/folder_list_edit.h"
#include "dialogs/settings_user.h"
#include "file_actions/keep_presets.h"
#include "main/result_model.h"
#include "main_test_support.h"
#include "support/qt/modal_driver.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <memory>

namespace parvex::test {
namespace {

using testing::ActivateAgain;
using testing::KeyTarget;
using testing::WhenModalOpens;

class KeepRulesWindowTest : public ::testing::Test {
protected:
    KeepRulesWindowTest() {
        safe = tree.Folder("safe");
        photos = tree.Folder("photos");
        // Kept by "in:" photos; by the found order among the oldest; by the protected copy.
        rows = {{"a",
                 {tree.File("work/a", "a", 3000), tree.File("photos/a", "a", 5000),
                  tree.File("work/b", "a", 1000)}},
                {"c",
                 {tree.File("work/c", "c", 9000), tree.File("work/dd/c", "c", 1000),
                  tree.File("work/e", "c", 1000)}},
                {"f",
                 {tree.File("work/f", "f", 1000), tree.File("safe/f", "f", 9000),
                  tree.File("photos/f", "f", 5000)}}};
    }

    // A window on the settings file `name`, with the test's protected folder and result.
    std::unique_ptr<TFmain> Window(const std::string& name) {
        auto window =
            std::make_unique<TFmain>(std::make_unique<TD_settings_user>(settings.Path(name)));
        window->D_settings_user->LB_protected->SetFolders({QString::fromStdString(safe)});
        window->Ocompearer1->Core().SetKeys({false, true, false, true});
        window->show();
        ReportResultTo(*window, rows);
        return window;
    }

    // Ctrl+7 in `window`, with `act` run on the dialog.
    static void MarkByRules(TFmain& window, std::function<void(QDialog&)> act) {
        ASSERT_TRUE(ActivateAgain(window));
        // Alt with a letter reaches the dialog only once it is the active window.
        WhenModalOpens([act = std::move(act)](QDialog& dialog) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog, 60000));
            act(dialog);
        });
        QTest::keyClick(&window, Qt::Key_7, Qt::ControlModifier);
    }
    static void Key(QDialog& dialog, int key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(&KeyTarget(dialog), static_cast<Qt::Key>(key), modifiers);
    }
    // Puts the keyboard focus on the dialog's part named `name`.
    static void Focus(QDialog& dialog, const char* name) {
        dialog.findChild<QWidget*>(QString::fromLatin1(name))->setFocus();
    }
    static QStringList Lines(QDialog& dialog) {
        QStringList lines;
        const auto* list = dialog.findChild<QListWidget*>(QStringLiteral("RuleList"));
        for (int i = 0; i < list->count(); ++i)
            lines << list->item(i)->text();
        return lines;
    }
    static bool OkEnabled(QDialog& dialog) {
        return dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled();
    }
    // Waits for the figures of the list in force, then presses Enter.
    static void AcceptWhenFigured(QDialog& dialog) {
        const auto* preview = dialog.findChild<QLabel*>(QStringLiteral("PreviewText"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return preview->text().startsWith("Marks "); }, 60000))
            << preview->text().toStdString();
        Key(dialog, Qt::Key_Return);
        if (dialog.isVisible()) {
            ADD_FAILURE() << "Enter left the dialog open: " << preview->text().toStdString();
            dialog.reject();
        }
    }
    static std::vector<std::string> MarkedPaths(const TFmain& window) {
        std::vector<std::string> paths;
        for (const QByteArray& path : window.ResultModel->Result().MarkedPaths())
            paths.push_back(path.toStdString());
        std::ranges::sort(paths);
        return paths;
    }
    // The files parvex-cli's dry run would move to the trash, for the saved result `document`.
    std::vector<std::string> CliActsOn(const std::string& document, const QStringList& rules) {
        QProcess cli;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           QString::fromStdString(settings.Folder("cli-config")));
        cli.setProcessEnvironment(environment);
        QStringList arguments{QStringLiteral("--from"),    QString::fromStdString(document),
                              QStringLiteral("--trash"),   QStringLiteral("--dry-run"),
                              QStringLiteral("-0"),        QStringLiteral("--protect"),
                              QString::fromStdString(safe)};
        for (const QString& rule : rules)
            arguments << QStringLiteral("--keep") << rule;
        cli.start(QStringLiteral(PARVEX_CLI_PATH), arguments);
        EXPECT_TRUE(cli.waitForFinished(60000));
        EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
        const QList<QByteArray> fields = cli.readAllStandardOutput().split('\0');
        std::vector<std::string> paths;
        for (qsizetype i = 0; i + 2 < fields.size(); i += 3)
            if (fields[i] == "trash")
                paths.push_back(fields[i + 1].toStdString());
        std::ranges::sort(paths);
        return paths;
    }

    TTempTree tree;
    TTempTree settings;
    std::string safe;
    std::string photos;
    std::vector<TGroupRows> rows;
};

TEST_F(KeepRulesWindowTest, AListBuiltByKeysIsSavedFoundAfterARestartAndMarksWhatParvexCliActsOn) {
    const std::string document = settings.Path("result.parvex.json");
    const QStringList expectedLines{QStringLiteral("in:") + QString::fromStdString(photos),
                                    QStringLiteral("oldest")};
    {
        const std::unique_ptr<TFmain> first = Window("parvex.set");
        ASSERT_TRUE(first->SaveResult(QString::fromStdString(document)));
        QStringList moved;
        MarkByRules(*first, [&](QDialog& dialog) {
            Focus(dialog, "RuleKind");
            Key(dialog, Qt::Key_End);
            Key(dialog, Qt::Key_Up); // "in:"
            Key(dialog, Qt::Key_Tab);
            QTest::keyClicks(&KeyTarget(dialog), QString::fromStdString(photos));
            Key(dialog, Qt::Key_Return);
            Focus(dialog, "RuleKind");
            Key(dialog, Qt::Key_Home);
            Key(dialog, Qt::Key_Down); // "oldest"
            Key(dialog, Qt::Key_Return);
            Focus(dialog, "RuleList"); // "oldest" current
            Key(dialog, Qt::Key_Up, Qt::ControlModifier);
            moved = Lines(dialog);
            Key(dialog, Qt::Key_Down, Qt::ControlModifier);
            Focus(dialog, "PresetName");
            QTest::keyClicks(&KeyTarget(dialog), QStringLiteral("Photos first"));

            const auto* presets = dialog.findChild<QComboBox*>(QStringLiteral("PresetBox"));
            Key(dialog, Qt::Key_Return); // saves
            EXPECT_EQ(presets->count(), 1);
            EXPECT_EQ(Lines(dialog), expectedLines) << Lines(dialog).join(" | ").toStdString();
            Focus(dialog, "RuleList");
            AcceptWhenFigured(dialog);
        });
        EXPECT_EQ(moved, (QStringList{expectedLines[1], expectedLines[0]}));
        EXPECT_EQ(MarkedPaths(*first).size(), 6u);
        // Closing the window saves its settings.
    }
    const std::unique_ptr<TFmain> second = Window("parvex.set");
    MarkByRules(*second, [&](QDialog& dialog) {
        EXPECT_EQ(dialog.findChild<QComboBox*>(QStringLiteral("PresetBox"))->currentText(),
                  QStringLiteral("Photos first"));
        EXPECT_EQ(Lines(dialog), expectedLines);
        AcceptWhenFigured(dialog);
    });
    const std::vector<std::string> cli = CliActsOn(document, expectedLines);
    EXPECT_EQ(cli.size(), 6u);
    EXPECT_EQ(MarkedPaths(*second), cli) << ::testing::PrintToString(MarkedPaths(*second))
                                         << " cli " << ::testing::PrintToString(cli);
    // Cancel changes nothing.
    MarkByRules(*second, [&](QDialog& dialog) {
        Focus(dialog, "RuleList");
        Key(dialog, Qt::Key_Delete);
        Key(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(MarkedPaths(*second), cli);
}

TEST_F(KeepRulesWindowTest, AListNamingAnUnknownRuleIsShownBlockedUntilMendedAndKeptWhenSaved) {
    {
        TVelPigger root;
        root.SetName("SETTINGS");
        TKeepPresets presets;
        ASSERT_TRUE(presets.Save("Old", {"biggest", "newest"}));
        presets.SetLastUsed("Old");
        presets.Write(root);
        root.SaveToFile(settings.Path("old.set"));
    }
    const std::unique_ptr<TFmain> window = Window("old.set");
    MarkByRules(*window, [&](QDialog& dialog) {
        const QStringList lines = Lines(dialog);
        ASSERT_EQ(lines.size(), 2);
        EXPECT_TRUE(lines[0].contains("Unknown rule") && lines[0].contains("biggest"))
            << lines[0].toStdString();
        EXPECT_FALSE(OkEnabled(dialog));
        Key(dialog, Qt::Key_Return);
        ASSERT_TRUE(dialog.isVisible()) << "Enter applied a list with an unknown rule";
        Focus(dialog, "RuleList");
        Key(dialog, Qt::Key_Home);
        Key(dialog, Qt::Key_Delete);
        EXPECT_TRUE(OkEnabled(dialog)) << Lines(dialog).join(", ").toStdString();
        AcceptWhenFigured(dialog);
    });
    EXPECT_EQ(MarkedPaths(*window).size(), 6u);
    window->ReleaseUserSettings();
    TVelPigger saved;
    saved.LoadFromFile(settings.Path("old.set"));
    const TKeepPreset* kept = TKeepPresets::Read(saved).Find("Old");
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->Rules, (std::vector<std::string>{"biggest", "newest"}));
}

} // namespace
} // namespace parvex::test
