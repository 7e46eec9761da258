#include "run_journal/runs_folder.h"

#include <cstdlib>

namespace parvex {

std::string RunsFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/')
        return std::string(state) + "/parvex/runs";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return std::string(home) + "/.local/state/parvex/runs";
    return {};
}

} // namespace parvex
