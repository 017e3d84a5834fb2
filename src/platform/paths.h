#pragma once

#include <string>

namespace tarvo {

// Folder of the running executable (from /proc/self/exe), ending in "/". The
// language packs, the skin package and the start page sit beside the executable.
std::string ExecutableFolder();

// Full path of the running executable.
std::string ExecutablePath();

// The per-user data root: $XDG_DATA_HOME/TarvoBrowser/ (default
// ~/.local/share/TarvoBrowser/), ending in "/". Not created here.
std::string DataRoot();

// The per-user configuration folder: $XDG_CONFIG_HOME/TarvoBrowser/ (default
// ~/.config/TarvoBrowser/), ending in "/". Not created here.
std::string ConfigRoot();

// Makes `path` a folder, creating each missing folder along it readable by the user
// alone (0700, as the XDG base-directory rules ask); folders that exist keep their
// modes. True when `path` is a folder afterwards.
bool CreatePrivateFolders(const std::string& path);

}  // namespace tarvo
