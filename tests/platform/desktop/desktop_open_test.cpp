#include "platform/desktop/desktop_open.h"

#include <QDesktopServices>
#include <QObject>
#include <QUrl>
#include <gtest/gtest.h>

namespace parvex {
namespace {

/// Stands in for the desktop's opener and records the addresses it is handed.
class TUrlRecorder : public QObject {
    Q_OBJECT
public:
    std::vector<QByteArray> Opened;
public Q_SLOTS:
    void Open(const QUrl& url) { Opened.push_back(url.toEncoded()); }
};

class DesktopOpenTest : public ::testing::Test {
protected:
    DesktopOpenTest() {
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "Open");
    }
    ~DesktopOpenTest() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    TUrlRecorder recorder;
};

TEST_F(DesktopOpenTest, HandsTheDesktopTheFileAddressOfTheExactBytes) {
    EXPECT_TRUE(OpenWithDesktop("/tmp/a b/Über.txt"));
    EXPECT_TRUE(OpenWithDesktop("/tmp/bad-\xff-name.txt"));
    EXPECT_FALSE(OpenWithDesktop(QByteArray()));
    EXPECT_EQ(recorder.Opened, (std::vector<QByteArray>{"file:///tmp/a%20b/%C3%9Cber.txt",
                                                        "file:///tmp/bad-%FF-name.txt"}));
    EXPECT_EQ(QUrl::fromEncoded(recorder.Opened[0]).toLocalFile(),
              QStringLiteral("/tmp/a b/Über.txt"));
}

} // namespace
} // namespace parvex

#include "desktop_open_test.moc"
