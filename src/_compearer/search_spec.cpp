#include "_compearer/search_spec.h"

#include <sys/stat.h>

namespace parvex {

namespace {

bool IsExistingFolder(const std::string& path) {
    struct stat facts {};
    return ::stat(path.c_str(), &facts) == 0 && S_ISDIR(facts.st_mode);
}

// Where the start folder ends when a ";" lies inside it: the longest prefix that ends in "/"
// after the first ";" and names an existing folder. Zero when the folder holds no ";", so
// the pieces start right at the beginning of the search text.
std::size_t StartFolderLength(const std::string& spec, std::size_t firstSeparator) {
    for (std::size_t slash = spec.rfind('/'); slash != std::string::npos && slash > firstSeparator;
         slash = spec.rfind('/', slash - 1)) {
        if (IsExistingFolder(spec.substr(0, slash + 1)))
            return slash + 1;
    }
    return 0;
}

} // namespace

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= ' ' || c == '\x7f';
}

std::string WithTrailingSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::string NormalizeStartFolder(std::string_view typed) {
    while (!typed.empty() && IsBlankOrControl(typed.front()))
        typed.remove_prefix(1);
    while (!typed.empty() && IsBlankOrControl(typed.back()))
        typed.remove_suffix(1);
    return WithTrailingSlash(std::string(typed));
}

std::string MaskListOfInput(std::string_view typed) {
    for (const char c : typed)
        if (!IsBlankOrControl(c))
            return std::string(typed);
    return "*.*";
}

std::size_t FolderPartLength(std::string_view pattern) {
    const std::size_t slash = pattern.rfind('/');
    return slash == std::string_view::npos ? 0 : slash + 1;
}

std::vector<std::string> SplitSearchSpec(const std::string& spec) {
    const std::size_t firstSeparator = spec.find(';');
    if (firstSeparator == std::string::npos)
        return {spec};

    const std::size_t folderLength = StartFolderLength(spec, firstSeparator);
    std::string_view rest = std::string_view(spec).substr(folderLength);
    std::size_t separator = rest.find(';');
    std::vector<std::string> patterns{spec.substr(0, folderLength) +
                                      std::string(rest.substr(0, separator))};
    rest = separator == std::string_view::npos ? std::string_view() : rest.substr(separator + 1);
    // Every further piece goes onto the folder of the pattern before it, so a piece holding a
    // folder part moves the folder for itself and the pieces after it.
    while (!rest.empty()) {
        separator = rest.find(';');
        const std::string& previous = patterns.back();
        std::string pattern = previous.substr(0, FolderPartLength(previous));
        pattern += rest.substr(0, separator);
        patterns.push_back(std::move(pattern));
        rest =
            separator == std::string_view::npos ? std::string_view() : rest.substr(separator + 1);
    }
    return patterns;
}

} // namespace parvex
