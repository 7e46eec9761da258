#include "result_file/result_document_events.h"

#include "result_file/json_result_reader.h"
#include "result_file/result_records.h"

namespace parvex {

namespace {

using json = nlohmann::ordered_json;

std::string FileCountText(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " file" : " files");
}

} // namespace

void TResultDocumentEvents::Fail(const std::string& where, const std::string& what) const {
    throw EResultFileError(where.empty() ? what : where + ": " + what);
}

std::string TResultDocumentEvents::GroupPlace() const {
    return "groups[" + std::to_string(document_.Groups.size() - 1) + "]";
}

// The place of the value being read, as the messages name it.
std::string TResultDocumentEvents::Where() const {
    if (parts_.empty())
        return {};
    switch (parts_.back()) {
    case TPart::Document:
        return key_;
    case TPart::Groups:
        return "groups[" + std::to_string(document_.Groups.size()) + "]";
    case TPart::Group:
        return GroupPlace() + "." + key_;
    case TPart::Files:
        return GroupPlace() + ".files[" + std::to_string(document_.Groups.back().Files.size()) +
               "]";
    case TPart::Skipped:
        return "skipped[" + std::to_string(document_.Skipped.size()) + "]";
    }
    return {};
}

bool TResultDocumentEvents::key(std::string& key) {
    if (builder_.Active())
        builder_.Key(std::move(key));
    else
        key_ = std::move(key);
    return true;
}

bool TResultDocumentEvents::Begin(const json& value) {
    if (parts_.empty()) {
        if (!value.is_object())
            Fail({}, "is not an object");
        parts_.push_back(TPart::Document);
        return true;
    }
    switch (parts_.back()) {
    case TPart::Document:
        if (key_ == "groups" || key_ == "skipped") {
            bool& read = key_ == "groups" ? groupsRead_ : skippedRead_;
            if (!value.is_array())
                Fail({}, "\"" + key_ + "\" is missing or not a list");
            if (read)
                Fail({}, "\"" + key_ + "\" is there twice");
            read = true;
            parts_.push_back(key_ == "groups" ? TPart::Groups : TPart::Skipped);
            return true;
        }
        builder_.Start(top_[key_]);
        return false;
    case TPart::Groups:
        if (!value.is_object())
            Fail(Where(), "is not an object");
        document_.Groups.emplace_back();
        groupHead_ = json::object();
        filesRead_ = false;
        parts_.push_back(TPart::Group);
        return true;
    case TPart::Group:
        if (key_ == "files") {
            if (!value.is_array() || filesRead_)
                Fail(GroupPlace(), "\"files\" is missing, not a list or there twice");
            filesRead_ = true;
            parts_.push_back(TPart::Files);
            return true;
        }
        builder_.Start(groupHead_[key_]);
        return false;
    case TPart::Files:
    case TPart::Skipped:
        record_ = json();
        builder_.Start(record_);
        return false;
    }
    return false;
}

bool TResultDocumentEvents::Scalar(json value) {
    if (!builder_.Active() && Begin(value))
        return true;
    if (builder_.Scalar(std::move(value)))
        Built();
    return true;
}

bool TResultDocumentEvents::Open(json container) {
    if (parts_.size() + builder_.Depth() >= kMaxDepth)
        Fail(Where(), "lists and objects are nested deeper than " + std::to_string(kMaxDepth));
    if (builder_.Active() || !Begin(container))
        builder_.Open(std::move(container));
    return true;
}

bool TResultDocumentEvents::Close() {
    if (builder_.Active()) {
        if (builder_.Close())
            Built();
        return true;
    }
    const TPart part = parts_.back();
    EndPart(part);
    parts_.pop_back();
    return true;
}

void TResultDocumentEvents::Built() {
    switch (parts_.back()) {
    case TPart::Document:
        CheckFormatMember(top_, key_);
        if (key_ == "search") {
            document_.Search = SearchOf(top_[key_]);
            searchRead_ = true;
        }
        break;
    case TPart::Files:
        document_.Groups.back().Files.push_back(FileOf(record_, Where()));
        break;
    case TPart::Skipped:
        document_.Skipped.push_back(SkippedOf(record_, Where()));
        break;
    case TPart::Groups:
    case TPart::Group:
        break;
    }
}

void TResultDocumentEvents::EndPart(TPart part) {
    if (part != TPart::Group)
        return;
    TResultGroupFacts& group = document_.Groups.back();
    ReadGroupHead(groupHead_, GroupPlace(), group);
    if (!filesRead_)
        Fail(GroupPlace(), "\"files\" is missing, not a list or there twice");
    if (group.Files.size() < 2)
        Fail(GroupPlace(),
             "lists " + FileCountText(group.Files.size()) + ", and a group has two or more");
}

bool TResultDocumentEvents::parse_error(std::size_t, const std::string&,
                                        const nlohmann::detail::exception& error) {
    throw EResultFileError(std::string("not JSON: ") + error.what());
}

TResultDocument TResultDocumentEvents::Finish() {
    CheckFormatMember(top_, "format");
    CheckFormatMember(top_, "version");
    if (!searchRead_)
        document_.Search = SearchOf(json());
    document_.Complete = CompleteOf(top_);
    if (!groupsRead_)
        Fail({}, "\"groups\" is missing or not a list");
    if (!skippedRead_)
        Fail({}, "\"skipped\" is missing or not a list");
    return std::move(document_);
}

} // namespace parvex
