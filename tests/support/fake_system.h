#pragma once
// Temporary folder, program folder and facility level as a test sets them.
#include <string>

#include "platform/system.h"

namespace fakes {

class FakeSystem : public platform::System {
public:
    std::string temp_path() override { return temp; }
    std::string program_folder() override { return program; }
    int os_major_version() override { return os_major; }

    std::string temp = "/tmp/";
    std::string program = "/opt/ledgrin/";
    int os_major = 6;
};

}  // namespace fakes
