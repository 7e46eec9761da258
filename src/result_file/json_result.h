#pragma once

#include "_compearer/wasted_space.h"
#include "result_file/result_document.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace parvex {

/// The JSON result document ("parvex-result", version 1), built from what the search reports:
/// the search itself, the groups in the order found with their files and wasted space, and
/// the files and folders that could not be read.
class TJsonResult {
public:
    /// The name of the format, the document's "format" member.
    static constexpr const char* FormatName = "parvex-result";
    /// The version of the format, the document's "version" member.
    static constexpr int FormatVersion = 1;

    explicit TJsonResult(const TResultSearch& search);

    /// Opens a new group named by the exact bytes `name`.
    void AddGroup(std::string_view name);
    /// Adds a file to the group opened last; ignored before the first group.
    void AddFile(const TResultFileFacts& file);
    /// Records a file or folder that could not be read, with the system's reason.
    void AddSkipped(std::string_view path, std::string_view reason);
    /// The whole document as text with a final line break; `complete` is false for a search
    /// that was stopped before its end.
    std::string Text(bool complete);

private:
    void CloseGroup();

    nlohmann::ordered_json document_;
    nlohmann::ordered_json group_;
    std::vector<TSpaceOfFile> groupSpace_;
    bool groupOpen_ = false;
    // Wasted space means something only when the files of a group have equal content.
    bool wastedKnown_ = false;
};

} // namespace parvex
