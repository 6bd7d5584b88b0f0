#include "platform/file_lock.h"

#include "platform/line_file.h"
#include "platform/paths.h"
#include "platform/sjis.h"
#include "platform/system_error.h"

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

namespace {

// A lock file every account that may write in the folder can open for writing: the folder's group and its group
// and other write bits, not the umask of whoever came first. Made afresh (never one somebody linked there).
int createLockFile(const std::string& lockPath)
{
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return fd;
    const std::size_t slash = lockPath.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : lockPath.substr(0, slash + 1);
    struct stat dir {};
    mode_t mode = 0644;
    if (::stat(folder.c_str(), &dir) == 0) {
        mode |= dir.st_mode & (S_IWGRP | S_IWOTH);
        // Only a member of the folder's group (or the superuser) may give the file that group; otherwise the
        // write bit for others has to do.
        if (dir.st_gid != ::getegid()) (void)::fchown(fd, static_cast<uid_t>(-1), dir.st_gid);
    }
    (void)::fchmod(fd, mode);
    return fd;
}

bool isPlainFileAt(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode);
}

} // namespace

FileLock::FileLock(const std::string& realPath)
{
    lockPath_ = lockPathOf(writeTarget(realPath).value_or(realPath));
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + filelock::waitLimit();
    auto pause = std::chrono::milliseconds(1);
    // Waits a little before the next try; false when the wait is over.
    auto waitMore = [&]() {
        const auto now = Clock::now();
        if (now >= deadline) return false;
        std::this_thread::sleep_for(
            std::min<Clock::duration>(pause, std::chrono::duration_cast<Clock::duration>(deadline - now)));
        pause = std::min(pause * 2, std::chrono::milliseconds(8));
        return true;
    };
    auto fail = [&](State state, int error) {
        state_ = state;
        error_ = error;
    };
    for (;;) {
        // Opened without waiting (a pipe planted there would wait for a writer) and without following a link.
        int fd = ::open(lockPath_.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        const bool existed = fd >= 0 || errno != ENOENT;
        if (!existed) {
            fd = createLockFile(lockPath_);
            // Another writer made it first (or a link stands there): open what is there.
            if (fd < 0 && errno == EEXIST) {
                if (!waitMore()) {
                    fail(State::Busy, EEXIST);
                    return;
                }
                continue;
            }
        }
        if (fd < 0) {
            const int err = errno;
            if (err == EINTR) continue;
            if (!isPlainFileAt(lockPath_) || err == ELOOP || err == EISDIR || err == ENXIO) {
                fail(State::Invalid, err);
                return;
            }
            // A lock file of another account that this one may not write: one just made, whose mode is set a moment
            // later, or one left by a program that made it for its own account only. Wait for it to go.
            if (existed && (err == EACCES || err == EPERM) && waitMore()) continue;
            fail(State::Failed, err);
            return;
        }
        struct stat mine {};
        if (::fstat(fd, &mine) != 0) {
            const int err = errno;
            ::close(fd);
            fail(State::Failed, err);
            return;
        }
        if (mine.st_nlink == 0) {
            // Removed by its holder after we opened it: open the next one.
            ::close(fd);
            continue;
        }
        // A second name of another file (the data file itself, say) would be unlocked by any close of that file.
        if (!S_ISREG(mine.st_mode) || mine.st_nlink != 1) {
            ::close(fd);
            fail(State::Invalid, 0);
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
            struct stat current {};
            if (::stat(lockPath_.c_str(), &current) == 0 && sameFile(mine, current)) {
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
            fail(State::Failed, err);
            return;
        }
        if (!waitMore()) {
            fail(State::Busy, err);
            return;
        }
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

std::string lockFailedMessage(const FileLock& lock, const std::string& systemPath)
{
    const std::string lockFile = paths::systemPathOf(lock.lockPath()).value_or(lock.lockPath());
    switch (lock.state()) {
    case FileLock::State::Held:
    case FileLock::State::Unlocked:
        return {};
    case FileLock::State::Busy:
        return fileInUseMessage(systemPath);
    case FileLock::State::Invalid:
        return "記録ファイル "_sj + systemPath + " をロックできません。"_sj + lockFile +
               " がふつうのファイルではありません（取り除いてください）"_sj;
    case FileLock::State::Failed:
        break;
    }
    return "記録ファイル "_sj + systemPath + " をロックできません（"_sj + lockFile + ": "_sj +
           systemErrorText(lock.error()) + "）"_sj;
}

} // namespace tavola
