// A learner's program in a classroom, for the tests of one learner file written by many programs at once:
//     records_writer append FILE SECTION COUNT   writes COUNT records as the practice window does
//     records_writer erase FILE SECTION COUNT    erases the section COUNT times, a little apart
//     records_writer hold FILE MILLISECONDS      takes the file's lock, prints "held", keeps it that long
// Exits 0 when every write succeeded, 1 otherwise (with the message on stderr); append prints "waiting N", the
// records told as failed and still kept when it ends. TAVOLA_LOCK_WAIT_MS shortens the wait for the lock.
#include "platform/file_lock.h"
#include "platform/paths.h"
#include "platform/sjis.h"
#include "practice/learning_records.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <unistd.h>

using namespace tavola;

int main(int argc, char** argv)
{
    if (argc < 4) return 2;
    const std::string mode = argv[1];
    const std::string file = argv[2];
    if (const char* wait = std::getenv("TAVOLA_LOCK_WAIT_MS"))
        filelock::setWaitLimit(std::chrono::milliseconds(std::atoi(wait)));
    if (mode == "hold") {
        FileLock lock(paths::realPath(file));
        if (lock.state() != FileLock::State::Held) return 1;
        std::printf("held\n");
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(argv[3])));
        return 0;
    }
    if (argc < 5) return 2;
    const std::string section = argv[3];
    const int count = std::stoi(argv[4]);
    int failures = 0;
    PendingRecords writer;
    for (int i = 0; i < count; ++i) {
        Status done;
        if (mode == "append") {
            PracticeRecord record{{2026, 3, 5, 9, 7, 0}, 0, "01", 1 + i % 4, 4, 25 * (1 + i % 4), ::getpid() % 1000};
            done = writer.write(file, section, record);
        } else if (mode == "erase") {
            done = eraseRecords(file, section);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        } else {
            return 2;
        }
        if (!done) {
            ++failures;
            std::fprintf(stderr, "%s\n", sjis::toUtf8(done.message()).c_str());
        }
    }
    if (mode == "append") std::printf("waiting %zu\n", writer.waiting());
    return failures == 0 && writer.waiting() == 0 ? 0 : 1;
}
