#pragma once
// The password window: greets the learner, and either asks for the password stored in the learner's data file of
// the current lesson or has a new one typed twice and stores it. OK closes only on an accepted password.
#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavola {

class Prompts;

class TfrmPassword : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPassword(Prompts& prompts, QWidget* parent = nullptr);

    // Before showing: the learner greeted, the stored password ("?" for none) and the data file a new one goes to.
    // fromOtherLesson: the password is the learner's from another lesson; once typed it is copied into dataFile.
    void prepare(const std::string& learner, const std::string& stored, const std::string& dataFile,
                 bool fromOtherLesson = false);

    QLabel* lblMess = nullptr;
    QLabel* lblPW = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* mskPW = nullptr;
    QLineEdit* mskPW2 = nullptr;
    QLabel* lblRetry = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

public slots:
    void btnOkClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The fields and the instruction for the stored password (set anew, or asked for).
    void showFields();
    Prompts& prompts_;
    std::string stored_;
    std::string dataFile_;
    bool fromOtherLesson_ = false;
};

} // namespace tavola
