#include "platform/line_file.h"

#include "platform/paths.h"
#include "platform/sjis.h"
#include "platform/system_error.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavola {

Lines splitLines(std::string_view bytes)
{
    Lines lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(bytes.substr(start, i - start));
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < bytes.size()) lines.emplace_back(bytes.substr(start));
    return lines;
}

std::optional<std::string> readWholeFile(const std::string& systemPath)
{
    return readWholeFileAt(paths::realPath(systemPath));
}

BoundedRead readBoundedFileAt(const std::string& real, std::size_t limit)
{
    BoundedRead read;
    // Only a regular file is read: opening a named pipe or a device would wait for a writer for ever. The file
    // is opened without waiting and then looked at, so that nothing can swap it between the look and the read.
    const int fd = ::open(real.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        read.failure = errno == ENOENT || errno == ENOTDIR ? ReadFailure::Missing : ReadFailure::Unreadable;
        return read;
    }
    struct stat st {};
    read.failure = ReadFailure::Unreadable;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        if (static_cast<unsigned long long>(st.st_size) > limit) {
            read.failure = ReadFailure::TooLarge;
        } else {
            std::string buffer;
            buffer.reserve(static_cast<std::size_t>(st.st_size));
            char chunk[65536];
            for (;;) {
                const ssize_t n = ::read(fd, chunk, sizeof chunk);
                if (n == 0) {
                    read.bytes = std::move(buffer);
                    read.failure = ReadFailure::None;
                    break;
                }
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) break;
                // The file grew while it was read.
                if (buffer.size() + static_cast<std::size_t>(n) > limit) {
                    read.failure = ReadFailure::TooLarge;
                    break;
                }
                buffer.append(chunk, static_cast<std::size_t>(n));
            }
        }
    }
    ::close(fd);
    return read;
}

std::optional<std::string> readWholeFileAt(const std::string& real)
{
    return readBoundedFileAt(real, std::numeric_limits<std::size_t>::max()).bytes;
}

BoundedRead readBoundedFile(const std::string& systemPath, std::size_t limit)
{
    return readBoundedFileAt(paths::realPath(systemPath), limit);
}

std::string fileTooLargeMessage(const std::string& systemPath)
{
    return "ファイル "_sj + systemPath + " は大きすぎて読み込めません"_sj;
}

std::string fileFullMessage(const std::string& systemPath)
{
    return "ファイル "_sj + systemPath +
           " はこれ以上大きくできないため、書き込めません。実行記録の「記録消去」で、もう見ない単元の記録を消してください"_sj;
}

namespace {

constexpr char kTempPrefix[] = "~tavola";

// The process number in a name "~tavola<pid>-<n>.<ext>"; 0 for any other name.
long tempOwner(const char* name)
{
    if (std::strncmp(name, kTempPrefix, sizeof kTempPrefix - 1) != 0) return 0;
    const char* p = name + sizeof kTempPrefix - 1;
    char* end = nullptr;
    const long pid = std::strtol(p, &end, 10);
    if (end == p || *end != '-' || pid <= 0) return 0;
    p = end + 1;
    std::strtol(p, &end, 10);
    if (end == p || *end != '.') return 0;
    const std::string ext(end);
    return ext == ".tmp" || ext == ".pdf" || ext == ".png" ? pid : 0;
}

} // namespace

void removeStaleTemporaries(const std::string& folder)
{
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return;
    const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    while (const dirent* entry = ::readdir(dir)) {
        const long pid = tempOwner(entry->d_name);
        if (pid == 0) continue;
        const std::string path = folder + entry->d_name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        const auto age = now - st.st_mtime;
        // A process of that number on this computer may still be writing it; on another computer one may be too,
        // but no write takes an hour.
        const bool ownerGone = ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
        if ((ownerGone && age > 60) || age > 3600) ::unlink(path.c_str());
    }
    ::closedir(dir);
}

std::optional<std::string> writeTarget(const std::string& real)
{
    struct stat st {};
    if (::lstat(real.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return real;
    char* resolved = ::realpath(real.c_str(), nullptr);
    if (resolved == nullptr) return std::nullopt;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

std::optional<Lines> readLineFile(const std::string& systemPath)
{
    BoundedRead read = readBoundedFile(systemPath, kCoursewareFileLimit);
    if (!read.bytes) return std::nullopt;
    return splitLines(*read.bytes);
}

Status writeWholeFile(const std::string& systemPath, std::string_view bytes)
{
    return writeWholeFileAt(paths::realPath(systemPath), bytes);
}

namespace writefault {
namespace {
struct Pending {
    bool armed = false;
    Step step = Step::Write;
    int remaining = 0;
    int error = 0;
};
Pending pending;
} // namespace

void inject(const Fault& fault)
{
    pending = {true, fault.step, fault.nth, fault.error};
}

void clear()
{
    pending = {};
}

bool armed()
{
    return pending.armed;
}

} // namespace writefault

namespace {

// The error the seam makes this step fail with, 0 when it is to run.
int injectedError(writefault::Step step)
{
    auto& p = writefault::pending;
    if (!p.armed || p.step != step || --p.remaining > 0) return 0;
    const int error = p.error;
    writefault::clear();
    return error;
}

// Runs one step of a write: the system call, unless the seam makes it fail first. Returns 0 or the error.
template <class Call> int step(writefault::Step which, Call call)
{
    if (int injected = injectedError(which)) return injected;
    return call() ? 0 : errno;
}

// The pieces a file is written in: the seam counts them, and a full disk shows after any of them.
constexpr std::size_t kWritePiece = 64 * 1024;

} // namespace

Status writeWholeFileAt(const std::string& path, std::string_view bytes)
{
    using writefault::Step;
    ignoreFileSizeSignal();
    // A symbolic link is written through: its target gets the new content and the link stays.
    const std::optional<std::string> target = writeTarget(path);
    if (!target) return Status::failure(systemErrorText(ENOENT));
    const std::string& real = *target;
    // A temporary file of our own in the same folder, created afresh (never one somebody left or linked there),
    // with the permissions of the file it replaces. Its name is short whatever the final name's length, so that a
    // name that fits the folder can always be written.
    struct stat old {};
    const bool replacing = ::stat(real.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    const std::size_t slash = real.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : real.substr(0, slash + 1);
    std::string temp;
    int fd = -1;
    int err = step(Step::Create, [&] {
        for (int attempt = 0; attempt < 100; ++attempt) {
            temp = folder + "~tavola" + std::to_string(::getpid()) + "-" + std::to_string(attempt) + ".tmp";
            // A copy of a file being replaced is no more open to others than the file itself, even for the moment
            // before its mode is set (a learner file holds a password).
            fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, replacing ? 0600 : 0666);
            if (fd >= 0 || errno != EEXIST) break;
        }
        return fd >= 0;
    });
    if (err != 0) return Status::failure(systemErrorText(err));
    if (replacing) (void)::fchmod(fd, old.st_mode & 07777);

    for (std::size_t done = 0; err == 0 && done < bytes.size();) {
        const std::size_t n = std::min(kWritePiece, bytes.size() - done);
        ssize_t written = 0;
        err = step(Step::Write, [&] {
            do
                written = ::write(fd, bytes.data() + done, n);
            while (written < 0 && errno == EINTR);
            if (written == 0) errno = ENOSPC; // nothing taken: the device is full
            return written > 0;
        });
        if (err == 0) done += static_cast<std::size_t>(written);
    }
    // The bytes reach the disk before the new file takes the old one's name; a file system that cannot sync
    // (EINVAL) has nothing to flush.
    if (err == 0) err = step(Step::Flush, [&] { return ::fsync(fd) == 0 || errno == EINVAL; });
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0) err = step(Step::Rename, [&] { return std::rename(temp.c_str(), real.c_str()) == 0; });
    if (err != 0) {
        ::unlink(temp.c_str());
        return Status::failure(systemErrorText(err));
    }
    return {};
}

Status writeLineFile(const std::string& systemPath, const Lines& lines)
{
    std::string bytes;
    std::size_t total = 0;
    for (const auto& line : lines)
        total += line.size() + 2;
    bytes.reserve(total);
    for (const auto& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return writeWholeFile(systemPath, bytes);
}

} // namespace tavola
