#pragma once
// What the practice window asks of the main window: the shell's drawing options, the 別解表示 option, the
// learner's records and the windows around them.
#include "practice/TfrmRenshu.h"

class TfrmMain;

namespace tavola {

class PracticeHost : public TfrmRenshuHost {
public:
    explicit PracticeHost(TfrmMain& main) : main_(main) {}

    DrawOptions practiceDrawOptions() const override;
    bool alternativeAnswersOption() const override;
    void setAlternativeAnswersOption(bool on) override;
    void writePracticeRecord(const Worksheet& sheet, const ScoredExercise& result) override;
    std::pair<std::string, std::vector<std::string>> practiceRecordMemo(const Worksheet& sheet) override;
    void showPracticeRecords() override;
    void showAllCorrect() override;
    bool canPrintPracticeSheet() const override;
    void printPracticeSheet(Worksheet& sheet, const std::vector<PracticeBox>& boxes) override;

private:
    TfrmMain& main_;
};

} // namespace tavola
