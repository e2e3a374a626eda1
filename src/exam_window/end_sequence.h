#pragma once

namespace exam_window {

class frmKaikei;

// Ends the examination: marks, shows the result page in the main window, records and
// uploads the result, then unloads the examination window. Runs once per program run.
void end_syori(frmKaikei& form);

}  // namespace exam_window
