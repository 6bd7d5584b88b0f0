#pragma once
// The records viewer (実行記録): every unit of the current lesson and every copy file of it with the number of
// records the learner has, the records of the item clicked with a chart of their scores over time, and erasing an
// item's records. The caller reads recordsErased after the window closed and recounts its marks when it is set.
#include "practice/records_view.h"

#include <QDialog>
#include <QSize>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace tavola {

class CoursewareIndex;
class Prompts;

// The scores of the records shown, against their dates, one point per record.
class KirokuChart : public QWidget {
    Q_OBJECT
public:
    explicit KirokuChart(QWidget* parent = nullptr);
    void setPoints(std::vector<ScorePoint> points);
    const std::vector<ScorePoint>& points() const { return points_; }
    QSize sizeHint() const override { return {320, 220}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<ScorePoint> points_;
};

class TfrmKiroku : public QDialog {
    Q_OBJECT
public:
    TfrmKiroku(const CoursewareIndex& index, Prompts& prompts, QWidget* parent = nullptr);

    // Shows the window modally for the learner's data file of lesson n; returns recordsErased. With a record
    // section, its item is chosen and its records shown from the start.
    bool showFor(const std::string& learner, int lesson, const std::string& recordFile,
                 const std::string& section = {});
    // 学級の記録 (btnGakkyu) is offered while an opener is set (teacher mode); it is called with the lesson shown and
    // returns true when records were erased from there.
    void setClassRecordsOpener(std::function<bool(int lesson)> opener) { classRecordsOpener_ = std::move(opener); }
    // ふくしゅうシート (btnFukushuSheet) is offered while an opener is set and a learner is shown: it is called with
    // the learner, the lesson shown and the learner's data file, and returns true when the sheet was opened in a
    // worksheet window, which closes the viewer.
    using FollowupOpener = std::function<bool(const std::string& learner, int lesson, const std::string& recordFile)>;
    void setFollowupOpener(FollowupOpener opener) { followupOpener_ = std::move(opener); }
    // The main window's size: the window sits at the top-left corner at that size.
    void setFormSize(QSize size) { formSize_ = size; }

    bool recordsErased = false;

    QListWidget* lstTitle = nullptr;
    QPlainTextEdit* memDetail = nullptr;
    KirokuChart* pbxChart = nullptr;
    QLabel* Label1 = nullptr; // "ログオン名"
    QLineEdit* edtName = nullptr;
    QLabel* Label2 = nullptr; // "単元をクリックして下さい"
    QPushButton* btnErase = nullptr;
    QPushButton* btnGakkyu = nullptr;
    QPushButton* btnFukushuSheet = nullptr;
    QPushButton* btnReturn = nullptr;

public slots:
    void lstTitleClick();
    void btnEraseClick();
    void btnGakkyuClick();
    void btnFukushuSheetClick();
    void btnReturnClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Builds the list; false (nothing changed) without a data file.
    bool buildList();
    void showRecordsOf(int row);

    const CoursewareIndex& index_;
    Prompts& prompts_;
    QSize formSize_;
    int lesson_ = 1;
    std::string recordFile_;
    std::vector<RecordsItem> items_;
    std::function<bool(int)> classRecordsOpener_;
    FollowupOpener followupOpener_;
    std::string learner_;
};

} // namespace tavola
