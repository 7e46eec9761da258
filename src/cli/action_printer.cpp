#include "cli/action_printer.h"

#include "platform/text_escape.h"
#include "result_file/json_bytes.h"

namespace parvex {

TActionPrinter::TActionPrinter(TOutputFormat format, const TActionRequest& request)
    : format_(format), action_(ActionWord(request.Run.Kind)) {
    if (format_ != TOutputFormat::Json)
        return;
    document_["format"] = FormatName;
    document_["version"] = FormatVersion;
    document_["action"] = action_;
    document_["dry_run"] = request.Run.DryRun;
    if (request.Run.Kind == TActionKind::Move)
        SetBytesMember(document_, "move_to", request.Run.MoveFolder);
    document_["marks"] = request.FollowMarks;
    document_["keep"] = nlohmann::ordered_json::array();
    for (const std::string& rule : request.KeepRules) {
        nlohmann::ordered_json item;
        SetBytesMember(item, "rule", rule);
        document_["keep"].push_back(std::move(item));
    }
    document_["protected_folders"] = nlohmann::ordered_json::array();
    for (const std::string& folder : request.ProtectedFolders) {
        nlohmann::ordered_json item;
        SetBytesMember(item, "path", folder);
        document_["protected_folders"].push_back(std::move(item));
    }
    document_["entries"] = nlohmann::ordered_json::array();
}

std::string_view TActionPrinter::Record(const TActionOutcome& outcome) {
    record_.clear();
    const std::string_view word = outcome.Done ? std::string_view(action_) : "skipped";
    const std::string& last = outcome.Done ? outcome.Target : outcome.Reason;
    switch (format_) {
    case TOutputFormat::Text:
        record_.append(word);
        record_ += '\t';
        AppendEscapedForText(record_, outcome.Name);
        record_ += '\t';
        AppendEscapedForText(record_, last);
        record_ += '\n';
        break;
    case TOutputFormat::Null:
        for (const std::string_view field :
             {word, std::string_view(outcome.Name), std::string_view(last)}) {
            record_.append(field);
            record_ += '\0';
        }
        break;
    case TOutputFormat::Json: {
        nlohmann::ordered_json entry;
        entry["action"] = word;
        SetBytesMember(entry, "path", outcome.Name);
        SetBytesMember(entry, outcome.Done ? "target" : "reason", last);
        document_["entries"].push_back(std::move(entry));
        break;
    }
    }
    return record_;
}

std::string TActionPrinter::Ending(const TActionRun& run) {
    if (format_ != TOutputFormat::Json)
        return {};
    document_["done"] = run.DoneCount();
    document_["skipped"] = run.SkippedCount();
    document_["freed"] = run.BytesFreed();
    document_["shared"] = run.BytesShared();
    return document_.dump(2) + "\n";
}

} // namespace parvex
