#pragma once

#include <functional>
#include <string>

namespace parvex {

/// A path in `folder` for a file named `name` that nothing occupies now: the name itself, else
/// "stem (2).ext", "stem (3).ext" and on (a name without a dot, or starting with its only dot,
/// gets the number at its end). A path for which `alsoTaken` holds counts as occupied too (names
/// promised to files not moved yet). Empty when no number up to a million is free.
std::string FreePathIn(const std::string& folder, const std::string& name,
                       const std::function<bool(const std::string&)>& alsoTaken = {});

} // namespace parvex
