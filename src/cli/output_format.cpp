#include "cli/output_format.h"

namespace parvex {

std::optional<TOutputFormat> OutputFormatNamed(std::string_view name) {
    if (name == "text")
        return TOutputFormat::Text;
    if (name == "null")
        return TOutputFormat::Null;
    if (name == "json")
        return TOutputFormat::Json;
    return std::nullopt;
}

} // namespace parvex
