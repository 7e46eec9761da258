// The "Mark by rules" dialog by mouse: clicks edit the list and the saved lists, and the
// figures of the list arrive from the planner.
#include "dialogs/keep_rules_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace parvex {
namespace {

std::vector<TResultGroupFacts> TwoGroups() {
    std::vector<TResultGroupFacts> groups(2);
    for (int g = 0; g < 2; ++g) {
        for (int c = 0; c < 3; ++c) {
            TResultFileFacts file;
            file.Path = "/nowhere/" + std::string(c + 1, 'd') + "/f" + std::to_string(g);
            file.Size = 1000;
            file.ModifiedNs = c == 2 ? 5 : 1;
            groups[g].Files.push_back(file);
        }
    }
    return groups;
}

QStringList Lines(const TKeepRulesDialog& dialog) {
    QStringList lines;
    for (int i = 0; i < dialog.RuleList->count(); ++i)
        lines << dialog.RuleList->item(i)->text();
    return lines;
}

TEST(KeepRulesDialogTest, ClicksEditTheListAndTheSavedListsAndTheFiguresFollow) {
    TKeepRulesDialog dialog({}, [](std::stop_token) { return TwoGroups(); }, {});
    dialog.show();
    const auto click = [](QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); };
    // Waits for figures that start with `start` and end with `end`.
    const auto figures = [&dialog](const char* start, const char* end = "") {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                const QString text = dialog.PreviewText->text();
                return text.startsWith(QLatin1String(start)) && text.endsWith(QLatin1String(end));
            },
            60000))
            << dialog.PreviewText->text().toStdString();
    };
    EXPECT_FALSE(dialog.Buttons->button(QDialogButtonBox::Ok)->isEnabled()) << "an empty list";
    dialog.RuleKind->setCurrentIndex(1); // oldest
    click(dialog.Btn_add);
    // Oldest leaves two copies tied in each group: the found order decides.
    figures("Marks 4 files, which frees ", "stays in 0 groups.\nThe copies are alike by these "
                                           "rules, and the one found first stays, in 2 groups.");
    dialog.RuleKind->setCurrentIndex(6); // glob:
    QTest::keyClicks(dialog.RuleArgument, QStringLiteral("*/ddd/*"));
    click(dialog.Btn_add);
    click(dialog.Btn_up);
    EXPECT_EQ(Lines(dialog), (QStringList{"glob:*/ddd/*", "oldest"}));
    figures("Marks 4 files, which frees ", "stays, in 0 groups.");
    click(dialog.Btn_down);
    EXPECT_EQ(Lines(dialog), (QStringList{"oldest", "glob:*/ddd/*"}));

    QTest::keyClicks(dialog.PresetName, QStringLiteral("mine"));
    click(dialog.Btn_save);
    dialog.PresetName->setText(QStringLiteral("ours"));
    click(dialog.Btn_rename);
    EXPECT_EQ(dialog.PresetBox->currentText(), QStringLiteral("ours"));
    click(dialog.Btn_remove);
    EXPECT_EQ(Lines(dialog), QStringList{"oldest"});
    dialog.ChoosePreset(0);
    EXPECT_EQ(Lines(dialog), (QStringList{"oldest", "glob:*/ddd/*"})) << "the saved list again";
    click(dialog.Btn_delete);
    EXPECT_TRUE(dialog.Presets().All().empty());

    figures("Marks 4 files");
    click(dialog.Buttons->button(QDialogButtonBox::Ok));
    ASSERT_NE(dialog.Marks(), nullptr);
    EXPECT_EQ(*dialog.Marks(), (std::vector<bool>{false, true, true, false, true, true}));
}

} // namespace
} // namespace parvex
