#include "platform/real_path.h"

#include "platform/file_io.h"

#include <cstdlib>
#include <memory>

namespace parvex {

std::optional<std::string> RealPathOf(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                           &std::free);
    if (!real)
        return std::nullopt;
    return std::string(real.get());
}

bool RealFolderLiesUnder(const std::string& path, const std::string& folder) {
    const std::optional<std::string> top = RealPathOf(folder);
    if (top == "/")
        return true;
    const std::optional<std::string> holder = RealPathOf(FolderOf(path));
    if (!holder || !top)
        return false;
    if (*holder == *top)
        return true;
    return holder->size() > top->size() && holder->starts_with(*top) &&
           (*holder)[top->size()] == '/';
}

} // namespace parvex
