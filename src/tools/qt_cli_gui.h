#pragma once
// What the drawing subcommands (render, print) share: the unit named on the command line, read as the program
// reads it, the Qt application their canvas needs (offscreen without a display), and messages to stderr.
#include "courseware/index_file.h"
#include "platform/prompts.h"
#include "question/unit_data.h"
#include "tools/cli_commands.h"
#include "worksheet/figures.h"
#include "worksheet/worksheet.h"

#include <QGuiApplication>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavola::cli {

// Messages of the figure loading go to stderr; questions are answered No.
class StderrPrompts : public Prompts {
public:
    void message(const std::string& text) override;
    void error(const std::string& text) override;
    Answer confirm(const std::string& text) override;
    Answer confirmWithCancel(const std::string& text) override;
    std::optional<std::string> saveFileName(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> openFileName(const FileDialogRequest&) override { return std::nullopt; }
};

// [DIR] LESSON SECTION UNIT [SIMILAR], or --copy FILE.prp.
struct UnitArgs {
    std::string dir;
    std::vector<int> numbers;
    std::string copy;

    // Takes args[i] when it is part of the unit's name (--copy takes its value too); false otherwise.
    bool take(const Args& args, std::size_t& i);
    // Three or four numbers, or a copy file and none.
    bool complete() const;
};

// "on" / "off".
std::optional<bool> onOff(const std::string& text);

// The worksheet of the named unit as the program opens it, with its figure pictures and the class flag of the
// courseware folder; nullopt (and why printed) when it cannot be read. Figure messages go to stderr.
struct CliWorksheet {
    Worksheet sheet;
    FigurePictures figures;
    PictureRef classFlag;
};
std::optional<CliWorksheet> loadNamedWorksheet(const UnitArgs& r, bool answers, const std::string& command);

// A QGuiApplication for fonts and painting; the offscreen platform when there is no display.
std::unique_ptr<QGuiApplication> startGui();

} // namespace tavola::cli
