#include "install.h"

#include "common/windows.h"
#include "frm_kaikei.h"

namespace exam_window {

void install() {
    common::windows().exam_window = []() -> common::ExamWindowApi& { return kaikei().get(); };
}

}  // namespace exam_window
