#pragma once
// Printing without a dialog, straight into a PDF file, for tests of the real browser panes:
// platform::make_webengine_browsers(fakes::print_to_pdf(path)).
#include <QPrinter>
#include <QString>
#include <string>

#include "platform/backends.h"

namespace fakes {

inline platform::PrinterChoice print_to_pdf(const std::string& path) {
    return [path](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(path));
        return true;
    };
}

}  // namespace fakes
