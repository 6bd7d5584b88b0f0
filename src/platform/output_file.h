#pragma once
// Output that another library writes (a PDF from the printer, a PNG from an image), made safe the way every file
// of the program is written: the writer writes into a temporary file beside the target, which is checked for being
// whole and only then renamed over the target. A full disk, a file-size limit or a writer that stops half way
// leaves an earlier file at the path as it was, no temporary file behind, and a message.
//
//     auto out = OutputFile::begin(path, OutputKind::Pdf);   // path: a real path
//     if (!out) return fail(out.message());
//     writer.write(out->writePath());
//     if (Status s = out->finish(); !s) return fail(s.message());
//
// A target that is no regular file (a device such as /dev/full, a pipe) cannot be replaced: the output is written
// to a temporary file in the system's temporary folder and then copied into it, every write checked.
#include "platform/result.h"

#include <string>

namespace tavola {

enum class OutputKind {
    Pdf, // begins "%PDF-" and ends with the "%%EOF" marker
    Png, // the PNG signature and, last, the IEND chunk
};

class OutputFile {
public:
    static Result<OutputFile> begin(const std::string& realTarget, OutputKind kind);
    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&&) = delete;
    OutputFile(const OutputFile&) = delete;
    ~OutputFile();

    // Where the writer is to write (a real path).
    const std::string& writePath() const { return temp_; }
    // Checks the written file and puts it at the target. On failure the target is as it was before.
    Status finish();
    // Gives up: the temporary file is removed.
    void discard();

private:
    OutputFile(std::string target, std::string temp, OutputKind kind, bool replace)
        : target_(std::move(target)), temp_(std::move(temp)), kind_(kind), replace_(replace)
    {
    }
    std::string target_;
    std::string temp_;
    OutputKind kind_;
    bool replace_ = true; // false: copied into a target that is no regular file
};

// "ファイル " + path + " に書き込めませんでした (" + reason + ")", in CP932 as the program's messages are.
std::string outputFailedMessage(const std::string& realPath, const std::string& reason);

} // namespace tavola
