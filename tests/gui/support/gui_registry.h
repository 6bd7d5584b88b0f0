#pragma once
// A registry of Qt Test classes, so that every tst_*.cpp file adds its class with one line:
//   TAVOLA_GUI_TEST(tst_MainWindow)
// The class name must equal the file's stem; CTest runs each class by that name.
#include <QObject>

#include <functional>
#include <string>
#include <vector>

namespace tavola::test {

struct GuiTestEntry {
    std::string name;
    std::function<QObject*()> make;
};

inline std::vector<GuiTestEntry>& guiTestRegistry()
{
    static std::vector<GuiTestEntry> entries;
    return entries;
}

struct GuiTestRegistrar {
    GuiTestRegistrar(const char* name, std::function<QObject*()> make)
    {
        guiTestRegistry().push_back({name, std::move(make)});
    }
};

// Font substitutions and other one-time application set-up that the program does at start-up.
void prepareGuiTestApplication();

} // namespace tavola::test

#define TAVOLA_GUI_TEST(Class) \
    static tavola::test::GuiTestRegistrar registrar_##Class(#Class, [] { return static_cast<QObject*>(new Class); });
