// Problem lines through the markup splitter, the drawing pass and the expression renderer, on the recording
// canvas at screen and at printer scale. The first byte chooses the character size and the answer-box shape;
// the rest is the lines.
#include "fuzz_support.h"

#include "question/markup.h"
#include "render/draw_math.h"
#include "support/recording_canvas.h"
#include "worksheet/drawing_pass.h"
#include "worksheet/worksheet.h"

using namespace tavola;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::uint8_t choice = data[0];
    const std::string_view bytes = fuzz::bytesOf(data + 1, size - 1);
    UnitData unit;
    unit.problemLines = splitLines(bytes);
    if (unit.problemLines.size() > 60) unit.problemLines.resize(60); // the reader's limit
    unit.title = unit.problemLines.empty() ? std::string() : unit.problemLines.front();
    unit.shortKey = "Bun1.que-U1";
    for (const std::string& line : unit.problemLines) {
        const markup::SplitLine split = markup::splitLine(line);
        for (const std::string& segment : split.segments) {
            (void)markup::splitAnswer(segment);
            for (const std::string& token : markup::splitSegment(segment))
                (void)markup::classify(token);
        }
    }

    Worksheet sheet = makeWorksheet(unit, (choice & 1) != 0);
    sheet.settings.characterSize = 6 + (choice >> 2) % 48;
    sheet.settings.answerBox.shape = (choice >> 1) % 6;
    DrawOptions options;
    options.alternativeAnswers = (choice & 2) != 0;
    FixedClock clock{DateTime{2005, 3, 5, 9, 7, 0}};
    options.clock = &clock;
    test::RecordingCanvas screen;
    const PageLayout screenPage = drawPage(sheet, screen, options);
    options.screen = &screenPage;
    test::RecordingCanvas printer(4725, 6803, true, 600);
    (void)drawPage(sheet, printer, options);

    // The renderer alone, as the practice window uses it for typed answers.
    test::RecordingCanvas answers;
    for (std::size_t i = 0; i < unit.problemLines.size() && i < 4; ++i)
        (void)render::DrawMath(screenPage.context, sheet.settings.characterSize, 10, 10, 1.0, answers,
                               unit.problemLines[i], colours::Red);
    return 0;
}
