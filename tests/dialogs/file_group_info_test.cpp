#include "dialogs/file_group_info.h"
#include "support/folder_watch.h"
#include "support/qt/modal_driver.h"
#include "support/temp_tree.h"

#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QStandardItemModel>
#include <QTest>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {
namespace {

using testing::KeyTarget;
using testing::WhenModalOpens;

// A temporary folder that other users may enter, with helpers that create files by raw name.
class GroupFolder {
public:
    GroupFolder() { ::chmod(tree_.Root().c_str(), 0755); }

    QByteArray Path(const QByteArray& name) const {
        return QByteArray::fromStdString(tree_.Path(name.toStdString()));
    }

    QByteArray File(const QByteArray& name, std::size_t size, mode_t mode = 0644) {
        const QByteArray path =
            QByteArray::fromStdString(tree_.File(name.toStdString(), std::string(size, 'x')));
        ::chmod(path.constData(), mode);
        return path;
    }

private:
    testing::TTempTree tree_;
};

// A group row with one file row per path, each holding its exact path bytes in Qt::UserRole
// the way the result tree's rows hold them.
class TGroupRows : public QStandardItemModel {
public:
    explicit TGroupRows(const std::vector<QByteArray>& paths) {
        auto* group = new QStandardItem(QStringLiteral("a.txt"));
        for (const QByteArray& path : paths) {
            auto* file = new QStandardItem(QFile::decodeName(path));
            file->setData(path, Qt::UserRole);
            group->appendRow(file);
        }
        appendRow(group);
    }
    QModelIndex Row() const { return index(0, 0); }
};

std::unique_ptr<TGroupRows> Group(const std::vector<QByteArray>& paths) {
    return std::make_unique<TGroupRows>(paths);
}

TEST(GroupSizeText, FollowsTheUnitTable) {
    struct Case {
        std::int64_t bytes;
        const char* c;
        const char* german;
    };
    const std::vector<Case> cases = {
        {0, "0 bytes", "0 bytes"},
        {999, "999 bytes", "999 bytes"},
        {1000, "1000 bytes", "1000 bytes"},
        {1001, "1.001 Kb", "1,001 Kb"},
        {1200, "1.200 Kb", "1,200 Kb"},
        {999999, "999.999 Kb", "999,999 Kb"},
        {1000000, "1000.000 Kb", "1000,000 Kb"},
        {1000001, "1.000 Mb", "1,000 Mb"},
        {1234567, "1.235 Mb", "1,235 Mb"},
        {2147483648LL, "2147.484 Mb", "2147,484 Mb"},
        {5000000000000LL, "5000000.000 Mb", "5000000,000 Mb"},
    };
    const QLocale german(QLocale::German, QLocale::Germany);
    const QLocale american(QLocale::English, QLocale::UnitedStates);
    for (const Case& c : cases) {
        EXPECT_EQ(GroupSizeText(c.bytes, QLocale::c()), QString::fromLatin1(c.c)) << c.bytes;
        EXPECT_EQ(GroupSizeText(c.bytes, american), QString::fromLatin1(c.c)) << c.bytes;
        EXPECT_EQ(GroupSizeText(c.bytes, german), QString::fromLatin1(c.german)) << c.bytes;
    }
}

TEST(SizeText, IsTheGroupTextUpToAThousandMegabytesThenGigabytes) {
    const QLocale german(QLocale::German, QLocale::Germany);
    for (const std::int64_t bytes : {0LL, 1000LL, 1001LL, 1000000LL, 1000000000LL})
        EXPECT_EQ(SizeText(bytes, german), GroupSizeText(bytes, german)) << bytes;
    EXPECT_EQ(SizeText(1000000001LL, QLocale::c()), QStringLiteral("1.000 Gb"));
    EXPECT_EQ(SizeText(1234567890123LL, german), QStringLiteral("1234,568 Gb"));
}

TEST(SumGroupSizes, AddsTheFilesOnDisk) {
    GroupFolder folder;
    TD_file_group_info info;
    const auto group = Group({folder.File("one", 600), folder.File("two", 600)});
    info.GroupNode = group->Row();
    info.SumGroupSizes();
    EXPECT_EQ(info.TotalSize, 1200);
}

TEST(SumGroupSizes, VanishedFilesAndWhatIsNoLongerARegularFileAddNothing) {
    GroupFolder folder;
    const QByteArray fifo = folder.Path("fifo");
    ASSERT_EQ(::mkfifo(fifo.constData(), 0666), 0);
    const QByteArray link = folder.Path("link");
    ASSERT_EQ(::symlink(folder.File("target", 50).constData(), link.constData()), 0);
    ASSERT_EQ(::mkdir(folder.Path("dir").constData(), 0755), 0);

    TD_file_group_info info;
    const auto group =
        Group({folder.Path("gone"), fifo, link, folder.Path("dir"), folder.File("kept", 7)});
    info.GroupNode = group->Row();
    info.SumGroupSizes();
    EXPECT_EQ(info.TotalSize, 7);
}

TEST(SumGroupSizes, ReachesANameThatIsNotUtf8ThroughItsBytes) {
    GroupFolder folder;
    TD_file_group_info info;
    const auto group = Group({folder.File("caf\xe9\xff.txt", 321)});
    info.GroupNode = group->Row();
    info.SumGroupSizes();
    EXPECT_EQ(info.TotalSize, 321);
}

TEST(SumGroupSizes, SizesBeyondTwoGigabytesAreCountedInFull) {
    GroupFolder folder;
    const QByteArray big = folder.File("sparse", 0);
    ASSERT_EQ(::truncate(big.constData(), 3000000000LL), 0) << "sparse file";
    TD_file_group_info info;
    const auto group = Group({big, big});
    info.GroupNode = group->Row();
    info.SumGroupSizes();
    EXPECT_EQ(info.TotalSize, 6000000000LL);
    EXPECT_EQ(GroupSizeText(info.TotalSize, QLocale::c()), QStringLiteral("6000.000 Mb"));
}

// A read-only file takes disk space like any other. Root may write anything, so the mode alone
// proves nothing: the folder is watched for any opening of its files.
TEST(SumGroupSizes, AReadOnlyFileCountsItsSizeAndNoFileIsOpened) {
    GroupFolder folder;
    const auto group =
        Group({folder.File("writable", 600, 0666), folder.File("readonly", 600, 0444)});
    const testing::TFolderWatch watch(folder.Path("").toStdString());
    TD_file_group_info info;
    info.GroupNode = group->Row();
    info.SumGroupSizes();
    EXPECT_EQ(info.TotalSize, 1200);
    EXPECT_FALSE(watch.SawAccess()) << "a file of the group was opened";
}

struct ShownInfo {
    QString files;
    QString size;
};

ShownInfo ShowAndClose(TD_file_group_info& info, const QModelIndex& group) {
    ShownInfo shown;
    WhenModalOpens([&](QDialog& d) {
        shown = {info.Label_files_number->text(), info.Label_used_size->text()};
        QTest::keyClick(&KeyTarget(d), Qt::Key_Return);
    });
    info.ShowGroupInfo(group);
    return shown;
}

TEST(ShowGroupInfo, ShowsCountAndSpaceAndClosesOnEnter) {
    QLocale::setDefault(QLocale::c());
    GroupFolder folder;
    TD_file_group_info info;
    const auto two = Group({folder.File("one", 600), folder.File("two", 600)});
    const ShownInfo shown = ShowAndClose(info, two->Row());
    EXPECT_EQ(shown.files, QStringLiteral("2"));
    EXPECT_EQ(shown.size, QStringLiteral("1.200 Kb"));
    EXPECT_EQ(QModelIndex(info.GroupNode), two->Row());
    EXPECT_EQ(info.FileCount, 2);
    EXPECT_FALSE(info.isVisible());
    EXPECT_EQ(info.windowTitle(), QStringLiteral("File group info"));
    EXPECT_TRUE(info.Label_used_size->font().bold());
    EXPECT_EQ(info.Label1->text(), QStringLiteral("Files in group:"));
    EXPECT_EQ(info.Label2->text(), QStringLiteral("Used disk space:"));
}

TEST(ShowGroupInfo, UsesTheLocaleDecimalSeparator) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    GroupFolder folder;
    TD_file_group_info info;
    const auto two = Group({folder.File("one", 600), folder.File("two", 600)});
    EXPECT_EQ(ShowAndClose(info, two->Row()).size, QStringLiteral("1,200 Kb"));
    QLocale::setDefault(QLocale::c());
}

TEST(ShowGroupInfo, GroupsWithoutFilesOnDisk) {
    GroupFolder folder;
    TD_file_group_info info;
    const auto vanished = Group({folder.Path("gone1"), folder.Path("gone2")});
    const ShownInfo missing = ShowAndClose(info, vanished->Row());
    EXPECT_EQ(missing.files, QStringLiteral("2")) << "vanished files still count";
    EXPECT_EQ(missing.size, QStringLiteral("0 bytes"));

    const auto empty = Group({});
    const ShownInfo none = ShowAndClose(info, empty->Row());
    EXPECT_EQ(none.files, QStringLiteral("0"));
    EXPECT_EQ(none.size, QStringLiteral("0 bytes"));
}

TEST(ShowGroupInfo, NoGroupShowsNothing) {
    TD_file_group_info info;
    info.ShowGroupInfo(QModelIndex());
    EXPECT_FALSE(info.GroupNode.isValid());
    EXPECT_FALSE(info.isVisible());
}

} // namespace
} // namespace parvex
