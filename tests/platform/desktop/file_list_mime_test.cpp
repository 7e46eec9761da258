#include "platform/desktop/file_list_mime.h"

#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>

namespace parvex {
namespace {

TEST(FileListMimeData, CarriesTheAddressesOfTheExactBytesAndThePathsAsText) {
    const std::unique_ptr<QMimeData> data =
        FileListMimeData({"/tmp/a b/Über.txt", "/tmp/bad-\xff-name.txt"});
    EXPECT_EQ(data->data(QStringLiteral("text/uri-list")),
              "file:///tmp/a%20b/%C3%9Cber.txt\r\nfile:///tmp/bad-%FF-name.txt\r\n");
    EXPECT_EQ(data->text(), QStringLiteral("/tmp/a b/Über.txt\n") +
                                QString::fromLocal8Bit("/tmp/bad-\xff-name.txt"));
}

} // namespace
} // namespace parvex
