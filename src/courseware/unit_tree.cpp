#include "courseware/unit_tree.h"

#include "platform/line_file.h"
#include "platform/paths.h"
#include "platform/sjis.h"

namespace tavola {

Lines newSubIndexLines()
{
    return {
        "ここにタイトルをかいてください"_sj, "[[sect1", "ここは主メニュー"_sj, "<<", "ここは副メニュー"_sj, ">>", "]]"};
}

IndexTreeNode buildIndexTree(const Lines& subIndex, const std::function<std::string(int, int)>& unitPrefix)
{
    IndexTreeNode root;
    if (!subIndex.empty()) root.text = subIndex.front();
    int section = 0;
    std::size_t i = 0;
    // The title line is examined too, as the index reader does.
    while (i < subIndex.size()) {
        const std::string& line = subIndex[i];
        if (line.size() >= 2 && line[0] == '[' && line[1] == '[') {
            ++section;
            bool kept = section <= kMaxSections;
            if (kept) root.children.push_back({i + 1 < subIndex.size() ? subIndex[i + 1] : std::string(), {}});
            i += 3;
            int unit = 0;
            while (i < subIndex.size() && subIndex[i] != ">>") {
                ++unit;
                if (kept && unit <= kMaxUnits) {
                    std::string text = unitPrefix ? unitPrefix(section, unit) + subIndex[i] : subIndex[i];
                    root.children.back().children.push_back({std::move(text), {}});
                }
                ++i;
            }
        }
        ++i;
    }
    return root;
}

std::string subIndexPath(const CoursewareIndex& index, int lesson)
{
    return index.coursewareDir() + index.lessonFolder(lesson) + index.lessonStem(lesson) + ".ind";
}

Lines subIndexLinesOrNew(const CoursewareIndex& index, int lesson)
{
    std::string path = subIndexPath(index, lesson);
    if (paths::fileExists(path))
        if (auto lines = readLineFile(path)) return std::move(*lines);
    return newSubIndexLines();
}

} // namespace tavola
