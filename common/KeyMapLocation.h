// Where the two key maps lie: the user's own, below the roaming application
// data, and the installation's, in the folder the settings name. KV480 reads
// both; the editor writes the user's. Paths are UTF-8.
#pragma once

#include <string>

namespace keymaplocation {

// The file's name, which is also how notices name the installation's map.
extern const char* const FILE_NAME;
// How notices name the user's map, the same for every user.
extern const char* const USER_SHOWN;

// %APPDATA%\Remote Control\KeyMap.ini; empty when the folder is unknown.
std::string UserFile();
// KeyMap.ini in the folder the settings' Path names; empty without one.
std::string InstalledFile();

} // namespace keymaplocation
