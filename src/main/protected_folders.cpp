#include "main/protected_folders.h"

#include <climits>
#include <cstdlib>
#include <memory>

namespace parvex {
namespace {

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

} // namespace

TProtectedFolders::TProtectedFolders(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        if (folder.empty())
            continue;
        prefixes_.push_back(WithSlash(folder));
        const std::unique_ptr<char, decltype(&std::free)> real(::realpath(folder.c_str(), nullptr),
                                                               &std::free);
        if (real && WithSlash(real.get()) != prefixes_.back())
            prefixes_.push_back(WithSlash(real.get()));
    }
}

bool TProtectedFolders::Covers(std::string_view path) const {
    for (const std::string& prefix : prefixes_) {
        if (path.starts_with(prefix))
            return true;
    }
    return false;
}

} // namespace parvex
