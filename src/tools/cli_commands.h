#pragma once
// tavola-cli: the courseware seen from the command line, as JSON or as one line per problem found.
// Each subcommand is a function taking the arguments after its name; tavola_cli.cpp lists them in its command
// table, so a new subcommand is one more file, its declaration here and one line in that table.
// Output is UTF-8; the courseware's CP932 texts are converted on the way out.
#include "app/shell_state.h"
#include "courseware/index_file.h"
#include "courseware/unit_position.h"
#include "platform/line_file.h"
#include "platform/result.h"
#include "question/unit_reader.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <vector>

namespace tavola::cli {

using Json = nlohmann::ordered_json;

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    const char* usage;
    int (*run)(const Args& args);
};

int runIndex(const Args& args);
int runShow(const Args& args);
int runCheck(const Args& args);
int runVary(const Args& args);
int runRender(const Args& args);
int runRecords(const Args& args);
int runClass(const Args& args);
int runPrint(const Args& args);
int runServe(const Args& args);
int runFollowup(const Args& args);

// The courseware folder named by a DIR argument (empty: the current directory), as CoursewareIndex takes it: an
// absolute system path ending in a separator. nullopt when the folder cannot be named in CP932.
std::optional<std::string> coursewareDir(const std::string& dirArg);

// The same, with the tool's message printed when the folder cannot be named.
std::optional<std::string> namedCoursewareDir(const std::string& dirArg);
// The system path of a copy file named by its real path; prints why not when the name cannot be written in CP932
// or the file is missing.
std::optional<std::string> namedCopyFile(const std::string& realPath);

// Reads Main.ind; prints the system's message when it cannot be read.
bool readMainIndexOrReport(CoursewareIndex& index);
// Reads Main.ind and checks that it has the lesson; prints the system's message or the subcommand's when not.
bool readIndexWithLesson(CoursewareIndex& index, int lesson, const std::string& command);
// The shell state the learner data files of a courseware folder are found by.
ShellState learnerFilesState(const std::string& coursewareDir);
// Lesson, section and unit count from 1, similar problems up to 5; prints the subcommand's message when not.
bool checkPosition(const UnitPosition& p, const std::string& command);
// The read request of the unit at p with Main.ind and the lesson's sub-index read and the master file there; prints
// why not (the system's message, or the subcommand's when the index has fewer lessons).
std::optional<ReadRequest> unitRequestAt(CoursewareIndex& index, const UnitPosition& p, const std::string& command);
// True when the unit was read; otherwise prints "not found" or the system's message.
bool reportRead(const Status& read);

// CP932 → UTF-8 for output.
std::string utf8(const std::string& cp932);
Json utf8List(const Lines& lines);

// JSON on stdout (invalid bytes replaced, never thrown on).
void printJson(const Json& value);
// A message of the system (CP932) or of the tool (UTF-8) on stderr.
void printSystemMessage(const std::string& cp932);
void printError(const std::string& utf8Text);

// Exit codes.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;

} // namespace tavola::cli
