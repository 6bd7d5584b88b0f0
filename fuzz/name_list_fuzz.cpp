// Name lists and passwords: the bytes as a name list file opened by the name window, each of its lines tried as a
// learner name and added, entries removed, the list saved under another name; and the bytes as a learner data
// file whose password is asked for, checked against the first two lines as typed.
#include "fuzz_support.h"

#include "app/learner_files.h"

using namespace tavola;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes = fuzz::bytesOf(data, size);
    const Lines lines = splitLines(bytes);

    NameList list;
    (void)list.open(fuzz::writeScratch("LogOn/sname.txt", bytes));
    for (const std::string& name : lines) {
        (void)learnerNameProblem(name);
        (void)list.add(name);
        (void)list.add(name + "x");
    }
    for (std::size_t i = 0; i < lines.size() && i < 4; ++i)
        list.remove(static_cast<int>(lines[i].size() % (list.names().size() + 2)) - 1);
    if (list.saveEnabled()) (void)list.saveAs(fuzz::scratchFolder() + "LogOn/other.txt");

    const std::string stored = storedPassword(fuzz::writeScratch("les/learner.ini", bytes));
    const std::string typed = lines.empty() ? std::string() : lines.front();
    const std::string again = lines.size() < 2 ? std::string() : lines[1];
    for (const std::string& candidate : {stored, typed})
        (void)passwordMessage(checkPassword(typed, candidate == stored ? again : candidate, stored));
    return 0;
}
