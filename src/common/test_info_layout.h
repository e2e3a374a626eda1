#pragma once
// The examination confirmation "試験内容の確認" as both programs lay it out: the frame with
// the examination's name and start, the three notes and the two buttons. Each program's
// dialog class holds the controls (as a base) and wires its own buttons and window.
#include "common/forms.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace common {

struct TestInfoControls {
    QGroupBox* Frame1 = nullptr;
    QLabel* Label1[2] = {};
    QLabel* lblShikenName = nullptr;  // the examination name, written by the caller
    QLabel* lblStartTime = nullptr;   // the start date and time, written by the caller
    QLabel* lblMsg[3] = {};           // the notes, written by the load
    // The names run against the captions: OKButton declines, CancelButton accepts.
    QPushButton* OKButton = nullptr;      // "やり直し"
    QPushButton* CancelButton = nullptr;  // "続行"
};

// Inner size of the dialog in twips.
inline constexpr double kTestInfoWidth = 6030;
inline constexpr double kTestInfoHeight = 4950;

// Caption, font and every control of the dialog, the buttons at the given tops (twips);
// OKButton comes first in the tab order and has the focus.
void lay_out_test_info(Form& dialog, TestInfoControls& controls, double ok_top, double cancel_top);

// Writes the three notes into lblMsg; the design holds a placeholder until then.
void write_test_info_notes(TestInfoControls& controls);

}  // namespace common
