#pragma once
// The index editor window "Tavola Editor 教材の作成": the lessons of Main.ind, the main and sub menu items of the
// chosen lesson's sub-index with the whole structure in a tree, adding and renaming items through the line-input
// window, raw editing, OK and Cancel. The rules live in IndexEditor.
#include "authoring/index_editor.h"

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace tavola {
class Prompts;
class TfrmEditSource;
class TfrmInputText;

class TfrmEditIndex : public QDialog {
    Q_OBJECT
public:
    using HelpOpener = std::function<void(int topic)>;
    // The current learner's data file of lesson n (empty without a learner).
    using RecordFileOf = std::function<std::string(int lesson)>;
    // indexChanged is the shell's flag, set after the editor wrote a sub-index; the tree shows the unit selection
    // window's marks of the lesson loaded, counted from recordFileOf(lesson).
    TfrmEditIndex(std::string coursewareDir, bool& indexChanged, RecordFileOf recordFileOf, Prompts& prompts,
                  HelpOpener help, QWidget* parent = nullptr);

    void attachInputWindow(TfrmInputText* window) { frmInputText_ = window; }
    void attachSourceWindow(TfrmEditSource* window) { frmEditSource_ = window; }
    void setFormSize(QSize size) { formSize_ = size; }
    const IndexEditor& editor() const { return editor_; }

    QListWidget* lstELesson = nullptr;
    QListWidget* lstESection = nullptr;
    QListWidget* lstEUnit = nullptr;
    QTreeWidget* trvSect = nullptr;
    QLineEdit* edtMainTitle = nullptr;
    QLineEdit* edtIndex = nullptr;
    QLineEdit* edtDataFile = nullptr;
    QLabel* pnlHint = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnChange = nullptr;
    QPushButton* btnAdd2 = nullptr;
    QPushButton* btnChange2 = nullptr;
    QPushButton* btnExpand = nullptr;
    QPushButton* btnEditDirect = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnClose = nullptr;
    QPushButton* btnHelp = nullptr;

public slots:
    void lstELessonClick();
    void lstESectionClick();
    void lstEUnitClick();
    void btnAddClick();
    void btnChangeClick();
    void btnAdd2Click();
    void btnChange2Click();
    void btnExpandClick();
    void btnEditDirectClick();
    void btnOkClick();
    void btnCloseClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void FormShow();
    void loadLesson(int row);
    void rebuild(int mainRow);
    void selectMain(int row);
    void setExpanded(bool expanded);

    std::string coursewareDir_;
    bool& indexChanged_;
    RecordFileOf recordFileOf_;
    Prompts& prompts_;
    HelpOpener help_;
    TfrmInputText* frmInputText_ = nullptr;
    TfrmEditSource* frmEditSource_ = nullptr;
    QSize formSize_;
    IndexEditor editor_;
    bool expanded_ = true;
    bool filling_ = false;
};

} // namespace tavola
