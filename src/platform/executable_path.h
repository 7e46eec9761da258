#pragma once

#include <string>

namespace parvex {

/// Full path of the running executable (from /proc/self/exe); empty when it cannot be read.
std::string ExecutablePath();

/// The settings file beside an executable: the extension of its file name replaced by ".set",
/// or ".set" appended when the file name has none.
std::string SettingsFileBeside(const std::string& Executable);

/// Where the settings of Executable live: beside it when its folder can be written, else
/// UserSettingsFileFor (whose folder is then created when missing).
std::string SettingsFileFor(const std::string& Executable, const std::string& ConfigHome);

/// The per-user settings file of Executable: "<ConfigHome>/parvex/<name>.set" ("parvex.set"
/// for an empty Executable); nothing is created.
std::string UserSettingsFileFor(const std::string& Executable, const std::string& ConfigHome);

/// Creates Folder and its missing parents (mode 0700); whether Folder is a folder afterwards.
[[nodiscard]] bool MakeFolders(const std::string& Folder);

/// The per-user configuration folder: $XDG_CONFIG_HOME when absolute, else ~/.config.
std::string UserConfigHome();

/// The program's settings file: SettingsFileFor(ExecutablePath(), UserConfigHome()).
std::string DefaultSettingsFileName();

/// The program's per-user settings file: UserSettingsFileFor(ExecutablePath(), UserConfigHome()).
std::string DefaultUserSettingsFileName();

} // namespace parvex
