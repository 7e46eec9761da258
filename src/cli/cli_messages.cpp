#include "cli/cli_messages.h"

#include "platform/text_escape.h"

namespace parvex {

std::string Quoted(std::string_view text) {
    std::string quoted = "'";
    AppendEscapedForText(quoted, text);
    return quoted + "'";
}

std::string UnreadMessage(std::string_view path, std::string_view reason) {
    std::string message = "parvex-cli: cannot read ";
    AppendEscapedForText(message, path);
    message += ": ";
    AppendEscapedForText(message, reason);
    message += '\n';
    return message;
}

} // namespace parvex
