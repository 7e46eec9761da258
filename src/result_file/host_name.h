#pragma once

#include <string>

namespace parvex {

/// This machine's host name as a result document records it; empty when it cannot be learnt.
std::string ThisHostName();

} // namespace parvex
