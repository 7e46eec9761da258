// An installation into a fresh prefix: the files land where desktops look for them, and the
// installed program finds its help and keeps its settings per user.
#include "dialogs/help_topic.h"
#include "support/qt/root_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>
#include <unistd.h>

namespace parvex {
namespace {

const QStringList HelpPages = {"index.html", "start_dir.html", "keys.html", "file_mask.html"};

class InstalledTree : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Temp = new testing::TTempTree;
        // The unprivileged run below must be able to reach the prefix.
        QFile::setPermissions(testing::RootFolder(*Temp),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                  QFileDevice::ExeOther | QFileDevice::ReadGroup |
                                  QFileDevice::ExeGroup);
        Prefix = testing::RootFolder(*Temp) + QStringLiteral("/prefix");
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(PARVEX_CMAKE_COMMAND),
                      {QStringLiteral("--install"), QStringLiteral(PARVEX_BINARY_DIR),
                       QStringLiteral("--prefix"), Prefix});
        install.waitForFinished(60000);
        InstallLog = QString::fromLocal8Bit(install.readAll());
        InstallOk = install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0;
    }
    static void TearDownTestSuite() { delete Temp; }

    void SetUp() override { ASSERT_TRUE(InstallOk) << InstallLog.toStdString(); }

    static QString Installed(const QString& relative) {
        return Prefix + QLatin1Char('/') + relative;
    }

    static inline testing::TTempTree* Temp = nullptr;
    static inline QString Prefix;
    static inline QString InstallLog;
    static inline bool InstallOk = false;
};

TEST_F(InstalledTree, PutsEveryFileInItsUsualPlace) {
    for (const char* program : {"bin/parvex", "bin/parvex-cli"}) {
        const QFileInfo info(Installed(QLatin1String(program)));
        EXPECT_TRUE(info.isFile() && info.isExecutable()) << program;
    }
    QStringList files = {"share/doc/parvex/parvex.css", "share/applications/parvex.desktop",
                         "share/icons/hicolor/256x256/apps/parvex.png",
                         "share/icons/hicolor/48x48/apps/parvex.png",
                         "share/icons/hicolor/scalable/apps/parvex.svg"};
    for (const QString& page : HelpPages)
        files << QStringLiteral("share/doc/parvex/") + page;
    for (const QString& file : files)
        EXPECT_TRUE(QFileInfo(Installed(file)).isFile()) << file.toStdString();
}

TEST_F(InstalledTree, DesktopEntryStartsTheProgramWithItsIcon) {
    QFile entry(Installed(QStringLiteral("share/applications/parvex.desktop")));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(entry.readAll()).split(QLatin1Char('\n'));
    EXPECT_EQ(lines.value(0), QStringLiteral("[Desktop Entry]"));
    for (const char* line : {"Type=Application", "Name=Parvex", "Exec=parvex", "Icon=parvex"})
        EXPECT_TRUE(lines.contains(QLatin1String(line))) << line;
}

TEST_F(InstalledTree, HelpPagesLinkOnlyToPagesThatAreThere) {
    const QRegularExpression reference(QStringLiteral("(?:href|src)=\"([^\"#:]+)\""));
    for (const QString& page : HelpPages) {
        QFile file(Installed(QStringLiteral("share/doc/parvex/") + page));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << page.toStdString();
        const QString html = QString::fromUtf8(file.readAll());
        for (const auto& match : reference.globalMatch(html)) {
            const QString target = match.captured(1);
            EXPECT_TRUE(QFileInfo(QFileInfo(file).dir(), target).isFile())
                << page.toStdString() << " links to missing " << target.toStdString();
        }
    }
}

TEST_F(InstalledTree, TheInstalledProgramFindsItsHelpFromAnyWorkingFolder) {
    const QString elsewhere = testing::RootFolder(*Temp) + QStringLiteral("/work/somewhere");
    QDir().mkpath(elsewhere);
    const QString docs = LocateDocs(elsewhere, InstalledDocsDir(Installed(QStringLiteral("bin"))));
    EXPECT_EQ(docs, Installed(QStringLiteral("share/doc/parvex")));
    EXPECT_TRUE(QFileInfo(HelpTopicPath(docs, QStringLiteral("index"))).isFile());
}

TEST_F(InstalledTree, AnUnprivilegedUserKeepsSettingsInTheConfigFolder) {
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (geteuid() != 0 || setpriv.isEmpty())
        GTEST_SKIP() << "needs root and setpriv to run the program as another user";
    const QString home = testing::RootFolder(*Temp) + QStringLiteral("/home");
    const QString config = home + QStringLiteral("/.config");
    QDir().mkpath(config);
    ASSERT_EQ(chown(home.toLocal8Bit().constData(), 65534, 65534), 0);
    ASSERT_EQ(chown(config.toLocal8Bit().constData(), 65534, 65534), 0);

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(home);
    program.start(setpriv,
                  {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                   QStringLiteral("--clear-groups"), Installed(QStringLiteral("bin/parvex"))});
    ASSERT_TRUE(program.waitForStarted(5000));

    // The settings are written at start when there are none yet.
    const QString perUser = config + QStringLiteral("/parvex/parvex.set");
    const bool written = QTest::qWaitFor([&] { return QFileInfo::exists(perUser); }, 10000);
    const bool stillRunning = program.state() == QProcess::Running;
    program.kill();
    program.waitForFinished(5000);

    EXPECT_TRUE(stillRunning) << program.readAllStandardError().toStdString();
    EXPECT_TRUE(written) << "no settings file at " << perUser.toStdString();
    EXPECT_FALSE(QFileInfo::exists(Installed(QStringLiteral("bin/parvex.set"))))
        << "nothing is written beside an installed program";
}

} // namespace
} // namespace parvex
