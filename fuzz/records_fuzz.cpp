// Learning records: the bytes as a learner data file whose records are read, counted, listed for the records
// window and charted, a record appended and a section erased; every line read as a record line; and a record made
// from the input's numbers written as a line and read back.
#include "fuzz_support.h"

#include "practice/learning_records.h"
#include "practice/records_view.h"

#include <cstring>

using namespace tavola;

namespace {

int numberAt(std::string_view bytes, std::size_t at)
{
    int value = 0;
    if (bytes.size() >= at + sizeof value) std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes = fuzz::bytesOf(data, size);
    static const bool made = [] {
        fuzz::writeOneLessonCourseware();
        fuzz::writeScratch("l/l.ind", "t\r\n[[sect1\r\ns\r\n<<\r\nu1\r\nu2\r\n>>\r\n]]\r\n");
        fuzz::writeScratch("l/copy.prp", "");
        return true;
    }();
    (void)made;
    const std::string file = fuzz::writeScratch("l/learner.ini", bytes);

    // The section named by the input's first bracket as well as the fixed ones.
    const std::string named = fuzz::firstBracketed(bytes, "S111");
    const std::vector<std::string> records = readRecords(file, named);
    (void)recordMemoLines(file, "S111");
    (void)countRecords(file, named);
    (void)scorePoints(records);
    for (const std::string& line : splitLines(bytes))
        (void)parseRecordLine(line);
    (void)scorePoints(splitLines(bytes));

    CoursewareIndex index(fuzz::scratchFolder());
    if (index.readMainIndex()) {
        (void)unitRecordTarget(index, {1, 1, 1, 0});
        (void)buildRecordsList(index, 1, file);
    }

    PracticeRecord record;
    record.when = {numberAt(bytes, 0),  numberAt(bytes, 4),  numberAt(bytes, 8),
                   numberAt(bytes, 12), numberAt(bytes, 16), 0};
    record.similar = numberAt(bytes, 20);
    record.correct = numberAt(bytes, 24);
    record.total = numberAt(bytes, 28);
    record.score = numberAt(bytes, 32);
    record.seconds = numberAt(bytes, 36);
    record.trail = std::string(bytes.substr(0, std::min<std::size_t>(bytes.size(), 16)));
    (void)parseRecordLine(recordLine(record));
    (void)appendRecord(file, named, record);
    (void)eraseRecords(file, named);
    (void)eraseRecords(file, kPasswordSection);
    return 0;
}
