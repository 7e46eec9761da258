#pragma once

#include <string>

namespace parvex {

/// What loading the settings found out, for the user to be told.
struct TSettingsLoad {
    /// The file this report is about: the settings file, or the per-user file read in its place.
    std::string File;
    /// That file was there but could not be used; the defaults were taken instead.
    bool Unreadable = false;
    /// Why it could not be used ("Syntax error", "not a regular file", an errno text, ...).
    std::string Reason;
    /// Where the unreadable file was kept ("<file>.bad"); empty when it stayed where it was.
    std::string KeptAs;
    /// Where the settings are saved from now on when that is not the settings file itself.
    std::string SavedTo;
};

} // namespace parvex
