#pragma once
// What the practice window asks of the main window: the shell's drawing options, the 別解表示 option, the
// learner's records, the windows around them and the printer.
#include "practice/TfrmRenshu.h"
#include "practice/learning_records.h"

namespace tavola {

class TfrmMain;
class TfrmPrintOk;

class PracticeHost : public TfrmRenshuHost {
public:
    // printOk, the print dialog, prints the practice sheet as it prints a worksheet; null: it is not printed.
    PracticeHost(TfrmMain& main, TfrmPrintOk* printOk) : main_(main), printOk_(printOk) {}

    DrawOptions practiceDrawOptions() const override;
    bool alternativeAnswersOption() const override;
    void setAlternativeAnswersOption(bool on) override;
    void writePracticeRecord(const Worksheet& sheet, const ScoredExercise& result) override;
    std::pair<std::string, std::vector<std::string>> practiceRecordMemo(const Worksheet& sheet) override;
    void showPracticeRecords() override;
    void showAllCorrect() override;
    bool canPrintPracticeSheet() const override { return printOk_ != nullptr; }
    void printPracticeSheet(const PracticeSheet& print) override;

private:
    // The learner data file's lesson and section of the worksheet's records.
    RecordTarget recordTarget(const Worksheet& sheet) const;

    TfrmMain& main_;
    TfrmPrintOk* printOk_;
};

} // namespace tavola
