#include "platform/actions_log.h"

#include "platform/file_io.h"
#include "platform/text_escape.h"
#include "platform/unique_fd.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace parvex {
namespace {

// Makes `folder` and every missing folder above it; false when one cannot be made.
bool MakeFolders(const std::string& folder) {
    if (folder.empty() || folder == "/" || folder == ".")
        return true;
    struct stat facts {};
    if (::stat(folder.c_str(), &facts) == 0)
        return S_ISDIR(facts.st_mode);
    if (!MakeFolders(FolderOf(folder)))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

} // namespace

TActionsLog::TActionsLog(std::string path) : path_(std::move(path)) {}

std::string TActionsLog::DefaultPath() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/')
        return std::string(data) + "/parvex/actions.log";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0')
        return {};
    return std::string(home) + "/.local/share/parvex/actions.log";
}

std::string TActionsLog::Rfc3339(std::time_t when) {
    std::tm local{};
    ::localtime_r(&when, &local);
    char text[40] = {};
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
    std::string result(text);
    // strftime writes the offset as +0100; RFC 3339 wants +01:00.
    if (result.size() >= 5)
        result.insert(result.size() - 2, ":");
    return result;
}

std::string TActionsLog::Line(std::time_t when, std::string_view action, std::string_view path,
                              std::string_view target) {
    std::string line = Rfc3339(when);
    line += '\t';
    line += action;
    line += '\t';
    AppendEscapedForText(line, path);
    line += '\t';
    AppendEscapedForText(line, target);
    line += '\n';
    return line;
}

bool TActionsLog::Append(std::string_view action, std::string_view path, std::string_view target) {
    if (path_.empty()) {
        error_ = "no folder for the actions log (neither XDG_DATA_HOME nor HOME is set)";
        return false;
    }
    const auto fail = [this](int error) {
        error_ = path_ + ": " + std::strerror(error);
        return false;
    };
    if (!MakeFolders(FolderOf(path_)))
        return fail(errno);
    const TUniqueFd fd(::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600));
    if (!fd)
        return fail(errno);
    // One write per line, so lines of two programs appending at once never interleave.
    if (!WriteAll(fd.Get(), Line(std::time(nullptr), action, path, target)))
        return fail(errno);
    error_.clear();
    return true;
}

} // namespace parvex
