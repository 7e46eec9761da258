#pragma once

#include "result_file/result_document.h"

#include <nlohmann/json.hpp>
#include <string>

namespace parvex {

/// The parts of a result document, each read from the JSON value that holds it. `where` is the
/// value's place in the document ("groups[2].files[0]"); each function throws EResultFileError
/// naming that place when the value is not what the format says.

/// Checks the document's "format" or "version" (`key`; any other key is not checked here), as
/// soon as it is read, so that a document of another kind is refused before its groups are read.
void CheckFormatMember(const nlohmann::ordered_json& top, const std::string& key);
/// The document's "complete" member.
bool CompleteOf(const nlohmann::ordered_json& top);

/// The document's "search" member.
TResultSearch SearchOf(const nlohmann::ordered_json& search);

/// One file of a group.
TResultFileFacts FileOf(const nlohmann::ordered_json& file, const std::string& where);

/// The members of a group other than its files: its name and wasted space, put into `group`.
void ReadGroupHead(const nlohmann::ordered_json& head, const std::string& where,
                   TResultGroupFacts& group);

/// One entry of "skipped".
TResultSkipped SkippedOf(const nlohmann::ordered_json& entry, const std::string& where);

} // namespace parvex
