#pragma once

#include "cli/output_format.h"
#include "file_actions/action_run.h"

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace parvex {

/// How an action run was asked for, as the JSON document repeats it.
struct TActionRequest {
    TRunChoices Run;
    /// The keep rules' texts; empty when the result's marks were followed.
    std::vector<std::string> KeepRules;
    bool FollowMarks = false;
    std::vector<std::string> ProtectedFolders;
};

/// Turns the outcomes of an action run into the bytes of one output format: a line (text), three
/// NUL-ended fields (null), or one JSON document written at the end (json).
class TActionPrinter {
public:
    TActionPrinter(TOutputFormat format, const TActionRequest& request);

    /// The bytes of one outcome; the view lasts until the next call.
    std::string_view Record(const TActionOutcome& outcome);
    /// The bytes that end the output: the JSON document with the run's counts; nothing for the
    /// other formats.
    std::string Ending(const TActionRun& run);

    /// The JSON document's "format" member and version.
    static constexpr const char* FormatName = "parvex-actions";
    static constexpr int FormatVersion = 1;

private:
    TOutputFormat format_;
    std::string action_;
    std::string record_;
    nlohmann::ordered_json document_;
};

} // namespace parvex
