// tavola-cli check [DIR]: reads every unit and similar problem the index names, as the program would, and prints
// one line per problem found ("file:line: message"); exits 1 when there is any.
#include "courseware/index_file.h"
#include "platform/bmp.h"
#include "platform/paths.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"
#include "question/master_file.h"
#include "question/unit_data.h"
#include "tools/cli_commands.h"
#include "variant/problem_text.h"

#include <iostream>
#include <map>

namespace tavola::cli {
namespace {

bool opensSection(const std::string& line)
{
    return line.size() >= 2 && line[0] == '[' && line[1] == '[';
}

// Where the sections and unit lines of a sub-index stand, found as the index reader finds them.
struct SectionLines {
    std::size_t open = 0;
    std::vector<std::size_t> units;
    bool closed = false;
};

std::vector<SectionLines> sectionLines(const Lines& l)
{
    std::vector<SectionLines> sections;
    std::size_t i = 0;
    while (i < l.size()) {
        if (opensSection(l[i])) {
            SectionLines s;
            s.open = i;
            i += 3;
            while (i < l.size() && l[i] != ">>")
                s.units.push_back(i++);
            s.closed = i < l.size();
            sections.push_back(std::move(s));
        }
        ++i;
    }
    return sections;
}

class Checker {
public:
    Checker(std::string dir) : index_(std::move(dir)), dirReal_(paths::realPath(index_.coursewareDir())) {}

    int run()
    {
        if (Status s = index_.readMainIndex(); !s) {
            report(index_.coursewareDir() + "Main.ind", 0, utf8(s.message()));
            return finish();
        }
        checkMainIndex();
        // Nothing can be opened: the unit selection window has no lesson to choose.
        if (index_.lessonCount() == 0)
            report(mainIndexPath(), 0, "レッスンがひとつもありません: メニューを選択してください");
        for (int n = 1; n <= index_.lessonCount(); ++n)
            checkLesson(n);
        return finish();
    }

private:
    // systemPath: a file of the courseware; lineNumber from 1, 0 for the file as a whole.
    void report(const std::string& systemPath, std::size_t lineNumber, const std::string& message)
    {
        std::string shown = paths::realPath(systemPath);
        if (shown.compare(0, dirReal_.size(), dirReal_) == 0) shown = shown.substr(dirReal_.size());
        std::string place = lineNumber > 0 ? ":" + std::to_string(lineNumber) : std::string();
        problems_.push_back(shown + place + ": " + message);
    }

    int finish()
    {
        for (const std::string& p : problems_)
            std::cout << p << '\n';
        return problems_.empty() ? kOk : kFailed;
    }

    std::string mainIndexPath() const { return index_.coursewareDir() + "Main.ind"; }

    void checkMainIndex()
    {
        const Lines& l = index_.mainIndexLines();
        for (std::size_t i = 2; i < l.size() && l[i] != ">>"; ++i) {
            if (static_cast<int>(i) - 1 > kMaxLessons) {
                report(mainIndexPath(), i + 1, "８０番目より後のレッスンは読み込まれません");
                break;
            }
            if (sjis::findChar(l[i], ',') == std::string::npos)
                report(mainIndexPath(), i + 1, "「,」のないレッスンの行です（「?」と表示され、読み込めません）");
        }
    }

    void checkLesson(int n)
    {
        // A lesson line without "," was reported with the main index; it names no folder to read.
        const Lines& mainLines = index_.mainIndexLines();
        std::size_t mainLine = static_cast<std::size_t>(n) + 1;
        if (mainLine < mainLines.size() && sjis::findChar(mainLines[mainLine], ',') == std::string::npos) return;
        if (Status s = index_.readLesson(n); !s) {
            report(mainIndexPath(), static_cast<std::size_t>(n) + 2, utf8(s.message()));
            return;
        }
        std::string subIndex = index_.coursewareDir() + index_.lessonFolder(n) + index_.lessonStem(n) + ".ind";
        const Lines& l = index_.lessonLines();
        if (!l.empty() && opensSection(l[0])) report(subIndex, 1, "レッスンの題名の行が「[[」で始まっています");
        std::vector<SectionLines> sections = sectionLines(l);
        for (std::size_t k = 0; k < sections.size(); ++k) {
            const SectionLines& s = sections[k];
            if (k >= static_cast<std::size_t>(kMaxSections)) {
                report(subIndex, s.open + 1, "８０番目より後の節は読み込まれません");
                break;
            }
            if (!s.closed)
                report(subIndex, s.open + 1,
                       "節のブロックが「>>」で閉じられていません（ファイルの終わりまでが単元になります）");
            if (s.units.size() > static_cast<std::size_t>(kMaxUnits))
                report(subIndex, s.units[kMaxUnits] + 1, "８０番目より後の単元は読み込まれません");
            checkSection(n, static_cast<int>(k) + 1, subIndex, s);
        }
    }

    void checkSection(int n, int k, const std::string& subIndex, const SectionLines& lines)
    {
        std::string master = index_.masterFilePath(n, k);
        if (!paths::fileExists(master)) {
            report(subIndex, lines.open + 1, utf8(fileNotFoundMessage(master)));
            return;
        }
        Lines m = readLineFile(master).value_or(Lines{});
        for (int u = 1; u <= index_.sectionUnitCount(k); ++u) {
            std::string marker = unitRecordMarker({n, k, u, 0});
            auto at = findRecord(m, marker);
            if (!at) {
                report(subIndex, lines.units[static_cast<std::size_t>(u - 1)] + 1,
                       shownName(master) + " に「" + marker + "」がありません");
                continue;
            }
            checkRecord(master, m, *at, n);
            int similar = static_cast<int>(similarProblemsPresent(m, u).size());
            for (int r = 1; r <= similar; ++r)
                checkRecord(master, m, *findRecord(m, unitRecordMarker({n, k, u, r})), n);
        }
    }

    std::string shownName(const std::string& systemPath)
    {
        std::string shown = paths::realPath(systemPath);
        return shown.compare(0, dirReal_.size(), dirReal_) == 0 ? shown.substr(dirReal_.size()) : shown;
    }

    void checkRecord(const std::string& master, const Lines& m, std::size_t marker, int lesson)
    {
        RecordRead r = readRecord(m, marker, master);
        if (!r.ok()) {
            report(master, r.stopLine + 1, utf8(r.status.message()));
            return;
        }
        const RecordContent& c = r.content;
        for (std::size_t k = 0; k < c.problemLines.size(); ++k)
            checkProblemLine(master, c.problemLineIndices[k], m);
        checkFigures(master, m, marker, "<<graph", c.graph, lesson);
        checkFigures(master, m, marker, "<<AGraph", c.agraph, lesson);
    }

    void checkProblemLine(const std::string& master, std::size_t index, const Lines& m)
    {
        std::vector<std::string> parts;
        int hashes = splitAtHash(m[index], parts);
        if (hashes % 2 != 0) {
            report(master, index + 1, "＃の数は偶数にしてください");
            return;
        }
        for (std::size_t a = 1; a + 1 < parts.size(); a += 2) {
            if (parts[a].empty()) {
                report(master, index + 1, "解答がありません");
                continue;
            }
            std::vector<std::string> alternatives;
            splitAtSemicolon(parts[a], alternatives);
            for (const std::string& alt : alternatives) {
                if (trimFullWidth(alt).empty()) {
                    // A learner who types nothing would be judged right.
                    report(master, index + 1, "解答「" + utf8(parts[a]) + "」は何も入力しなくても正解になります");
                    break;
                }
            }
        }
        if (auto wrong = variant::firstAnswerDisagreement(m[index])) report(master, index + 1, utf8(*wrong));
    }

    void checkFigures(const std::string& master, const Lines& m, std::size_t marker, const char* keyword,
                      const Lines& figures, int lesson)
    {
        if (figures.empty()) return;
        std::size_t line = marker;
        while (line < m.size() && m[line] != keyword)
            ++line;
        std::size_t count = (figures.size() + 2) / 3;
        if (count > static_cast<std::size_t>(kMaxFiguresPerSide))
            report(master, line + 1, utf8(std::to_string(count) + ":問題のグラフが多すぎます15"_sj));
        std::string folder = index_.figureFolder(lesson);
        for (std::size_t k = 0; k < count && k < static_cast<std::size_t>(kMaxFiguresPerSide); ++k) {
            std::string file = folder + figures[3 * k];
            if (figures[3 * k].empty() || !paths::fileExists(file))
                report(master, line + 1, utf8(fileNotFoundMessage(file)));
            else if (!readableBitmap(file))
                report(master, line + 1, utf8(bmp::unreadableMessage(file)));
        }
    }

    // Each figure file is decoded once, however many figures name it.
    bool readableBitmap(const std::string& file)
    {
        auto [it, first] = bitmaps_.try_emplace(file, false);
        if (first) it->second = bmp::readFile(file).ok();
        return it->second;
    }

    CoursewareIndex index_;
    std::string dirReal_;
    std::vector<std::string> problems_;
    std::map<std::string, bool> bitmaps_;
};

} // namespace

int runCheck(const Args& args)
{
    if (args.size() > 1) {
        printError("usage: tavola-cli check [DIR]");
        return kUsage;
    }
    auto dir = namedCoursewareDir(args.empty() ? std::string() : args[0]);
    if (!dir) return kFailed;
    return Checker(*dir).run();
}

} // namespace tavola::cli
