#include "result_file/start_folder_bounds.h"

#include "platform/real_path.h"

namespace parvex {

bool InsideStartFolderByText(std::string_view startFolder, std::string_view path) {
    if (startFolder.empty() || !path.starts_with(startFolder))
        return false;
    std::string_view rest = path.substr(startFolder.size());
    if (startFolder.back() != '/') {
        if (!rest.starts_with('/'))
            return false;
        rest.remove_prefix(1);
    }
    while (true) {
        const std::size_t end = rest.find('/');
        const std::string_view component = rest.substr(0, end);
        if (component.empty() || component == "." || component == "..")
            return false;
        if (end == std::string_view::npos)
            return true;
        rest.remove_prefix(end + 1);
    }
}

bool InsideStartFolderOnDisk(const std::string& startFolder, const std::string& path) {
    return InsideStartFolderByText(startFolder, path) && RealFolderLiesUnder(path, startFolder);
}

} // namespace parvex
