#include "main/skipped_list.h"
#include "main/skipped_log.h"
#include "support/qt/modal_driver.h"

#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <string>

namespace parvex {
namespace {

using testing::KeyTarget;
using testing::WhenModalOpens;

QStringList Rows(const TSkippedList& list) {
    QStringList rows;
    for (int i = 0; i < list.LV_entries->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = list.LV_entries->topLevelItem(i);
        rows << row->text(0) + QStringLiteral(" | ") + row->text(1);
    }
    return rows;
}

TEST(SkippedList, ListsEachPathWithItsReason) {
    TSkippedLog log;
    log.Add("/t/closed/", "Permission denied");
    log.Add("/t/caf\xe9.bin", "Input/output error");
    TSkippedList list;
    list.Fill(log);
    EXPECT_EQ(list.windowTitle(), QStringLiteral("Not read"));
    EXPECT_EQ(Rows(list), (QStringList{QStringLiteral("/t/closed/ | Permission denied"),
                                       QFile::decodeName("/t/caf\xe9.bin") +
                                           QStringLiteral(" | Input/output error")}));
    EXPECT_EQ(list.Label_summary->text(),
              QStringLiteral("Files and folders not read by the last search: 2"));
    EXPECT_FALSE(list.LV_entries->accessibleName().isEmpty());
}

TEST(SkippedList, SaysWhenOnlyTheFirstOnesAreListed) {
    QLocale::setDefault(QLocale::c());
    TSkippedLog log;
    for (int i = 0; i < 1200; ++i)
        log.Add("/t/" + std::to_string(i), "Permission denied");
    TSkippedList list;
    list.Fill(log);
    EXPECT_EQ(list.LV_entries->topLevelItemCount(), 1000);
    EXPECT_EQ(list.Label_summary->text(),
              QStringLiteral("Files and folders not read by the last search: %1 (the first %2 are "
                             "listed)")
                  .arg(QLocale().toString(1200), QLocale().toString(1000)));
}

TEST(SkippedList, ClosesWithEscapeOrTheCloseButton) {
    TSkippedLog log;
    log.Add("/t/a", "Permission denied");
    TSkippedList list;
    for (const bool escape : {true, false}) {
        WhenModalOpens([&](QDialog& dialog) {
            if (escape)
                QTest::keyClick(&KeyTarget(dialog), Qt::Key_Escape);
            else
                QTest::mouseClick(list.CloseBtn, Qt::LeftButton);
        });
        list.ShowLog(log);
        EXPECT_FALSE(list.isVisible()) << (escape ? "Escape" : "Close");
    }
}

} // namespace
} // namespace parvex
