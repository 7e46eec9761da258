#include "dialogs/help_topic.h"
#include "support/qt/root_folder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <stdexcept>

namespace parvex {
namespace {

TEST(HelpTopicPath, JoinsFolderTopicAndExtensionWithoutBlanks) {
    struct Case {
        const char* docs;
        const char* topic;
        const char* path;
    };
    for (const Case& c : {Case{"/opt/docs", "index", "/opt/docs/index.html"},
                          Case{"/opt/docs", "  keys \t", "/opt/docs/keys.html"},
                          Case{"/opt/docs", "file_mask", "/opt/docs/file_mask.html"}}) {
        EXPECT_EQ(HelpTopicPath(QLatin1String(c.docs), QLatin1String(c.topic)),
                  QLatin1String(c.path))
            << "topic '" << c.topic << "'";
    }
}

TEST(ShowHelpTopic, HandsTheDesktopAFileUrlAndSwallowsErrors) {
    testing::TTempTree tree;
    tree.File("parvex docs/start_dir.html", "<html></html>");
    const QString docs = QString::fromStdString(tree.Path("parvex docs"));
    std::vector<QUrl> opened;
    EXPECT_TRUE(ShowHelpTopic(docs, QStringLiteral(" start_dir "),
                              [&](const QUrl& url) { opened.push_back(url); }));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toLocalFile(), docs + QStringLiteral("/start_dir.html"));

    EXPECT_NO_THROW(ShowHelpTopic(docs, QStringLiteral("start_dir"),
                                  [](const QUrl&) { throw std::runtime_error("no browser"); }));
    EXPECT_NO_THROW(ShowHelpTopic(docs, QStringLiteral("start_dir"), {}));
}

// A help command that finds no page says where it looked (the design says nothing at all).
TEST(ShowHelpTopic, AMissingPageOpensNothingAndTheTextNamesWhereItLooked) {
    std::vector<QUrl> opened;
    EXPECT_FALSE(ShowHelpTopic(QStringLiteral("/nowhere"), QStringLiteral("index"),
                               [&](const QUrl& url) { opened.push_back(url); }));
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(
        HelpNotFoundText(QStringLiteral("/nowhere"), QStringLiteral("index")),
        QStringLiteral("No help page was found. Parvex looked for:\n\"/nowhere/index.html\""));
}

TEST(InstalledDocsDir, IsTheSharedHelpOfAnInstalledProgramOnly) {
    testing::TTempTree tree;
    const QString temp = testing::RootFolder(tree);
    const QString bin = temp + QStringLiteral("/opt/parvex/bin");
    QDir().mkpath(bin);
    EXPECT_EQ(InstalledDocsDir(bin), QString()) << "no help installed yet";
    const QString help = temp + QStringLiteral("/opt/parvex/share/parvex/help");
    QDir().mkpath(help);
    QFile index(help + QStringLiteral("/index.html"));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    EXPECT_EQ(InstalledDocsDir(bin), help);
    EXPECT_EQ(InstalledDocsDir(temp + QStringLiteral("/opt/parvex/share")), QString())
        << "a program outside bin is not installed";
}

class LocateDocsTest : public ::testing::Test {
protected:
    testing::TTempTree tree_;
    const QString temp_ = testing::RootFolder(tree_);
    QString Start, Beside, Installed;

    void SetUp() override {
        Start = temp_ + QStringLiteral("/run/bin");
        Beside = temp_ + QStringLiteral("/run/docs");
        Installed = temp_ + QStringLiteral("/usr/share/parvex/help");
        QDir().mkpath(Start);
    }
    static void AddIndex(const QString& folder) {
        QDir().mkpath(folder);
        QFile index(folder + QStringLiteral("/index.html"));
        ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    }
};

TEST_F(LocateDocsTest, AnInstalledProgramPrefersItsInstalledHelp) {
    AddIndex(Beside);
    AddIndex(Installed);
    EXPECT_EQ(LocateDocs(Start, Installed), Installed);
}

TEST_F(LocateDocsTest, AProgramThatIsNotInstalledReadsTheDocsBesideTheStartFolder) {
    AddIndex(Beside);
    EXPECT_EQ(LocateDocs(Start, QString()), Beside);
}

TEST_F(LocateDocsTest, InstalledHelpWithoutAnIndexGivesWayToTheDocsBeside) {
    QDir().mkpath(Installed);
    QDir().mkpath(Beside);
    EXPECT_EQ(LocateDocs(Start, Installed), Beside);
}

TEST_F(LocateDocsTest, WithoutAnyIndexKeepsTheDesignedAnswer) {
    EXPECT_EQ(LocateDocs(Start, Installed), Start) << "no docs folder at all";
    QDir().mkpath(Beside);
    EXPECT_EQ(LocateDocs(Start, Installed), Beside) << "an empty docs folder beside";
}

TEST_F(LocateDocsTest, AnotherWorkingFolderLooksBesideItself) {
    const QString other = temp_ + QStringLiteral("/elsewhere/work");
    AddIndex(temp_ + QStringLiteral("/elsewhere/docs"));
    AddIndex(Beside);
    QDir().mkpath(other);
    EXPECT_EQ(LocateDocs(other, Installed), temp_ + QStringLiteral("/elsewhere/docs"));
}

} // namespace
} // namespace parvex
