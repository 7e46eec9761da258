// "Share storage of marked files..." in the window, on a Btrfs mounted for this test program
// and on a file system that cannot share.
#include "_compearer/panel/ocompearer.h"
#include "dialogs/file_group_info.h"
#include "main/bulk_report.h"
#include "main/result_model.h"
#include "main/status_field.h"
#include "main_test_support.h"
#include "platform/shared_storage.h"
#include "support/kept_facts.h"
#include "support/private_mount.h"
#include "support/qt/modal_driver.h"

#include <QAction>
#include <QLocale>
#include <QTest>
#include <sys/mount.h>
#include <sys/stat.h>

namespace parvex::test {
namespace {

using testing::ActivateAgain;
using testing::KeptFactsLine;
using testing::MountFreshFileSystem;
using testing::RandomContent;

// A fresh Btrfs for the whole program, mounted in a mount namespace of the program's own before
// main starts any thread (a process with threads cannot leave its namespace): whatever becomes
// of the program, the mount ends with it.
struct TSharingMount {
    TSharingMount() {
        ::mkdir(Folder.c_str(), 0755);
        WhyNot = MountFreshFileSystem("btrfs", Folder);
    }
    ~TSharingMount() {
        if (WhyNot.empty())
            ::umount2(Folder.c_str(), MNT_DETACH);
    }
    TTempTree Tree;
    std::string Folder = Tree.Path("btrfs/");
    std::string WhyNot;
};
const TSharingMount sharingMount;

class ShareTest : public TMainWindowTest {
protected:
    ShareTest() : home(homeFolder.Root()) {
        window.Ocompearer1->Core().SetKeys({false, true, false, true});
    }
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        ASSERT_TRUE(ActivateAgain(window));
        QTest::keyClick(window.TV1, static_cast<Qt::Key>(key), modifiers);
    }
    QString Report() const {
        return window.BulkReport == nullptr
                   ? QString()
                   : window.BulkReport->Summary() + '\n' + window.BulkReport->Details();
    }
    std::string LogText() const {
        return TTempTree::ReadFile(homeFolder.Path(".local/share/parvex/actions.log"));
    }

    TTempTree homeFolder;
    TTrashHome home;
    // A file system that cannot share storage.
    TTempTree other{"/dev/shm"};
};

TEST_F(ShareTest, MarkedCopiesShareTheKeptCopysStorageStayShownAndNoLongerCountAsWasted) {
    if (!sharingMount.WhyNot.empty())
        GTEST_SKIP() << sharingMount.WhyNot;
    if (FileSystemCanShare(other.Root()))
        GTEST_SKIP() << "/dev/shm can share storage here";
    TTempTree files(sharingMount.Tree.Path("btrfs"));
    const std::string one = RandomContent(70000, 1);
    const std::string two = RandomContent(90000, 2);
    const std::vector<std::string> shared{files.File("b/one", one), files.File("c/one", one)};
    const std::string factsBefore = KeptFactsLine(shared[0]) + KeptFactsLine(shared[1]);
    ReportResult({{"one", {files.File("a/one", one), shared[0], shared[1]}},
                  {"two", {other.File("a/two", two), other.File("b/two", two)}}});
    Press(Qt::Key_4, Qt::ControlModifier); // all but the first found
    ASSERT_TRUE(window.M_Share->isEnabled()) << window.M_Share->toolTip().toStdString();
    Press(Qt::Key_F5, Qt::ShiftModifier);

    ASSERT_EQ(sure->Questions.size(), 1u) << sure->Questions[0].toStdString();
    const QString question = sure->Questions[0];
    for (const char* part : {"Let 3 marked files", "needs no undo",
                             "Skipped: 1 file on file systems that cannot share storage",
                             "The space freed may be less"})
        EXPECT_TRUE(question.contains(QLatin1String(part)))
            << part << " not in: " << question.toStdString();
    const QString report = Report();
    EXPECT_TRUE(report.contains(QStringLiteral("2 done, 1 skipped"))) << report.toStdString();
    EXPECT_TRUE(report.contains(QString::fromStdString(other.Path("b/two")) +
                                QStringLiteral(": the file system cannot share storage")))
        << report.toStdString();
    EXPECT_FALSE(report.contains(QStringLiteral("freed:"))) << report.toStdString();

    EXPECT_EQ(KeptFactsLine(shared[0]) + KeptFactsLine(shared[1]), factsBefore);
    const QStringList texts = TreeTexts();
    ASSERT_EQ(texts.size(), 7) << texts.join('\n').toStdString();
    for (const std::string& path : shared)
        EXPECT_TRUE(texts.contains(QStringLiteral("  ") + QString::fromStdString(path) +
                                   QStringLiteral("  (shares storage with the kept copy)")))
            << path << " in:\n"
            << texts.join('\n').toStdString();
    const TResultData& result = window.ResultModel->Result();
    EXPECT_EQ(result.TotalWasted(), 90000) << "only the group that could not share wastes space";
    EXPECT_EQ(result.MarkedCount(), 1u) << "the copy that could not share stays marked";
    EXPECT_TRUE(window.StatusSummary->text().contains(SizeText(90000, QLocale())))
        << window.StatusSummary->text().toStdString();
    const std::string log = LogText();
    for (const std::string& path : shared)
        EXPECT_NE(log.find("\tshare\t" + path + "\t" + files.Path("a/one") + "\n"),
                  std::string::npos)
            << log;
}

TEST_F(ShareTest, WithoutAMarkedFileOnAFileSystemThatSharesTheCommandIsDisabledAndSaysWhy) {
    if (FileSystemCanShare(other.Root()))
        GTEST_SKIP() << "/dev/shm can share storage here";
    ReportResult({{"x", {other.File("a/x", "same"), other.File("b/x", "same")}}});
    EXPECT_FALSE(window.M_Share->isEnabled()) << "nothing is marked";
    Press(Qt::Key_4, Qt::ControlModifier);
    EXPECT_FALSE(window.M_Share->isEnabled());
    EXPECT_TRUE(window.M_Share->toolTip().startsWith(
        QStringLiteral("None of the marked files is on a file system that can share")))
        << window.M_Share->toolTip().toStdString();
    Press(Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_TRUE(sure->Questions.empty());
    EXPECT_TRUE(TTempTree::Exists(other.Path("b/x")));
}

} // namespace
} // namespace parvex::test
