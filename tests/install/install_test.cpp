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

const QStringList HelpPages = {"index.html",
                               "start_dir.html",
                               "result_view.html",
                               "marks.html",
                               "undo.html",
                               "keys.html",
                               "file_mask.html",
                               "result_file.html",
                               "parvex-result.schema.json",
                               "parvex-result.example.json",
                               "parvex-actions.schema.json"};
const QString HelpFolder = QStringLiteral("share/parvex/help/");

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

    // An environment for the installed program with its own home and no inherited config folder.
    static QProcessEnvironment ProgramEnvironment(const QString& home) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home);
        environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return environment;
    }

    // Starts the program and waits until it has written its settings file at start (it does
    // when there is none yet); whether it got there while still running, then ends it.
    static void ExpectSettingsWrittenAtStart(QProcess& program, const QString& executable,
                                             const QStringList& arguments,
                                             const QString& settingsFile) {
        program.start(executable, arguments);
        ASSERT_TRUE(program.waitForStarted(5000));
        const bool written =
            QTest::qWaitFor([&] { return QFileInfo::exists(settingsFile); }, 20000);
        const bool stillRunning = program.state() == QProcess::Running;
        program.kill();
        program.waitForFinished(5000);
        EXPECT_TRUE(stillRunning) << program.readAllStandardError().toStdString();
        EXPECT_TRUE(written) << "no settings file at " << settingsFile.toStdString();
        EXPECT_FALSE(QFileInfo::exists(Installed(QStringLiteral("bin/parvex.set"))))
            << "nothing is written beside an installed program";
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
    QStringList files = {"share/parvex/help/parvex.css",
                         "share/applications/org.parvex.Parvex.desktop",
                         "share/mime/packages/org.parvex.Parvex.xml",
                         "share/bash-completion/completions/parvex",
                         "share/bash-completion/completions/parvex-cli",
                         "share/metainfo/org.parvex.Parvex.metainfo.xml",
                         "share/icons/hicolor/256x256/apps/parvex.png",
                         "share/icons/hicolor/48x48/apps/parvex.png",
                         "share/icons/hicolor/scalable/apps/parvex.svg",
                         "share/man/man1/parvex.1.gz",
                         "share/man/man1/parvex-cli.1.gz",
                         "share/doc/parvex/copyright",
                         "share/doc/parvex/changelog.Debian.gz"};
    for (const QString& page : HelpPages)
        files << HelpFolder + page;
    for (const QString& file : files)
        EXPECT_TRUE(QFileInfo(Installed(file)).isFile()) << file.toStdString();
}

TEST_F(InstalledTree, HelpIsProgramDataNotDocumentation) {
    for (const QString& page : HelpPages)
        EXPECT_FALSE(QFileInfo::exists(Installed(QStringLiteral("share/doc/parvex/") + page)))
            << page.toStdString();
}

TEST_F(InstalledTree, TheCopyrightFileCarriesTheLicence) {
    QFile copyright(Installed(QStringLiteral("share/doc/parvex/copyright")));
    ASSERT_TRUE(copyright.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(copyright.readAll());
    for (const char* expected :
         {"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n",
          "Copyright: 2026 The Parvex developers\n", "License: Expat\n",
          "\n Permission is hereby granted, free of charge,", "\n .\n THE SOFTWARE IS PROVIDED"})
        EXPECT_TRUE(text.contains(QLatin1String(expected))) << expected << " in:\n"
                                                            << text.toStdString();
}

TEST_F(InstalledTree, DesktopEntryStartsTheProgramWithItsIconAndResultDocuments) {
    QFile entry(Installed(QStringLiteral("share/applications/org.parvex.Parvex.desktop")));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(entry.readAll()).split(QLatin1Char('\n'));
    EXPECT_EQ(lines.value(0), QStringLiteral("[Desktop Entry]"));
    for (const char* line : {"Type=Application", "Name=Parvex", "Exec=parvex %f", "Icon=parvex",
                             "MimeType=application/vnd.parvex.result+json;"})
        EXPECT_TRUE(lines.contains(QLatin1String(line))) << line;
}

TEST_F(InstalledTree, HelpPagesLinkOnlyToPagesThatAreThere) {
    const QRegularExpression reference(QStringLiteral("(?:href|src)=\"([^\"#:]+)\""));
    for (const QString& page : HelpPages) {
        QFile file(Installed(HelpFolder + page));
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
    EXPECT_EQ(docs, Installed(QStringLiteral("share/parvex/help")));
    EXPECT_TRUE(QFileInfo(HelpTopicPath(docs, QStringLiteral("index"))).isFile());
}

TEST_F(InstalledTree, TheInstalledProgramSaysItsHelpAndPerUserSettingsWithoutADisplay) {
    // A docs folder beside the working folder loses against the installed pages.
    const QString work = testing::RootFolder(*Temp) + QStringLiteral("/project/work");
    const QString home = testing::RootFolder(*Temp) + QStringLiteral("/asking-home");
    QDir().mkpath(work);
    QDir().mkpath(home);
    QFile foreign(testing::RootFolder(*Temp) + QStringLiteral("/project/docs/index.html"));
    QDir().mkpath(QFileInfo(foreign).path());
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));

    QProcess program;
    QProcessEnvironment environment = ProgramEnvironment(home);
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(work);
    program.start(Installed(QStringLiteral("bin/parvex")), {QStringLiteral("--help")});
    ASSERT_TRUE(program.waitForFinished(20000));
    const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("settings    ") + home +
                             QStringLiteral("/.config/parvex/parvex.set\n")))
        << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("help pages  ") +
                             Installed(QStringLiteral("share/parvex/help\n"))))
        << out.toStdString();
    EXPECT_FALSE(QFileInfo::exists(home + QStringLiteral("/.config"))) << "asking creates nothing";
}

TEST_F(InstalledTree, TheInstallingUserKeepsSettingsInTheConfigFolderThoughBinIsWritable) {
    // Whoever installed the tree (root, in a package build) can write its bin folder; the
    // installed program still never writes there.
    const QString home = testing::RootFolder(*Temp) + QStringLiteral("/installer-home");
    QDir().mkpath(home);
    QProcess program;
    program.setProcessEnvironment(ProgramEnvironment(home));
    program.setWorkingDirectory(home);
    ExpectSettingsWrittenAtStart(program, Installed(QStringLiteral("bin/parvex")), {},
                                 home + QStringLiteral("/.config/parvex/parvex.set"));
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
    QProcessEnvironment environment = ProgramEnvironment(home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(home);
    ExpectSettingsWrittenAtStart(program, setpriv,
                                 {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                  QStringLiteral("--clear-groups"),
                                  Installed(QStringLiteral("bin/parvex"))},
                                 config + QStringLiteral("/parvex/parvex.set"));
}

} // namespace
} // namespace parvex
