// Copy files (.prp): read through the unit reader as a new worksheet, and written back from that worksheet.
#include "fuzz_support.h"

#include "question/copy_file.h"
#include "question/unit_reader.h"
#include "worksheet/worksheet.h"

using namespace tavola;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzz::writeScratch("copy.prp", fuzz::bytesOf(data, size));
    UnitReader reader;
    if (!readCopyFile(reader, path)) return 0;
    const Worksheet sheet = makeWorksheet(reader.unit(), true);
    const Lines written = copyRecordLines(copyRecordOf(sheet));
    // What was written reads back.
    const std::string again = fuzz::writeScratch("again.prp", "");
    if (writeLineFile(again, written)) {
        UnitReader second;
        (void)readCopyFile(second, again);
    }
    return 0;
}
