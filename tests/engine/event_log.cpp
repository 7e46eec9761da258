#include "engine/event_log.h"

#include <algorithm>

namespace parvex::testing {

void TEventLog::Attach(TCompearerCore& core) {
    core.OnSearchStart = [this] { Lines.push_back("start"); };
    core.OnCheckFolder = [this](const std::string& path, bool& allowed) {
        Lines.push_back("check " + path);
        allowed = std::find(Excluded.begin(), Excluded.end(), path) == Excluded.end();
    };
    core.OnFileFound = [this](const std::string& text, bool newGroup) {
        Lines.push_back((newGroup ? "group " : "file ") + text);
    };
    core.OnSearchComplete = [this] { Lines.push_back("complete"); };
    core.OnSearchInterrupted = [this] { Lines.push_back("interrupted"); };
}

std::vector<std::string> TEventLog::Found() const {
    std::vector<std::string> found;
    for (const std::string& line : Lines)
        if (line.rfind("group ", 0) == 0 || line.rfind("file ", 0) == 0)
            found.push_back(line);
    return found;
}

} // namespace parvex::testing
