#include "platform/output_file.h"

#include "platform/line_file.h"
#include "platform/paths.h"
#include "platform/sjis.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavola {
namespace {

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A new temporary file in a folder, made by us (never one somebody left or linked there); its name is short
// whatever the target's length.
Result<std::string> makeTemporary(const std::string& folder, const char* suffix)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = folder + "~tavola" + std::to_string(::getpid()) + "-" + std::to_string(attempt) + suffix;
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return temp;
        }
        if (errno != EEXIST) return Result<std::string>::failure(std::strerror(errno));
    }
    return Result<std::string>::failure(std::strerror(EEXIST));
}

// Whether the file's bytes are a whole file of the kind: its head and its end as the format makes them.
bool looksWhole(const std::string& bytes, OutputKind kind)
{
    if (kind == OutputKind::Pdf) {
        if (bytes.compare(0, 5, "%PDF-") != 0) return false;
        // The marker is the last line; only line ends and blanks may follow it.
        const std::size_t tail = bytes.size() > 1024 ? bytes.size() - 1024 : 0;
        const std::size_t eof = bytes.rfind("%%EOF");
        return eof != std::string::npos && eof >= tail &&
               bytes.find_first_not_of(" \r\n\t", eof + 5) == std::string::npos;
    }
    static const char signature[] = "\x89PNG\r\n\x1a\n";
    static const char iend[] = "IEND\xae\x42\x60\x82";
    return bytes.size() >= 8 + 12 && bytes.compare(0, 8, signature, 8) == 0 &&
           bytes.compare(bytes.size() - 8, 8, iend, 8) == 0;
}

// Writes all of bytes into an open file; 0 or the error.
int writeAll(int fd, const std::string& bytes)
{
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return ENOSPC;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

} // namespace

std::string outputFailedMessage(const std::string& realPath, const std::string& reason)
{
    return "ファイル "_sj + paths::systemPathOf(realPath).value_or(realPath) + " に書き込めませんでした ("_sj + reason +
           ")";
}

Result<OutputFile> OutputFile::begin(const std::string& target, OutputKind kind)
{
    // A writer past the file-size limit gets an error instead of ending the program.
    ignoreFileSizeSignal();
    const char* suffix = kind == OutputKind::Pdf ? ".pdf" : ".png";
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    const bool replace = !exists || S_ISREG(st.st_mode);
    std::string folder;
    if (replace) {
        // A symbolic link stays a link: its target gets the new file.
        auto resolved = writeTarget(target);
        if (!resolved) return Result<OutputFile>::failure(outputFailedMessage(target, std::strerror(ENOENT)));
        folder = folderOf(*resolved);
        auto temp = makeTemporary(folder, suffix);
        if (!temp) return Result<OutputFile>::failure(outputFailedMessage(target, temp.message()));
        return OutputFile(*resolved, *temp, kind, true);
    }
    const char* tmpdir = std::getenv("TMPDIR");
    folder = tmpdir != nullptr && *tmpdir != '\0' ? std::string(tmpdir) + "/" : std::string("/tmp/");
    auto temp = makeTemporary(folder, suffix);
    if (!temp) return Result<OutputFile>::failure(outputFailedMessage(target, temp.message()));
    return OutputFile(target, *temp, kind, false);
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : target_(std::move(other.target_)), temp_(std::move(other.temp_)), kind_(other.kind_), replace_(other.replace_)
{
    other.temp_.clear();
}

OutputFile::~OutputFile()
{
    discard();
}

void OutputFile::discard()
{
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

Status OutputFile::finish()
{
    if (temp_.empty()) return Status::failure(outputFailedMessage(target_, std::strerror(ENOENT)));
    auto fail = [&](const std::string& reason) {
        discard();
        return Status::failure(outputFailedMessage(target_, reason));
    };
    // What the writer left, read back whole: a writer that met a full disk stopped before the format's end.
    auto bytes = readWholeFileAt(temp_);
    if (!bytes) return fail(std::strerror(EIO));
    if (!looksWhole(*bytes, kind_)) return fail("途中で書けなくなりました"_sj);
    if (!replace_) {
        const int fd = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) return fail(std::strerror(errno));
        int err = writeAll(fd, *bytes);
        if (::close(fd) != 0 && err == 0) err = errno;
        if (err != 0) return fail(std::strerror(err));
        discard();
        return {};
    }
    const int fd = ::open(temp_.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return fail(std::strerror(errno));
    int err = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err != 0) return fail(std::strerror(err));
    struct stat old {};
    if (::stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode)) (void)::chmod(temp_.c_str(), old.st_mode & 07777);
    if (std::rename(temp_.c_str(), target_.c_str()) != 0) return fail(std::strerror(errno));
    temp_.clear();
    return {};
}

} // namespace tavola
