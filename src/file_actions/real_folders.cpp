#include "file_actions/real_folders.h"

#include "platform/file_io.h"

#include <climits>
#include <cstdlib>
#include <memory>

namespace parvex {

const std::string& TRealFolders::Of(const std::string& folder) {
    const auto [place, added] = known_.try_emplace(folder);
    if (added) {
        const std::unique_ptr<char, decltype(&std::free)> real(::realpath(folder.c_str(), nullptr),
                                                               &std::free);
        if (real) {
            place->second = real.get();
            if (place->second.back() != '/')
                place->second += '/';
        }
    }
    return place->second;
}

const std::string& TRealFolders::OfFileFolder(const std::string& path) {
    return Of(FolderOf(path));
}

bool FolderWithin(const std::string& inner, const std::string& outer) {
    return !outer.empty() && inner.starts_with(outer);
}

} // namespace parvex
