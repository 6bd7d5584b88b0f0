// Master files: the bytes of a .que file split into lines, every record read as the unit reader reads it in each
// mode and with all its blocks as the editor takes them, a second unit added to the first, and the layout settings
// taken from what was read.
#include "fuzz_support.h"

#include "courseware/index_file.h"
#include "question/master_file.h"
#include "question/unit_reader.h"
#include "question/unit_settings.h"

using namespace tavola;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes = fuzz::bytesOf(data, size);
    const std::string path = fuzz::writeScratch("Bun1.que", bytes);
    const Lines lines = splitLines(bytes);
    for (const char* marker : {"[[unit1", "[[unit2", "[[unit1R1", "[[unitX"})
        if (auto at = findRecord(lines, marker)) {
            (void)readRecord(lines, *at, path);
            (void)recordBlocks(lines, *at);
        }
    for (int u = 1; u <= 3; ++u)
        (void)similarProblemsPresent(lines, u);

    UnitReader reader;
    for (ReadMode mode : {ReadMode::OpenUnit, ReadMode::OpenCopy, ReadMode::OpenCopy3}) {
        ReadRequest request;
        request.path = path;
        request.marker = mode == ReadMode::OpenUnit ? "[[unit1" : "[[unitX";
        request.position = {1, 1, 1, 0};
        request.mode = mode;
        if (reader.read(request)) (void)unitSettings(reader.unit());
    }
    ReadRequest first;
    first.path = path;
    first.marker = "[[unit1";
    first.position = {1, 1, 1, 0};
    if (reader.read(first)) {
        UnitData sheet = reader.unit();
        ReadRequest add = first;
        add.marker = "[[unit2";
        add.position = {1, 1, 2, 0};
        add.mode = ReadMode::AddUnit;
        if (UnitReader::checkCanAdd(sheet)) (void)reader.addUnit(sheet, add);
        (void)unitSettings(sheet).layoutBlockLines();
    }
    Lines edited = lines;
    (void)removeRecord(edited, "[[unit1");
    return 0;
}
