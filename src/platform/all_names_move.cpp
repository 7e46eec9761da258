#include "platform/all_names_move.h"

#include "platform/free_name.h"
#include "platform/safe_move.h"

#include <cerrno>
#include <cstring>
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
        (void)SafeMoveFile(targets[0], names[0]);
}

} // namespace

TNamesMove MoveAllNames(const std::vector<std::string>& names, const std::string& folder) {
    TNamesMove result;
    if (names.empty())
        return result;
    const std::string first = FreePathIn(folder, NameOf(names[0]));
    if (first.empty()) {
        result.Reason = "no free name in the folder";
        return result;
    }
    switch (SafeMoveFile(names[0], first)) {
    case TMoveOutcome::Moved:
        break;
    case TMoveOutcome::SameFile:
        result.Reason = "it is already there";
        return result;
    case TMoveOutcome::Failed:
        result.Reason = "it could not be moved";
        return result;
    }
    std::vector<std::string> targets{first};
    for (std::size_t i = 1; i < names.size(); ++i) {
        const std::string target = FreePathIn(folder, NameOf(names[i]));
        if (target.empty() || ::link(first.c_str(), target.c_str()) != 0) {
            const std::string why = target.empty() ? "no free name" : std::strerror(errno);
            Undo(names, targets);
            result.Reason =
                "its other name " + names[i] + " cannot be linked at the destination: " + why;
            return result;
        }
        targets.push_back(target);
    }
    // Every name is at the destination: the old other names can go.
    for (std::size_t i = 1; i < names.size(); ++i)
        ::unlink(names[i].c_str());
    result.Moved = true;
    result.Targets = std::move(targets);
    return result;
}

} // namespace parvex
