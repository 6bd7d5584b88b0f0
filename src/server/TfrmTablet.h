#pragma once
// タブレットで学習: the classroom server started from the main window. It shows the address pupils type and its
// QR code, the lesson served, how many pupils are connected and who is in which unit; 停止 ends it. The window is
// not modal: the teacher can open 学級の記録 beside it and watch the records come in.
#include "practice/learner_places.h"
#include "server/classroom.h"
#include "server/http_server.h"

#include <QDialog>

#include <memory>

class QComboBox;
class QImage;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTimer;

namespace tavola {

class Prompts;

class TfrmTablet : public QDialog {
    Q_OBJECT
public:
    TfrmTablet(LearnerPlaces places, Prompts& prompts, QWidget* parent = nullptr);
    ~TfrmTablet() override;

    // Shows the window for a lesson (the server is not started yet, unless it already runs).
    void showFor(int lesson, const std::string& lessonName);
    bool serving() const { return server_ != nullptr; }
    // The classroom while it is served, for 学級の記録; null otherwise.
    Classroom* classroom() const { return room_.get(); }

    QLabel* lblLesson = nullptr;
    QComboBox* cmbBind = nullptr;
    QSpinBox* spnPort = nullptr;
    QPushButton* btnStart = nullptr;
    QPushButton* btnStop = nullptr;
    QLabel* lblAddress = nullptr;
    QLabel* imgQR = nullptr;
    QLabel* lblCount = nullptr;
    QListWidget* lstPupils = nullptr;
    QLabel* lblNetwork = nullptr;

public slots:
    void btnStartClick();
    void btnStopClick();
    void timRefreshTimer();

private:
    void showState();

    LearnerPlaces places_;
    Prompts& prompts_;
    int lesson_ = 1;
    std::unique_ptr<Classroom> room_;
    std::unique_ptr<ClassroomServer> server_;
    QTimer* timRefresh = nullptr;
};

// The QR code of a text as a picture: black modules of `module` pixels on white, with a four-module margin.
QImage qrPicture(const std::string& text, int module);

} // namespace tavola
