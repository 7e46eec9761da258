#include "platform/free_name.h"

#include "platform/file_status.h"

namespace parvex {

std::string FreePathIn(const std::string& folder, const std::string& name,
                       const std::function<bool(const std::string&)>& alsoTaken) {
    const auto free = [&alsoTaken](const std::string& path) {
        return !EntryExists(path) && !(alsoTaken && alsoTaken(path));
    };
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    if (free(prefix + name))
        return prefix + name;
    const std::size_t dot = name.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > 0;
    const std::string stem = hasExtension ? name.substr(0, dot) : name;
    const std::string extension = hasExtension ? name.substr(dot) : std::string();
    for (int number = 2; number <= 1000000; ++number) {
        const std::string candidate =
            prefix + stem + " (" + std::to_string(number) + ")" + extension;
        if (free(candidate))
            return candidate;
    }
    return {};
}

} // namespace parvex
