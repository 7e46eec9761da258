#include "main/found_file.h"

#include "_compearer/compearer_core.h"
#include "platform/file_times.h"

#include <QByteArray>
#include <QTreeWidgetItem>
#include <array>
#include <cstring>
#include <sys/stat.h>

namespace parvex {
namespace {

// The facts ride on the node as four numbers in one byte array, beside the path's bytes.
constexpr int kFactsRole = Qt::UserRole + 1;
using TPacked = std::array<std::int64_t, 4>;

QByteArray PathOf(const QTreeWidgetItem& node) {
    return node.data(0, Qt::UserRole).toByteArray();
}

} // namespace

std::optional<TFoundFile> FoundFileOnDisk(const std::string& path) {
    struct stat facts {};
    if (::lstat(path.c_str(), &facts) != 0 || !S_ISREG(facts.st_mode))
        return std::nullopt;
    return TFoundFile{FileIdOf(facts), static_cast<std::int64_t>(facts.st_size),
                      FileTimeCode(facts.st_mtime)};
}

std::optional<TFoundFile> ReportedFile(const TCompearerCore& core, const std::string& path) {
    const std::size_t row = core.ReportedRow();
    if (row == TCompearerCore::NoRow || row >= core.FileIds.size())
        return FoundFileOnDisk(path);
    return TFoundFile{core.FileIds[row], core.FileSizes[row], core.FileTimes[row]};
}

void KeepFoundFile(QTreeWidgetItem& node, const std::optional<TFoundFile>& facts) {
    if (!facts) {
        node.setData(0, kFactsRole, QVariant());
        return;
    }
    const TPacked packed = {static_cast<std::int64_t>(facts->Id.Device),
                            static_cast<std::int64_t>(facts->Id.Inode), facts->Size,
                            facts->TimeCode};
    node.setData(0, kFactsRole,
                 QByteArray(reinterpret_cast<const char*>(packed.data()), sizeof packed));
}

std::optional<TFoundFile> FoundFileOf(const QTreeWidgetItem& node) {
    const QByteArray bytes = node.data(0, kFactsRole).toByteArray();
    TPacked packed{};
    if (bytes.size() != static_cast<qsizetype>(sizeof packed))
        return std::nullopt;
    std::memcpy(packed.data(), bytes.constData(), sizeof packed);
    return TFoundFile{
        {static_cast<std::uint64_t>(packed[0]), static_cast<std::uint64_t>(packed[1])},
        packed[2],
        packed[3]};
}

bool IsLastCopy(const QTreeWidgetItem& node) {
    const QTreeWidgetItem* group = node.parent();
    if (group == nullptr)
        return true;
    const std::optional<TFoundFile> self = FoundFileOnDisk(PathOf(node).toStdString());
    for (int i = 0; i < group->childCount(); ++i) {
        const QTreeWidgetItem* other = group->child(i);
        if (other == &node)
            continue;
        const std::optional<TFoundFile> found = FoundFileOf(*other);
        if (!found)
            continue;
        const std::optional<TFoundFile> now = FoundFileOnDisk(PathOf(*other).toStdString());
        if (now && *now == *found && !(self && self->Id == now->Id))
            return false;
    }
    return true;
}

} // namespace parvex
