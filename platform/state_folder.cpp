#include "platform/state_folder.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

bool Is_separator(char c) {
    // A backslash is the separator of the paths the rule was made for; '/' is
    // accepted too so that the rule also works on Linux paths.
    return c == '\\' || c == '/';
}

} // namespace

std::string GetExeDirectory(const std::string& executable_path) {
    std::size_t latest_separator = std::string::npos;
    const std::size_t n = executable_path.size();
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const char c = executable_path[i];
        if (Is_separator(c)) latest_separator = i;
        if (c == '.' && i + 3 < n &&
            std::tolower(static_cast<unsigned char>(executable_path[i + 1])) == 'e' &&
            std::tolower(static_cast<unsigned char>(executable_path[i + 2])) == 'x' &&
            std::tolower(static_cast<unsigned char>(executable_path[i + 3])) == 'e')
            return latest_separator == std::string::npos
                       ? std::string()
                       : executable_path.substr(0, latest_separator);
    }
    // No ".exe" (a Linux executable): the executable's own folder, not the
    // root, which is not writable there.
    const std::size_t last = executable_path.find_last_of("\\/");
    if (last == std::string::npos) return ".";
    return executable_path.substr(0, last);
}

std::string StateFolder(const std::string& exe_folder, bool exe_folder_writable,
                        const std::string& xdg_config_home, const std::string& home) {
    if (exe_folder_writable) return exe_folder;
    // A relative XDG_CONFIG_HOME is invalid and to be ignored: it would put
    // the file wherever the program happened to be started.
    const auto absolute = [](const std::string& path) {
        return !path.empty() && std::filesystem::path(path).is_absolute();
    };
    std::string base;
    if (absolute(xdg_config_home))
        base = xdg_config_home;
    else if (absolute(home))
        base = (std::filesystem::path(home) / ".config").string();
    else
        return exe_folder;
    return (std::filesystem::path(base) / "pavona").string();
}

bool Folder_is_writable(const std::string& folder) {
    const std::string probed = folder.empty() ? std::string(1, Path_separator) : folder;
#ifdef _WIN32
    return _access(probed.c_str(), 2) == 0;
#else
    // Making a file in a folder takes both write and search permission.
    return access(probed.c_str(), W_OK | X_OK) == 0;
#endif
}

std::string StateFolderForUser(const std::string& exe_folder) {
    const char* xdg_config_home = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    return StateFolder(exe_folder, Folder_is_writable(exe_folder),
                       xdg_config_home ? xdg_config_home : "", home ? home : "");
}
