#pragma once
// The answer-box settings dialog (設定): a narrow tool window at the left edge with the answer position, the
// margins, the reduced-view toggle, the answer-box shape and its width and height. Every change is written into
// the active worksheet at once and redrawn (answer_box_settings.h holds the rules); 閉じる writes the box size once
// more.
#include "worksheet/answer_box_settings.h"

#include <QDialog>

#include <map>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tavola {

class WorksheetHost;

class TfrmSettei : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSettei(WorksheetHost& host, QWidget* parent = nullptr);

    // The height of the main window's command panel, which the dialog takes; without one the parent's height.
    void setPanelHeight(int height) { panelHeight_ = height; }

    // Loads the active worksheet's settings, switches the answers on and runs modally. Without an active
    // worksheet there is nothing to set and the dialog does not open.
    int exec() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void placeForm();
    void radShapeClick(int shape);
    void spinChange(SettingControl control, int value);
    void btnKakudaiClick();
    void btnOkClick();
    void enableSizeSpins(BoxShape shape);
    // True when the key was one of the dialog's own.
    bool FormKeyPress(int key, const QString& text);

    WorksheetHost& host_;
    int panelHeight_ = 0;
    bool loading_ = false;
    std::map<SettingControl, QSpinBox*> spins_;

    QGroupBox* grbPosition;
    QLabel* lblAnsPos;
    QSpinBox* spnAnsX;
    QSpinBox* spnAnsY;
    QPushButton* btnLeft;
    QPushButton* btnRight;
    QPushButton* btnUp;
    QPushButton* btnDown;
    QLabel* lblLeftM;
    QSpinBox* spnLeftM;
    QLabel* lblRightM;
    QSpinBox* spnRightM;
    QPushButton* btnKakudai;

    QGroupBox* grbShape;
    QButtonGroup* shapeButtons;
    QRadioButton* radNon;
    QRadioButton* radShikaku;
    QRadioButton* radKakko;
    QRadioButton* radLine;
    QRadioButton* radKasen;
    QRadioButton* radRound;
    QLabel* lblKranWX;
    QSpinBox* spnKranWX;
    QLabel* lblKranH;
    QSpinBox* spnKranH;
    QSpinBox* spnKranX;
    QSpinBox* spnKranY;

    QPushButton* btnOk;
};

} // namespace tavola
