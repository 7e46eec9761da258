#pragma once

#include "result_file/json_value_builder.h"
#include "result_file/result_document.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace parvex {

/// Builds a result document from the events of a streamed JSON parse (nlohmann's SAX
/// interface). The groups and their files go straight into the document as each file is read;
/// only one file's (or one other member's) JSON value is held at a time, so memory grows with
/// the files kept and never with the nesting of the text. Lists and objects nested deeper than
/// kMaxDepth are refused when the first one too deep opens. Throws EResultFileError naming the
/// place of a fault.
class TResultDocumentEvents {
public:
    static constexpr std::size_t kMaxDepth = 64;

    /// The document read, once the parse has ended without a fault; checks the members read
    /// only at the end ("search", "complete", "groups", "skipped").
    TResultDocument Finish();

    // The SAX interface.
    bool null() { return Scalar(nullptr); }
    bool boolean(bool value) { return Scalar(value); }
    bool number_integer(std::int64_t value) { return Scalar(value); }
    bool number_unsigned(std::uint64_t value) { return Scalar(value); }
    bool number_float(double value, const std::string&) { return Scalar(value); }
    bool string(std::string& value) { return Scalar(std::move(value)); }
    bool binary(nlohmann::ordered_json::binary_t& value) {
        return Scalar(nlohmann::ordered_json::binary(std::move(value)));
    }
    bool start_object(std::size_t) { return Open(nlohmann::ordered_json::object()); }
    bool key(std::string& key);
    bool end_object() { return Close(); }
    bool start_array(std::size_t) { return Open(nlohmann::ordered_json::array()); }
    bool end_array() { return Close(); }
    bool parse_error(std::size_t position, const std::string& lastToken,
                     const nlohmann::detail::exception& error);

private:
    // The parts of the document read as they stream by, rather than built whole.
    enum class TPart : std::uint8_t { Document, Groups, Group, Files, Skipped };

    bool Scalar(nlohmann::ordered_json value);
    bool Open(nlohmann::ordered_json container);
    bool Close();
    // Takes a value that starts outside any value being built: true when it opens a part that
    // streams, false when it starts the builder.
    bool Begin(const nlohmann::ordered_json& value);
    // A value built whole: read into the document.
    void Built();
    void EndPart(TPart part);
    std::string GroupPlace() const;
    std::string Where() const;
    [[noreturn]] void Fail(const std::string& where, const std::string& what) const;

    TResultDocument document_;
    std::vector<TPart> parts_;
    std::string key_; // the member being read of the document or of a group
    TJsonValueBuilder builder_;
    nlohmann::ordered_json top_ = nlohmann::ordered_json::object();
    nlohmann::ordered_json groupHead_;
    nlohmann::ordered_json record_;
    bool searchRead_ = false;
    bool groupsRead_ = false;
    bool skippedRead_ = false;
    bool filesRead_ = false;
};

} // namespace parvex
