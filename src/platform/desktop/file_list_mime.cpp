#include "platform/desktop/file_list_mime.h"

#include "platform/desktop/desktop_path.h"

#include <QFile>
#include <QList>
#include <QMimeData>
#include <QStringList>
#include <QUrl>

namespace parvex {

std::unique_ptr<QMimeData> FileListMimeData(const std::vector<QByteArray>& paths) {
    QList<QUrl> urls;
    QStringList texts;
    for (const QByteArray& path : paths) {
        urls << FileUrlOfExactPath(path);
        texts << QFile::decodeName(path);
    }
    auto data = std::make_unique<QMimeData>();
    data->setUrls(urls);
    data->setText(texts.join(QLatin1Char('\n')));
    return data;
}

} // namespace parvex
