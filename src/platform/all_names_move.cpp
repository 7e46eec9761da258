#include "platform/all_names_move.h"

#include "platform/free_name.h"
#include "platform/no_replace_move.h"

#include <cerrno>
#include <cstring>
#include <set>
#include <unistd.h>

namespace parvex {
namespace {

std::string NameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

// Takes back the links made at the destination and the first name's move.
void Undo(const std::vector<std::string>& names, const std::vector<std::string>& targets) {
    for (std::size_t i = targets.size(); i-- > 1;)
        ::unlink(targets[i].c_str());
    if (!targets.empty())
        (void)MoveWithoutReplacing(targets[0], names[0]);
}

} // namespace

TNamesMove MoveAllNamesTo(const std::vector<std::string>& names,
                          const std::vector<std::string>& targets) {
    TNamesMove result;
    if (names.empty())
        return result;
    if (!MoveWithoutReplacing(names[0], targets[0])) {
        result.Reason = errno == EEXIST ? std::string("its place in the folder was taken")
                                        : std::string(std::strerror(errno));
        return result;
    }
    for (std::size_t i = 1; i < names.size(); ++i) {
        if (::link(targets[0].c_str(), targets[i].c_str()) != 0) {
            const std::string why = std::strerror(errno);
            Undo(names, {targets.begin(), targets.begin() + static_cast<std::ptrdiff_t>(i)});
            result.Reason =
                "its other name " + names[i] + " cannot be linked at the destination: " + why;
            return result;
        }
    }
    // Every name is at the destination: the old other names can go.
    for (std::size_t i = 1; i < names.size(); ++i)
        ::unlink(names[i].c_str());
    result.Moved = true;
    result.Targets = targets;
    return result;
}

TNamesMove MoveAllNames(const std::vector<std::string>& names, const std::string& folder) {
    std::vector<std::string> targets;
    std::set<std::string> promised;
    for (const std::string& name : names) {
        std::string target = FreePathIn(folder, NameOf(name), [&promised](const std::string& path) {
            return promised.contains(path);
        });
        if (target.empty()) {
            TNamesMove result;
            result.Reason = targets.empty() ? "no free name in the folder"
                                            : "its other name " + name +
                                                  " cannot be linked at the destination: no free "
                                                  "name";
            return result;
        }
        promised.insert(target);
        targets.push_back(std::move(target));
    }
    return MoveAllNamesTo(names, targets);
}

} // namespace parvex
