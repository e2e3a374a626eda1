#include "print_pdf.h"

#include <QByteArray>
#include <algorithm>
#include <QPrinter>
#include <QSaveFile>
#include <QString>
#include <string>

#include <cups/cups.h>

namespace platform {

namespace {

// The options of one job, freed with it.
class JobOptions {
public:
    ~JobOptions() { cupsFreeOptions(count_, options_); }
    void add(const char* name, const std::string& value) {
        count_ = cupsAddOption(name, value.c_str(), count_, &options_);
    }
    int count() const { return count_; }
    cups_option_t* get() const { return options_; }

private:
    int count_ = 0;
    cups_option_t* options_ = nullptr;
};

const char* sides(const QPrinter& printer) {
    switch (printer.duplex()) {
        case QPrinter::DuplexNone: return "one-sided";
        case QPrinter::DuplexLongSide: return "two-sided-long-edge";
        case QPrinter::DuplexShortSide: return "two-sided-short-edge";
        case QPrinter::DuplexAuto:
            return printer.pageLayout().orientation() == QPageLayout::Landscape ? "two-sided-short-edge"
                                                                               : "two-sided-long-edge";
    }
    return "one-sided";
}

}  // namespace

bool print_pdf_on_cups(const QPrinter& printer, const QString& title, const QByteArray& pdf) {
    // "name/instance" names an instance of a destination; the job goes to the destination.
    const std::string name = printer.printerName().section(QLatin1Char('/'), 0, 0).toStdString();
    if (name.empty()) return false;
    const std::string job_title = title.isEmpty() ? std::string("print") : title.toStdString();
    JobOptions options;
    options.add("copies", std::to_string(std::max(1, printer.copyCount())));
    if (printer.collateCopies()) options.add("collate", "true");
    options.add("sides", sides(printer));
    if (printer.colorMode() == QPrinter::GrayScale) options.add("print-color-mode", "monochrome");

    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, name.c_str(), job_title.c_str(), options.count(), options.get());
    if (job <= 0) return false;
    // A job that cannot be sent whole is taken back, so no half document is printed.
    bool sent = cupsStartDocument(CUPS_HTTP_DEFAULT, name.c_str(), job, job_title.c_str(), CUPS_FORMAT_PDF, 1) ==
                HTTP_STATUS_CONTINUE;
    sent = sent && cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData(), static_cast<size_t>(pdf.size())) ==
                       HTTP_STATUS_CONTINUE;
    const bool finished = cupsFinishDocument(CUPS_HTTP_DEFAULT, name.c_str()) == IPP_STATUS_OK;
    if (sent && finished) return true;
    cupsCancelJob2(CUPS_HTTP_DEFAULT, name.c_str(), job, 0);
    return false;
}

bool write_pdf_file(const QString& path, const QByteArray& pdf) {
    if (path.isEmpty()) return false;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return false;
    if (out.write(pdf) != pdf.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

}  // namespace platform
