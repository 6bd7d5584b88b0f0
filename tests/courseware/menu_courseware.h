#pragma once
// A small courseware folder built by a test: Main.ind, lesson folders with their sub-indexes and master files,
// and learner record files. Texts are given in UTF-8 and written as Shift-JIS with CR LF line ends.
#include "courseware/unit_menu.h"
#include "platform/line_file.h"
#include "platform/paths.h"
#include "platform/profile_file.h"
#include "platform/sjis.h"
#include "support/temp_folder.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tavola::test {

class MenuCourseware {
public:
    // The system path of the courseware folder, ending in a separator.
    std::string dir() const { return folder_.systemPath(); }
    std::string path(const std::string& utf8Name) const { return folder_.systemPath(sjis::encode(utf8Name)); }

    void write(const std::string& utf8Name, const std::vector<std::string>& utf8Lines) const
    {
        std::string target = path(utf8Name);
        std::filesystem::create_directories(std::filesystem::path(paths::realPath(target)).parent_path());
        Lines lines;
        for (const std::string& l : utf8Lines)
            lines.push_back(sjis::encode(l));
        writeLineFile(target, lines);
    }
    void remove(const std::string& utf8Name) const { std::filesystem::remove_all(paths::realPath(path(utf8Name))); }

    // Main.ind with a title and lesson lines "name,folder\\stem".
    void writeMain(const std::vector<std::string>& lessonLines, const std::string& title = "分数の計算") const
    {
        std::vector<std::string> lines{title, "free text"};
        lines.insert(lines.end(), lessonLines.begin(), lessonLines.end());
        write("Main.ind", lines);
    }

    struct Section {
        std::string name;
        std::vector<std::string> units;
    };
    // A sub-index as the index editor writes it.
    void writeSubIndex(const std::string& utf8Name, const std::string& title,
                       const std::vector<Section>& sections) const
    {
        std::vector<std::string> lines{title};
        int k = 0;
        for (const Section& s : sections) {
            lines.push_back("[[sect" + std::to_string(++k));
            lines.push_back(s.name);
            lines.push_back("<<");
            lines.insert(lines.end(), s.units.begin(), s.units.end());
            lines.push_back(">>");
            lines.push_back("]]");
        }
        write(utf8Name, lines);
    }

    // A master file with a record for every marker given ("[[unit1", "[[unit1R1", …).
    void writeMaster(const std::string& utf8Name, const std::vector<std::string>& markers) const
    {
        std::vector<std::string> lines;
        for (const std::string& m : markers) {
            lines.push_back(m);
            lines.push_back("<<mondai");
            lines.push_back("1/2+1/3=#5/6#");
            lines.push_back(">>");
        }
        write(utf8Name, lines);
    }

    // Adds n records to a section of a learner's record file.
    void addRecords(const std::string& utf8File, const std::string& utf8Section, int n) const
    {
        std::string file = path(utf8File);
        std::string section = sjis::encode(utf8Section);
        int have = static_cast<int>(profile::sectionKeys(file, section).size());
        for (int i = 1; i <= n; ++i)
            profile::writeString(file, section, std::to_string(have + i),
                                 sjis::encode("2005年03月05日 09:07 [] 1/ 1 100点 00:10"));
    }

private:
    TempFolder folder_;
};

// A courseware of two lessons: lesson 1 "たし算" (folder L1\, stem tashi) with three sections, lesson 2 "ひき算"
// (folder L2\, stem hiki) with one section. Section 1 has units 1–3; unit 1 has similar problems 1 and 2, unit 2
// only a similar problem 2 (so none are listed for it). Section 2 has four units, unit 3 with similar problems
// 1–3. Section 3 has no unit lines. Lesson 2's only unit has a similar problem 1.
inline void writeStandardCourseware(const MenuCourseware& c)
{
    c.writeMain({"たし算,L1\\\\tashi", "ひき算,L2\\\\hiki"});
    c.writeSubIndex("L1\\tashi.ind", "分数のたし算",
                    {{"同じ分母", {"分母が同じ１", "分母が同じ２", "分母が同じ３"}},
                     {"ちがう分母", {"通分１", "通分２", "通分３", "通分４"}},
                     {"まとめ", {}}});
    c.writeMaster("L1\\tashi1.que", {"[[unit1", "[[unit1R1", "[[unit1R2", "[[unit2", "[[unit2R2", "[[unit3"});
    c.writeMaster("L1\\tashi2.que",
                  {"[[unit1", "[[unit2", "[[unit3", "[[unit3R1", "[[unit3R2", "[[unit3R3", "[[unit4"});
    c.writeMaster("L1\\tashi3.que", {});
    c.writeSubIndex("L2\\hiki.ind", "分数のひき算", {{"ひき算", {"ひき算１"}}});
    c.writeMaster("L2\\hiki1.que", {"[[unit1", "[[unit1R1"});
}

// What the unit selection works on: the standard courseware with its Main.ind read, the marks, scripted messages
// and the two flags it shares with the main window.
struct MenuState {
    MenuCourseware c;
    CoursewareIndex index{c.dir()};
    UnitMarks marks;
    ScriptedPrompts prompts;
    bool indexChanged = false;
    bool marksStale = true;
    bool mainIndexRead = false;

    MenuState()
    {
        writeStandardCourseware(c);
        mainIndexRead = static_cast<bool>(index.readMainIndex());
    }

    // The context with the learner's record file of a lesson as recordFileOf names it.
    MenuContext context(std::function<std::string(int lesson)> recordFileOf)
    {
        return {index, marks, prompts, indexChanged, marksStale, std::move(recordFileOf)};
    }
};

} // namespace tavola::test
