// The editors: the bytes as the lines of the master file editor's areas (problem text checked, answers extracted,
// the selection list made, numbering, enclosing, figures, the layout check), as a master file loaded into the
// editor and saved back with a similar problem, and as a sub-index loaded into the index editor, its items listed,
// added to, renamed and saved.
#include "fuzz_support.h"

#include "authoring/index_editor.h"
#include "authoring/master_editor.h"

using namespace tavola;

namespace {

void editAreas(const Lines& lines)
{
    Lines ques = lines;
    const TextCheck check = checkProblemText(ques);
    const Lines answers = extractAnswers(ques);
    for (bool digits : {false, true}) {
        for (bool labels : {false, true}) {
            Lines kgroup = selectionFromAnswers(answers, digits, labels);
            addDummyAnswers(kgroup, lines);
            (void)selectionCharacterCount(kgroup);
        }
    }
    if (!check.ok && check.line >= 0 && static_cast<std::size_t>(check.line) < ques.size())
        (void)trimAnswer(ques[static_cast<std::size_t>(check.line)]);
    numberProblems(ques);
    for (Enclosure kind : {Enclosure::AnswerBox, Enclosure::Underline, Enclosure::Bold, Enclosure::Italic})
        (void)enclose(lines.empty() ? std::string() : lines.front(), kind);
    Lines figures;
    std::vector<Point> positions;
    for (std::size_t i = 0; i < lines.size() && i < 40; ++i)
        // Positions far off the page, either sign: the product wraps as an unsigned number does.
        positions.push_back({static_cast<int>(static_cast<std::uint32_t>(lines[i].size()) * 1000003u),
                             -static_cast<int>(i)});
    (void)addFigures(figures, lines, positions);
    (void)checkLayoutBlocks(lines);
}

void editMasterFile(const CoursewareIndex& index, std::string_view bytes, const Lines& lines)
{
    fuzz::writeScratch("l/l1.que", bytes);
    MasterEditor editor;
    const int unit = lines.empty() ? 1 : static_cast<int>(lines.front().size() % 3);
    editor.load(index, {1, 1, unit, 0}, lines);
    (void)editor.linesWithUnit();
    if (auto similar = editor.nextSimilar()) editor.takeSimilar(*similar);
    (void)editor.save();
    editor.load(index, {1, 1, unit, 1}, {});
    editor.areas.ques = lines;
    editor.areas.pasteLo = lines;
    (void)editor.save();
    editor.cancel();
}

void editSubIndex(std::string_view bytes, const Lines& lines)
{
    fuzz::writeScratch("l/l.ind", bytes);
    IndexEditor editor;
    if (!editor.readLessons(fuzz::scratchFolder())) return;
    editor.loadLesson(1);
    const int items = static_cast<int>(editor.items().size());
    // The first items, the last and one past it: each master file looked for is a visit to the file system, and
    // the items between behave as the first do.
    for (int k : {0, 1, 2, items, items + 1}) {
        (void)editor.subItemsOf(k);
        (void)editor.masterFileOf(k);
    }
    const std::string text = lines.empty() ? std::string("x") : lines.back();
    (void)editor.addMainItem(text);
    (void)editor.renameMainItem(1, text);
    (void)editor.addSubItem(items, text);
    (void)editor.renameSubItem(1, static_cast<int>(text.size() % 4), text);
    editor.setTitle(text);
    bool written = false;
    (void)editor.save(editor.title(), written);
    (void)editor.items();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes = fuzz::bytesOf(data, size);
    fuzz::writeOneLessonCourseware();
    const Lines lines = splitLines(bytes);
    editAreas(lines);

    CoursewareIndex index(fuzz::scratchFolder());
    if (index.readMainIndex()) editMasterFile(index, bytes, lines);
    editSubIndex(bytes, lines);
    return 0;
}
