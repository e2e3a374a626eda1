#include "ledgrin_program.h"

#include "common/startup.h"
#include "exam_window/install.h"
#include "main_window/install.h"

namespace ledgrin {

int run(int argc, char** argv, const common::PlatformAdjust& adjust) {
    return common::run_program(argc, argv, common::kProgramTitle, adjust, [](const std::string& arguments) {
        main_window::install();
        exam_window::install();
        common::Main(arguments);
    });
}

}  // namespace ledgrin
