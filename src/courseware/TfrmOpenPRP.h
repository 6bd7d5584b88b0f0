#pragma once
// The copy-file browser (Tavola - コピーファイルを開く): the lessons of Main.ind on the left, the copy files of the
// chosen lesson's folder in the middle, the text of the chosen file on the right. OK leaves the file's full path in
// edtFileName for the caller; without Main.ind the window closes at once with Abort. CopyFileBrowser holds the
// rules; the window shows them.
#include "courseware/copy_file_browser.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tavola {

class Prompts;

class TfrmOpenPRP : public QDialog {
    Q_OBJECT
public:
    // The result when Main.ind is missing.
    static constexpr int Abort = 3;

    TfrmOpenPRP(std::string coursewareDir, Prompts& prompts, QWidget* parent = nullptr);

    void setCoursewareDir(std::string dir) { browser_.setCoursewareDir(std::move(dir)); }
    // The window takes this place and size each time it is shown (the main window's).
    void setFormGeometry(const QRect& rect) { formGeometry_ = rect; }

    int exec() override;

    // The full path chosen (CP932) and its bare name, after OK.
    const std::string& fileName() const { return browser_.fileName(); }
    const std::string& copyFileName() const { return browser_.copyFileName(); }
    const CopyFileBrowser& browser() const { return browser_; }

    QLineEdit* edtFileName = nullptr;
    QLabel* pnlLesson = nullptr;
    QListWidget* lstLesson = nullptr;
    QLabel* pnlPRP = nullptr;
    QListWidget* flbPRP = nullptr;
    QLabel* Panel1 = nullptr;
    QListWidget* lstContents = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void lstLessonClick();
    void flbPRPClick();
    void btnOkClick();
    void showBrowser();

    CopyFileBrowser browser_;
    Prompts& prompts_;
    QRect formGeometry_;
    bool showing_ = false;
};

} // namespace tavola
