#pragma once

#include "cli/output_format.h"

#include <string>
#include <string_view>

namespace parvex {

/// Turns the engine's OnFileFound events into the bytes of one output format.
class TResultPrinter {
public:
    explicit TResultPrinter(TOutputFormat format) : format_(format) {}

    /// The bytes of one OnFileFound event: a group's name when newGroup, else a path of it.
    /// The view lasts until the next call.
    std::string_view Record(std::string_view text, bool newGroup);
    /// The bytes that end the output (the null format's end of the last group); the view lasts
    /// until the next call.
    std::string_view Ending();

private:
    TOutputFormat format_;
    bool groupOpen_ = false;
    std::string record_;
};

} // namespace parvex
