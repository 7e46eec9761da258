#pragma once

#include <string>

namespace parvex {

/// Full path of the running executable (from /proc/self/exe); empty when it cannot be read.
std::string ExecutablePath();

/// The settings file beside an executable: the extension of its file name replaced by ".set",
/// or ".set" appended when the file name has none.
std::string SettingsFileBeside(const std::string& Executable);

/// The help folder an installation keeps for a program in ProgramFolder (its "bin"):
/// "<ProgramFolder>/../share/parvex/help", with the ".." step taken.
std::string InstalledHelpFolder(const std::string& ProgramFolder);

/// Whether a program in ProgramFolder is installed: the folder is named "bin" and
/// InstalledHelpFolder(ProgramFolder) holds an index.html that is a regular file.
bool IsInstalledProgramFolder(const std::string& ProgramFolder);

/// Where the settings of Executable live, without creating anything: UserSettingsFileFor when
/// the program is installed or its folder cannot be written, else SettingsFileBeside.
std::string SettingsFileNameFor(const std::string& Executable, const std::string& ConfigHome);

/// SettingsFileNameFor; when that is the per-user file, its folder is created when missing.
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
