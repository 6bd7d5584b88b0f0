// New numbers for problem lines: the bytes as the lines of a unit, varied for two copies. Beside not crashing, every
// variant must hold what the generator promises: a line that changed keeps the shape of its first calculation and
// that calculation's first answer is its value.
#include "fuzz_support.h"

#include "platform/line_file.h"
#include "variant/problem_text.h"
#include "variant/variant_generator.h"

#include <cstdlib>

using namespace tavola;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A unit holds at most 60 problem lines.
    Lines lines = splitLines(fuzz::bytesOf(data, size));
    if (lines.size() > 60) lines.resize(60);
    for (const std::string& line : lines) {
        (void)variant::firstAnswerDisagreement(line);
        (void)variant::problemKey(line);
    }
    for (int copy : {2, 3}) {
        const Lines page = variant::variantLines(lines, "fuzz.que-U1", copy);
        if (page.size() != lines.size()) std::abort();
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (page[i] == lines[i]) continue;
            // A story line changes with its formula; a line with a calculation keeps its shape and its right answer.
            if (variant::firstAnswerDisagreement(page[i])) std::abort();
            if (variant::shapeOf(page[i]) != variant::shapeOf(lines[i])) std::abort();
        }
    }
    return 0;
}
