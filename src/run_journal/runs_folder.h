#pragma once

#include <string>

namespace parvex {

/// The folder of the run journals: $XDG_STATE_HOME/parvex/runs when XDG_STATE_HOME is an
/// absolute path, else ~/.local/state/parvex/runs; empty when neither variable gives one.
std::string RunsFolder();

} // namespace parvex
