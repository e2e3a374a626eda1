#pragma once
#include <string>

namespace platform {

class System {
public:
    virtual ~System() = default;
    // The user's temporary folder, always ending in '/': $TMPDIR when set and absolute, else
    // the user's own ${XDG_STATE_HOME:-$HOME/.local/state}/ledgrin/, created with mode 0700
    // when missing. Unlike a shared /tmp, the latter lasts across reboots and no other
    // account can create or write it.
    virtual std::string temp_path() = 0;
    // Folder of the running program file, ending in '/'.
    virtual std::string program_folder() = 0;
    // Level of the facilities this layer provides; 6 and up are good enough.
    virtual int os_major_version() = 0;
};

}  // namespace platform
