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
    core.OnSkipped = [this](const std::string& path, const std::string& reason) {
        Lines.push_back("skipped " + path + ": " + reason);
    };
}

void TEventLog::Search(TCompearerCore& core, const std::string& spec) {
    core.SearchSpec = spec;
    Attach(core);
    core.Start();
}

std::string TEventLog::Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

std::vector<std::string> TEventLog::Skipped() const {
    std::vector<std::string> skipped;
    for (const std::string& line : Lines)
        if (line.rfind("skipped ", 0) == 0)
            skipped.push_back(line);
    return skipped;
}

std::vector<std::string> TEventLog::Found() const {
    std::vector<std::string> found;
    for (const std::string& line : Lines)
        if (line.rfind("group ", 0) == 0 || line.rfind("file ", 0) == 0)
            found.push_back(line);
    return found;
}

} // namespace parvex::testing
