#pragma once
#include <string>

namespace platform {

class System {
public:
    virtual ~System() = default;
    // $TMPDIR when set and absolute, else /tmp; always ends in '/'.
    virtual std::string temp_path() = 0;
    // Folder of the running program file, ending in '/'.
    virtual std::string program_folder() = 0;
    // Level of the facilities this layer provides; 6 and up are good enough.
    virtual int os_major_version() = 0;
};

}  // namespace platform
