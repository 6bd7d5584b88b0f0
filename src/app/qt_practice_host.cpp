#include "app/qt_practice_host.h"

#include "app/TfrmMain.h"
#include "platform/prompts.h"
#include "practice/practice_marks.h"
#include "worksheet/TfrmPrintOk.h"
#include "worksheet/qt_print.h"

#include <QCheckBox>
#include <QPrintDialog>

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
    return main_.chkBekkai->isChecked();
}

void PracticeHost::setAlternativeAnswersOption(bool on)
{
    main_.chkBekkai->setChecked(on);
}

void PracticeHost::writePracticeRecord(const Worksheet&, const ScoredExercise&) {}

std::pair<std::string, std::vector<std::string>> PracticeHost::practiceRecordMemo(const Worksheet&)
{
    return {};
}

void PracticeHost::showPracticeRecords() {}

void PracticeHost::showAllCorrect() {}

void PracticeHost::printPracticeSheet(const PracticeSheet& print)
{
    if (printOk_ == nullptr || print.sheet == nullptr) return;
    QPrinter& printer = printOk_->printer();
    const bool accepted =
        printDialog_ ? printDialog_(printer) : QPrintDialog(&printer, &main_).exec() == QDialog::Accepted;
    if (!accepted) return;

    // The learner's first entries stand in the boxes, the marks of the last scoring around them.
    std::vector<std::string> entries;
    for (std::size_t i = 1; i < print.boxes.size(); ++i)
        entries.push_back(print.boxes[i].enteredAnswer == kNotEntered ? std::string() : print.boxes[i].enteredAnswer);
    const Worksheet& sheet = *print.sheet;
    MarkStyle style;
    style.fontSize = sheet.settings.characterSize;
    style.boxWidth = sheet.settings.kran[1];
    style.boxHeight = sheet.settings.kran[2];
    DrawOptions options = practiceDrawOptions();
    options.answersShown = false;
    options.practice = true;
    options.alternativeAnswers = false;
    options.recording = false;
    options.figures = print.figures;
    options.classFlag = print.classFlag;
    options.entries = &entries;
    options.drawMarks = [&](Canvas& canvas, double k) {
        style.scale = k;
        style.printer = canvas.isPrinter();
        drawScoredMarks(canvas, print.boxes, style);
        if (print.score) drawScoreText(canvas, *print.score, sheet.scorePosition, print.panelWidth, k);
    };
    PrintRequest request;
    request.mode = PrintMode::Printer;
    request.numbering = false;
    request.copies = std::max(1, printer.copyCount());
    const PrintOutcome outcome = printOnPrinter(printer, sheet, request, options);
    if (!outcome.ok()) main_.prompts().error(outcome.message);
}

} // namespace tavola
