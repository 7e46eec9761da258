#pragma once

#include "result_file/result_document.h"

#include <stdexcept>
#include <string_view>

namespace parvex {

/// A text that is not a result document this program reads; what() names what is wrong and
/// where, e.g. "groups[2].files[0]: \"size\" is missing or not a whole number".
class EResultFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Reads a JSON result document ("parvex-result", version 1) as TJsonResult writes it; throws
/// EResultFileError for anything else. Every file reads as having all its names found: the
/// document does not say, so whoever opens it decides that from the disk.
TResultDocument ReadJsonResult(std::string_view text);

} // namespace parvex
