#include "app/qt_practice_host.h"

#include "app/TfrmMain.h"
#include "courseware/TfrmMenu.h"
#include "platform/prompts.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"
#include "practice/TfrmZenSeikai.h"
#include "practice/learning_records.h"
#include "practice/practice_marks.h"
#include "worksheet/TfrmPrintOk.h"

#include <QCheckBox>

namespace tavola {

DrawOptions PracticeHost::practiceDrawOptions() const
{
    DrawOptions options;
    options.schoolName = main_.shellState().schoolName;
    options.learnerName = main_.shellState().learnerName;
    options.clock = &main_.clock();
    return options;
}

bool PracticeHost::alternativeAnswersOption() const
{
    return main_.shellState().alternativeAnswers;
}

void PracticeHost::setAlternativeAnswersOption(bool on)
{
    main_.shellState().alternativeAnswers = on;
    main_.chkBekkai->setChecked(on);
}

RecordTarget PracticeHost::recordTarget(const Worksheet& sheet) const
{
    if (sheet.position.section >= 1 && sheet.position.unit >= 1) return unitRecordTarget(main_.index(), sheet.position);
    // A copy file's records go under its bare name.
    return copyFileRecordTarget(textAfterLast(textAfterLast(sheet.path, '\\'), '/'));
}

void PracticeHost::writePracticeRecord(const Worksheet& sheet, const ScoredExercise& result)
{
    const RecordTarget target = recordTarget(sheet);
    const std::string file = main_.recordFileOf(target.lesson);
    if (file.empty() || target.section.empty()) return;
    const PracticeRecord record{main_.clock().now(), sheet.position.similar, result.triesTrail,    result.correct,
                                result.total,        result.score,           result.elapsedSeconds};
    // A record that cannot be written (a full disk, a read-only share, a classmate's program holding the file) is
    // told with its file and kept, to be written before the next one; the practice window goes on as it was.
    if (Status written = main_.pendingRecords().write(file, target.section, record); !written)
        main_.prompts().error(written.message() + "\n" + recordKeptText());
    if (TfrmMenu* menu = main_.menuWindow()) menu->refreshMarks();
}

std::pair<std::string, std::vector<std::string>> PracticeHost::practiceRecordMemo(const Worksheet& sheet)
{
    const RecordTarget target = recordTarget(sheet);
    const std::string learner = main_.shellState().learnerName;
    return {target.section + "　　氏名："_sj + learner,
            recordMemoLines(main_.recordFileOf(target.lesson), target.section)};
}

void PracticeHost::showPracticeRecords()
{
    // Erased records change the unit selection window's counts.
    if (main_.showRecordsViewer())
        if (TfrmMenu* menu = main_.menuWindow()) menu->refreshMarks();
}

void PracticeHost::showAllCorrect()
{
    if (TfrmZenSeikai* window = main_.zenSeikaiWindow()) window->exec();
}

void PracticeHost::printPracticeSheet(const PracticeSheet& print)
{
    if (printOk_ == nullptr || print.sheet == nullptr) return;
    // The learner's first entries stand in the boxes, the marks of the last scoring around them; the print dialog
    // prints before this returns.
    std::vector<std::string> entries;
    for (std::size_t i = 1; i < print.boxes.size(); ++i)
        entries.push_back(print.boxes[i].enteredAnswer == kNotEntered ? std::string() : print.boxes[i].enteredAnswer);
    const Worksheet& sheet = *print.sheet;
    PrintSource page;
    page.sheet = &sheet;
    page.options = practiceDrawOptions();
    page.options.answersShown = false;
    page.options.practice = true;
    page.options.alternativeAnswers = false;
    page.options.figures = print.figures;
    page.options.classFlag = print.classFlag;
    page.options.entries = &entries;
    page.options.screen = print.layout;
    MarkStyle style;
    style.fontSize = sheet.settings.characterSize;
    style.boxWidth = sheet.settings.answerBox.width;
    style.boxHeight = sheet.settings.answerBox.height;
    // A printed page is the screen's page drawn at the printer's resolution: the marks are drawn as on the screen.
    page.marks = [&](Canvas& canvas, double k) {
        style.scale = k;
        style.printer = false;
        drawScoredMarks(canvas, print.boxes, style);
        // Clear of the learner's name, as on the screen.
        if (print.score && print.layout != nullptr)
            drawScoreText(canvas, *print.score, print.layout->scorePosition, print.panelWidth, k,
                          print.layout->nameLine, print.layout->width);
    };
    printOk_->exec(std::move(page));
}

} // namespace tavola
