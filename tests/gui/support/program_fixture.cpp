#include "support/program_fixture.h"

#include "platform/sjis.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTest>

namespace tavola::test {

void copyFolder(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QString source = it.next();
        QString target = to + "/" + QDir(from).relativeFilePath(source);
        if (it.fileInfo().isDir())
            QDir().mkpath(target);
        else
            QFile::copy(source, target);
    }
}

ProgramFixture::ProgramFixture()
{
    settings = std::make_unique<SettingsStore>(config.path().toStdString());
}

bool ProgramFixture::copySample() const
{
    QString sample = QString::fromUtf8(TAVOLA_SAMPLE_DIR);
    if (!QFile::exists(sample + "/Main.ind")) return false;
    copyFolder(sample, dir());
    return true;
}

std::string ProgramFixture::systemDir() const
{
    return sjis::encode(dir().toStdString()) + "/";
}

void ProgramFixture::createWindows()
{
    QString before = QDir::currentPath();
    QDir::setCurrent(dir());
    windows = createProgramWindows(prompts, *settings, clock);
    QDir::setCurrent(before);
    main = windows->frmMain.get();
}

bool ProgramFixture::showWindows()
{
    createWindows();
    main->show();
    return QTest::qWaitForWindowExposed(main);
}

void ProgramFixture::startOnSample()
{
    copySample();
    (void)showWindows();
}

TfrmPrint* ProgramFixture::open(int section, int unit) const
{
    if (main->openUnit({1, section, unit, 0}, false) != OpenResult::Opened) return nullptr;
    return main->currentWorksheet();
}

QMdiSubWindow* ProgramFixture::frame(TfrmPrint* sheet)
{
    return qobject_cast<QMdiSubWindow*>(sheet->parentWidget());
}

void drag(TfrmPrint* sheet, QPoint from, QPoint to)
{
    QWidget* page = sheet->pageWidget();
    QTest::mousePress(page, Qt::LeftButton, {}, from);
    QTest::mouseMove(page, (from + to) / 2);
    QTest::mouseMove(page, to);
    QTest::mouseRelease(page, Qt::LeftButton, {}, to);
}

} // namespace tavola::test
