#include "app/qt_practice_host.h"

#include "app/TfrmMain.h"

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

bool PracticeHost::canPrintPracticeSheet() const
{
    return false;
}

void PracticeHost::printPracticeSheet(Worksheet&, const std::vector<PracticeBox>&) {}

} // namespace tavola
