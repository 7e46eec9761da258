#include "cli/result_printer.h"

#include "platform/text_escape.h"

namespace parvex {

std::string_view TResultPrinter::Record(std::string_view text, bool newGroup) {
    record_.clear();
    if (format_ == TOutputFormat::Null) {
        // Names never are empty, so two NULs in a row can only end a group.
        if (newGroup && groupOpen_)
            record_ += '\0';
        record_ += text;
        record_ += '\0';
    } else {
        if (!newGroup)
            record_ += '\t';
        AppendEscapedForText(record_, text);
        record_ += '\n';
    }
    groupOpen_ = groupOpen_ || newGroup;
    return record_;
}

std::string_view TResultPrinter::Ending() {
    record_.clear();
    if (format_ == TOutputFormat::Null && groupOpen_)
        record_ += '\0';
    groupOpen_ = false;
    return record_;
}

} // namespace parvex
