#include "result_file/json_result_reader.h"

#include "result_file/result_document_events.h"
#include "result_file/result_document_paths.h"
#include "result_file/result_file_source.h"

#include <istream>
#include <nlohmann/json.hpp>

namespace parvex {

namespace {

TResultDocument Completed(TResultDocumentEvents& events) {
    TResultDocument document = events.Finish();
    MakePathsAbsolute(document);
    RefuseRepeatedFiles(document);
    return document;
}

} // namespace

TResultDocument ReadJsonResult(std::string_view text) {
    TResultDocumentEvents events;
    nlohmann::ordered_json::sax_parse(text, &events);
    return Completed(events);
}

TResultDocument ReadJsonResultFile(const std::string& path, const TResultReadControl& control) {
    TResultFileSource source(path, control);
    std::istream stream(&source);
    TResultDocumentEvents events;
    try {
        nlohmann::ordered_json::sax_parse(stream, &events);
    } catch (const EResultFileError&) {
        // Bytes that ended early for a reason of their own make any text a fault: say the reason.
        source.ThrowIfStopped();
        throw;
    }
    return Completed(events);
}

} // namespace parvex
