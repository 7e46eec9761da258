#include "platform/executable_path.h"

#include "platform/file_io.h"

#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace parvex {

namespace {

std::string FileNameOf(const std::string& Path) {
    const auto slash = Path.rfind('/');
    return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

std::string WithoutTrailingSlashes(std::string Path) {
    while (Path.size() > 1 && Path.back() == '/') {
        Path.pop_back();
    }
    return Path;
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        return home;
    }
    if (const passwd* user = getpwuid(getuid()); user != nullptr && user->pw_dir != nullptr) {
        return user->pw_dir;
    }
    return "/tmp";
}

} // namespace

bool MakeFolders(const std::string& Folder) {
    for (std::size_t slash = Folder.find('/', 1); slash != std::string::npos;
         slash = Folder.find('/', slash + 1)) {
        mkdir(Folder.substr(0, slash).c_str(), 0700);
    }
    mkdir(Folder.c_str(), 0700);
    struct stat info {};
    return stat(Folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string ExecutablePath() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return {};
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string SettingsFileBeside(const std::string& Executable) {
    const auto slash = Executable.rfind('/');
    const auto dot = Executable.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? Executable.substr(0, dot) : Executable) + ".set";
}

std::string InstalledHelpFolder(const std::string& ProgramFolder) {
    // The parent by name, not by resolving: a prefix unpacked anywhere is still an installation.
    const std::string prefix = FolderOf(WithoutTrailingSlashes(ProgramFolder));
    return prefix + (prefix == "/" ? "" : "/") + "share/parvex/help";
}

bool IsInstalledProgramFolder(const std::string& ProgramFolder) {
    const std::string folder = WithoutTrailingSlashes(ProgramFolder);
    struct stat index {};
    return FileNameOf(folder) == "bin" &&
           stat((InstalledHelpFolder(folder) + "/index.html").c_str(), &index) == 0 &&
           S_ISREG(index.st_mode);
}

std::string SettingsFileNameFor(const std::string& Executable, const std::string& ConfigHome) {
    const std::string beside = SettingsFileBeside(Executable);
    // An installed program never writes beside itself, not even when run as root.
    if (!Executable.empty() && !IsInstalledProgramFolder(FolderOf(Executable)) &&
        access(FolderOf(beside).c_str(), W_OK) == 0) {
        return beside;
    }
    return UserSettingsFileFor(Executable, ConfigHome);
}

std::string SettingsFileFor(const std::string& Executable, const std::string& ConfigHome) {
    const std::string chosen = SettingsFileNameFor(Executable, ConfigHome);
    if (chosen == UserSettingsFileFor(Executable, ConfigHome)) {
        // A folder that cannot be made shows itself at the first save, which then fails and
        // says so.
        static_cast<void>(MakeFolders(FolderOf(chosen)));
    }
    return chosen;
}

std::string UserSettingsFileFor(const std::string& Executable, const std::string& ConfigHome) {
    const std::string name =
        Executable.empty() ? std::string("parvex.set") : FileNameOf(SettingsFileBeside(Executable));
    return ConfigHome + "/parvex/" + name;
}

std::string UserConfigHome() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME");
        config != nullptr && config[0] == '/') {
        return config;
    }
    return HomeFolder() + "/.config";
}

std::string DefaultSettingsFileName() {
    return SettingsFileFor(ExecutablePath(), UserConfigHome());
}

std::string DefaultUserSettingsFileName() {
    return UserSettingsFileFor(ExecutablePath(), UserConfigHome());
}

} // namespace parvex
