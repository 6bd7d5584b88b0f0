#pragma once
// Text files read and written whole as lists of lines (master, copy, index and name files).
// Reading: CR, LF and CR LF each end a line; a final line end does not start another line.
// Writing: every line followed by CR LF, into a temporary file in the same folder that is then renamed over the
// old one, so that a crash or a full disk never leaves half a file.
#include "platform/result.h"

#include <cerrno>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavola {

using Lines = std::vector<std::string>;

Lines splitLines(std::string_view bytes);

// Reads the file at a path of the system (see paths.h); nullopt when it cannot be opened or is larger than
// kCoursewareFileLimit (checked before anything is read).
std::optional<Lines> readLineFile(const std::string& systemPath);

// Reads the whole file as bytes; nullopt when it cannot be opened.
std::optional<std::string> readWholeFile(const std::string& systemPath);

// Writes the lines with CR LF ends. On failure the old file is left as it was and the message says why
// (systemErrorText; callers name the file).
Status writeLineFile(const std::string& systemPath, const Lines& lines);

// Writes bytes whole and safely (temporary file renamed over the old one).
Status writeWholeFile(const std::string& systemPath, std::string_view bytes);

// The same for files outside the courseware (the settings) named by their real path, which need not be
// expressible in CP932.
std::optional<std::string> readWholeFileAt(const std::string& realPath);
Status writeWholeFileAt(const std::string& realPath, std::string_view bytes);

// Reads a file that may not be larger than limit bytes (learner data files and name lists, which other programs
// and hand edits can make arbitrarily large). The size is checked before anything is read.
enum class ReadFailure { None, Missing, Unreadable, TooLarge };
struct BoundedRead {
    std::optional<std::string> bytes;
    ReadFailure failure = ReadFailure::None;
};
BoundedRead readBoundedFileAt(const std::string& realPath, std::size_t limit);
BoundedRead readBoundedFile(const std::string& systemPath, std::size_t limit);
// The largest learner data file or name list read: 16 MiB, some 200,000 records.
inline constexpr std::size_t kLearnerFileLimit = 16u * 1024 * 1024;
// The largest courseware file read (a master, index or copy file, a figure): 64 MiB, far above any real one, so
// that a damaged or hostile file is refused before it fills the memory.
inline constexpr std::size_t kCoursewareFileLimit = 64u * 1024 * 1024;
// "ファイル " + path + " は大きすぎて読み込めません".
std::string fileTooLargeMessage(const std::string& systemPath);
// A write that would take a learner file past kLearnerFileLimit, with what to do about it (erase old records in
// the records viewer).
std::string fileFullMessage(const std::string& systemPath);

// Removes from a folder (a real path ending in "/") the temporary files that writers of this program left when
// they were killed half way: files named as writeWholeFileAt names them whose process no longer runs on this
// computer and that are older than a minute, or any of them older than an hour (another computer's). Whole copies
// of learner files, passwords included, do not stay behind for long.
void removeStaleTemporaries(const std::string& realFolder);

// Where a write to a real path goes: the final target of a symbolic link (so the link stays a link and its target
// gets the new content), the path itself otherwise; nullopt for a link whose target cannot be found.
std::optional<std::string> writeTarget(const std::string& realPath);

// A write past the process's file-size limit fails with EFBIG instead of ending the program (SIGXFSZ is ignored).
// The writers here call it; so may any other writer.
void ignoreFileSizeSignal();

// A seam for tests: makes a step of the coming file writes fail the way a full disk or a refusing file system
// makes it fail. The n-th time the step runs (counted over all writes from the call on) it fails with the error
// given, and the seam disarms. A file is written in pieces of 64 KiB, each one a write step.
namespace writefault {
enum class Step { Create, Write, Flush, Rename };
struct Fault {
    Step step = Step::Write;
    int nth = 1;
    int error = ENOSPC; // no space left on the device
};
void inject(const Fault& fault);
void clear();
// True while a fault waits for its step.
bool armed();
} // namespace writefault

} // namespace tavola
