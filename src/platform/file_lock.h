#pragma once
// One writer at a time per file, across processes and machines. A file that several programs rewrite (a learner
// data file that a whole class writes on a shared drive) is read, changed and written back while an exclusive POSIX
// record lock is held on a lock file beside it, "<name>.lock" in the same folder. The data file itself cannot carry
// the lock, because every write replaces it by a new file.
//
// The lock belongs to the process: the system releases it when the process ends, however it ends, so a crash never
// leaves a file locked. The lock file is removed when the lock is given back; one left behind by a crash holds no
// lock and is taken over by the next writer. Whoever gets the lock checks that the lock file it holds is still the
// one in the folder (a holder may have removed it meanwhile) and otherwise tries again.
//
// Every account that may write the data file must be able to take its lock: a lock file is made with the folder's
// group and write bits (a class folder 0777 or 2775 gives a lock file every pupil's account can open for writing),
// whatever the writer's umask. Anything at the lock path that is not a plain file of its own (a folder, a symbolic
// link, a pipe, a socket, a second name of another file) is refused, never passed by: a write without the lock
// would lose other writers' records in silence, and anyone who can write in the folder could plant such a thing.
//
// Record locks work on local disks and on NFS and SMB mounts that pass locks to the server. A file system that
// has no locks at all (ENOLCK, an old NFS without its lock service) is written without one (State::Unlocked), as
// a single computer always was.
//
// Record locks are per process: one process must not hold two FileLocks on one file (closing either releases both).
#include <chrono>
#include <string>

namespace tavola {

class FileLock {
public:
    enum class State {
        Held,     // the lock is ours
        Unlocked, // the file system has no locks: go on without one
        Busy,     // another program held it for the whole wait
        Failed,   // the lock file could not be made or opened (a read-only or missing folder, another account's)
        Invalid,  // something that is not a plain file of its own stands at the lock path
    };

    // Takes the lock of the file at a real path (a symbolic link's target is locked, not the link), waiting up to
    // waitLimit() for another holder to let go.
    explicit FileLock(const std::string& realPath);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    State state() const { return state_; }
    // The system's error number of a Failed lock.
    int error() const { return error_; }
    // The real path of the lock file.
    const std::string& lockPath() const { return lockPath_; }
    // The lock file of a real path: "<name>.lock" beside it, or a short name of the same folder made from the
    // name when that would be longer than a file name may be.
    static std::string lockPathOf(const std::string& realPath);

private:
    std::string lockPath_;
    int fd_ = -1;
    State state_ = State::Failed;
    int error_ = 0;
};

// How long a writer waits for the lock before it gives up (a few seconds: a write takes milliseconds). A seam for
// tests, which shorten it.
namespace filelock {
std::chrono::milliseconds waitLimit();
void setWaitLimit(std::chrono::milliseconds limit);
inline constexpr std::chrono::milliseconds kDefaultWait{5000};
} // namespace filelock

// "記録ファイルが使用中です: " + the file (CP932).
std::string fileInUseMessage(const std::string& systemPath);
// Why a lock that is not Held or Unlocked could not be taken, naming the data file (a system path) and, when it is
// to blame, the lock file: busy, the lock file not a plain file, or the system's reason; empty for Held and Unlocked.
std::string lockFailedMessage(const FileLock& lock, const std::string& systemPath);

} // namespace tavola
