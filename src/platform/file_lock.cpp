#include "platform/file_lock.h"

#include "platform/line_file.h"
#include "platform/sjis.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace tavola {
namespace filelock {
namespace {
std::chrono::milliseconds limit = kDefaultWait;
}

std::chrono::milliseconds waitLimit()
{
    return limit;
}

void setWaitLimit(std::chrono::milliseconds l)
{
    limit = l;
}

} // namespace filelock

namespace {

// Longest file name the file systems we write to take (NAME_MAX of ext4, NFS and SMB).
constexpr std::size_t kNameMax = 255;

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

std::string FileLock::lockPathOf(const std::string& realPath)
{
    const std::size_t slash = realPath.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : realPath.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? realPath : realPath.substr(slash + 1);
    if (name.size() + 5 <= kNameMax) return folder + name + ".lock";
    // FNV-1a of the name: every writer of one file comes to the same short name.
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : name) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
    return folder + ".~" + hex + ".lock";
}

FileLock::FileLock(const std::string& realPath)
{
    lockPath_ = lockPathOf(writeTarget(realPath).value_or(realPath));
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + filelock::waitLimit();
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        // A lock file planted as a link elsewhere is not followed.
        const int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0) {
            if (errno == EINTR) continue;
            state_ = State::Failed;
            return;
        }
        struct flock request {};
        request.l_type = F_WRLCK;
        request.l_whence = SEEK_SET;
        int result;
        do
            result = ::fcntl(fd, F_SETLK, &request);
        while (result != 0 && errno == EINTR);
        if (result == 0) {
            // The holder before us may have removed the lock file after we opened it: then ours locks nothing.
            struct stat mine {};
            struct stat current {};
            if (::fstat(fd, &mine) == 0 && ::stat(lockPath_.c_str(), &current) == 0 && sameFile(mine, current)) {
                fd_ = fd;
                state_ = State::Held;
                return;
            }
            ::close(fd);
            continue;
        }
        const int err = errno;
        ::close(fd);
        if (err == ENOLCK || err == EOPNOTSUPP || err == ENOSYS) {
            // No locks on this file system: the write goes on as it always did.
            state_ = State::Unlocked;
            return;
        }
        if (err != EACCES && err != EAGAIN && err != ESTALE) {
            state_ = State::Failed;
            return;
        }
        const auto now = Clock::now();
        if (now >= deadline) {
            state_ = State::Busy;
            return;
        }
        std::this_thread::sleep_for(
            std::min<Clock::duration>(pause, std::chrono::duration_cast<Clock::duration>(deadline - now)));
        pause = std::min(pause * 2, std::chrono::milliseconds(8));
    }
}

FileLock::~FileLock()
{
    if (fd_ < 0) return;
    // Removed while still held, so that whoever opened it meanwhile sees it gone and tries again.
    ::unlink(lockPath_.c_str());
    ::close(fd_);
}

std::string fileInUseMessage(const std::string& systemPath)
{
    return "記録ファイルが使用中です: "_sj + systemPath;
}

} // namespace tavola
