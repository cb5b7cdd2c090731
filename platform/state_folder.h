#pragma once

// Where the worksheet keeps its state file: the executable's folder when the
// user may write there, otherwise the user's configuration folder.

#include <string>

// The separator this system writes between a folder and a file name.
#ifdef _WIN32
inline constexpr char Path_separator = '\\';
#else
inline constexpr char Path_separator = '/';
#endif

// The executable's folder, without a trailing separator: the path up to the
// latest separator before the first ".exe" (in any case) anywhere in the path,
// so a folder named tools.exe counts. A path without ".exe" gives the folder
// holding the executable.
std::string GetExeDirectory(const std::string& executable_path);

// The folder of the state file. Beside the executable when the user may write
// there (a build folder, a copy in the user's own folders), as it always was;
// otherwise, as in a system-wide install, the user's configuration folder:
// "<XDG_CONFIG_HOME>/pavona", or "<HOME>/.config/pavona" when XDG_CONFIG_HOME
// is unset, empty or relative. Without either, the executable's folder (saving
// then fails with "File access denied", which says what is wrong).
std::string StateFolder(const std::string& exe_folder, bool exe_folder_writable,
                        const std::string& xdg_config_home, const std::string& home);

// True when the current user may make files in `folder`.
bool Folder_is_writable(const std::string& folder);

// StateFolder for the running program: probes `exe_folder` and reads
// XDG_CONFIG_HOME and HOME from the environment.
std::string StateFolderForUser(const std::string& exe_folder);
