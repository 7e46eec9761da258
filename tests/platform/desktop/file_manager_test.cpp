// Showing a file in the file manager over D-Bus, against a session bus of the test's own (a
// dbus-daemon with its own configuration) and a file manager service of its own that records
// what it is asked to show.
#include "platform/desktop/file_manager.h"
#include "support/qt/private_bus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>

namespace parvex {
namespace {

using testing::TPrivateBus;

/// The file manager's ShowItems method: records the addresses it is asked to show; a silent
/// one never answers.
class TShowItemsRecorder : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    bool Silent = false;
    std::vector<QStringList> Shown;
public Q_SLOTS:
    void ShowItems(const QStringList& uris, const QString& startupId) {
        Q_UNUSED(startupId);
        Shown.push_back(uris);
        if (Silent)
            setDelayedReply(true);
    }
};

class FileManagerTest : public ::testing::Test {
protected:
    FileManagerTest() {
        client = bus.Connect(QStringLiteral("client"));
        service = bus.Connect(QStringLiteral("file manager"));
    }
    // Registers the recorder as the file manager on the bus.
    void StartFileManager() {
        ASSERT_TRUE(service.registerObject(QStringLiteral("/org/freedesktop/FileManager1"),
                                           &recorder, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.FileManager1")))
            << service.lastError().message().toStdString();
    }
    // Asks to show `path` on `connection` and waits until the call is over: answered, failed
    // or given up, when its watcher, a child of the context, is gone. The wait's limit only
    // guards against a hang.
    void Show(const QDBusConnection& connection, const QByteArray& path,
              int answerMs = kFileManagerAnswerMs) {
        ShowInFileManager(
            connection, path, &context, [this] { ++fallbacks; }, answerMs);
        EXPECT_TRUE(QTest::qWaitFor([this] { return context.children().isEmpty(); }, 60000))
            << "the call to ShowItems never ended";
    }

    TPrivateBus bus;
    QDBusConnection client{QString()};
    QDBusConnection service{QString()};
    TShowItemsRecorder recorder;
    QObject context;
    int fallbacks = 0;
};

TEST_F(FileManagerTest, TheFileManagerIsHandedTheAddressOfTheExactBytes) {
    ASSERT_FALSE(bus.Address().isEmpty()) << "dbus-daemon did not start";
    StartFileManager();
    const struct {
        QByteArray path;
        QString uri;
    } cases[] = {
        {"/home/ana/a.txt", QStringLiteral("file:///home/ana/a.txt")},
        {"/tmp/a b/Über.txt", QStringLiteral("file:///tmp/a%20b/%C3%9Cber.txt")},
        {"/tmp/bad-\xff-name.txt", QStringLiteral("file:///tmp/bad-%FF-name.txt")},
        {"/tmp/50%#1?.txt", QStringLiteral("file:///tmp/50%25%231%3F.txt")},
    };
    std::vector<QStringList> expected;
    for (const auto& c : cases) {
        Show(client, c.path);
        expected.push_back({c.uri});
    }
    EXPECT_EQ(recorder.Shown, expected);
    EXPECT_EQ(fallbacks, 0) << "the folder opened although the file manager answered";
}

TEST_F(FileManagerTest, TheFolderOpensInsteadWhenNoFileManagerAnswers) {
    ASSERT_FALSE(bus.Address().isEmpty()) << "dbus-daemon did not start";
    Show(client, "/tmp/a.txt");
    EXPECT_EQ(fallbacks, 1) << "no file manager on the bus";

    StartFileManager();
    recorder.Silent = true;
    Show(client, "/tmp/a.txt", 50);
    EXPECT_EQ(recorder.Shown.size(), 1u);
    EXPECT_EQ(fallbacks, 2) << "a file manager that does not answer";

    const QDBusConnection nowhere = QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent"), QStringLiteral("x"));
    Show(nowhere, "/tmp/a.txt");
    EXPECT_EQ(fallbacks, 3) << "no bus";
    QDBusConnection::disconnectFromBus(QStringLiteral("x"));
}

} // namespace
} // namespace parvex

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "file_manager_test.moc"
