// Runs the Qt Test classes registered by the tst_*.cpp files: all of them, or the one named on the command line
// (CTest runs each class in a process of its own).
#include "platform/qt/qt_translations.h"
#include "support/gui_registry.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    // Each run gets fresh settings and runtime folders so that tests never touch the user's own.
    QString base = QDir::tempPath() + "/tavola-gui-" + QString::number(QCoreApplication::applicationPid());
    QDir().mkpath(base + "/config");
    QDir().mkpath(base + "/runtime");
    QFile::setPermissions(base + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("TAVOLA_CONFIG_DIR", (base + "/config").toUtf8());
    qputenv("XDG_RUNTIME_DIR", (base + "/runtime").toUtf8());
    qputenv("XDG_DATA_HOME", (base + "/data").toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // As the program starts: the standard dialogs write sizes and dates the Japanese way.
    tavola::useJapaneseLocale();

    QApplication app(argc, argv);
    QApplication::setApplicationName("tavola-tests");
    tavola::test::prepareGuiTestApplication();

    std::string only = argc > 1 ? argv[1] : "";
    int failures = 0;
    int ran = 0;
    for (auto& entry : tavola::test::guiTestRegistry()) {
        if (!only.empty() && entry.name != only) continue;
        ++ran;
        QObject* test = entry.make();
        char* args[] = {argv[0]};
        failures += QTest::qExec(test, 1, args);
        delete test;
    }
    QDir(base).removeRecursively();
    if (ran == 0) {
        std::fprintf(stderr, "no test class named %s\n", only.c_str());
        return 1;
    }
    return failures == 0 ? 0 : 1;
}
