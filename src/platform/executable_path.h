#pragma once

#include <string>

namespace parvex {

/// Full path of the running executable (from /proc/self/exe); empty when it cannot be read.
std::string ExecutablePath();

/// The settings file beside an executable: the extension of its file name replaced by ".set",
/// or ".set" appended when the file name has none.
std::string SettingsFileBeside(const std::string& Executable);

/// Where the settings of Executable live: beside it when its folder can be written, else
/// "<ConfigHome>/parvex/<name>.set" (the folder is created when missing).
std::string SettingsFileFor(const std::string& Executable, const std::string& ConfigHome);

/// The per-user configuration folder: $XDG_CONFIG_HOME when absolute, else ~/.config.
std::string UserConfigHome();

/// The program's settings file: SettingsFileFor(ExecutablePath(), UserConfigHome()).
std::string DefaultSettingsFileName();

} // namespace parvex
