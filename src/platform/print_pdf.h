#pragma once
// A PDF document sent where the print dialog said: to a printer of the print system
// (CUPS), with the copies, sides and colour chosen there, or into the file it named.
class QByteArray;
class QPrinter;
class QString;

namespace platform {

// False when the print system refuses the job or the document cannot be sent whole.
bool print_pdf_on_cups(const QPrinter& printer, const QString& title, const QByteArray& pdf);

// Writes the file whole through a temporary file and a rename; false when it cannot.
bool write_pdf_file(const QString& path, const QByteArray& pdf);

}  // namespace platform
