#pragma once

namespace parvex {

/// Registers the program's pictures (":/toolbar/<n>.png", ":/parvex.png"); call once at start.
void InitResources();

} // namespace parvex
