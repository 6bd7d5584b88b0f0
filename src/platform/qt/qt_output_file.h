#pragma once
// Qt's writers (the PDF of a printer, QImage::save) made safe with OutputFile: they write into a checked temporary
// file beside the target, which takes the target's name only when it is whole. An earlier file at the path stays as
// it was after any failure, and the message names the file.
#include "platform/output_file.h"
#include "platform/result.h"

#include <QString>

#include <optional>
#include <string>

class QImage;
class QPrinter;

namespace tavola {

// While it lives, a printer that writes a file (a PDF) writes into a temporary file instead; a printer without an
// output file is left alone. finish() puts the file in place and gives the printer its file name back.
class PrinterOutputFile {
public:
    explicit PrinterOutputFile(QPrinter& printer);
    ~PrinterOutputFile();
    PrinterOutputFile(const PrinterOutputFile&) = delete;
    PrinterOutputFile& operator=(const PrinterOutputFile&) = delete;

    // The failure to prepare the file (a missing folder, no room for a new file); nothing should be printed then.
    const Status& begun() const { return begun_; }
    // printed: whether the printing went well. The written file is checked and renamed over the target; a failed
    // print is thrown away. The message names the target.
    Status finish(bool printed);

private:
    QPrinter& printer_;
    QString target_;
    std::optional<OutputFile> file_;
    Status begun_;
};

// Saves the image as a PNG at a real path the same way.
Status savePngSafely(const QImage& image, const std::string& realPath);

} // namespace tavola
