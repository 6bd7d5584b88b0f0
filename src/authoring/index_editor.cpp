#include "authoring/index_editor.h"

#include "courseware/unit_marks.h"
#include "platform/paths.h"
#include "platform/profile_file.h"
#include "platform/sjis.h"
#include "question/question_messages.h"

#include <unordered_set>

namespace tavola {

Lines subIndexTemplate()
{
    return {
        "ここにタイトルをかいてください"_sj, "[[sect1", "ここは主メニュー"_sj, "<<", "ここは副メニュー"_sj, ">>", "]]"};
}

std::string nothingToChangeMessage()
{
    return "変更する項目をクリックしてください"_sj;
}

std::string noMainItemMessage()
{
    return "編集する主メニューを選択してください"_sj;
}

std::string noSubItemMessage()
{
    return "編集する副メニューを選択してください"_sj;
}

Status IndexEditor::readLessons(const std::string& coursewareDir)
{
    index_.setCoursewareDir(coursewareDir);
    return index_.readMainIndex();
}

void IndexEditor::loadLesson(int n)
{
    modified = false;
    lesson_ = n < 1 ? 1 : n;
    path_ = index_.coursewareDir() + index_.lessonFolder(lesson_) + index_.lessonStem(lesson_) + ".ind";
    std::optional<Lines> read;
    if (paths::fileExists(path_)) read = readLineFile(path_);
    lines_ = read ? std::move(*read) : subIndexTemplate();
}

std::vector<IndexItem> IndexEditor::items() const
{
    std::vector<IndexItem> items;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].rfind("[[", 0) != 0) continue;
        IndexItem item;
        if (i + 1 < lines_.size()) item.title = lines_[i + 1];
        for (std::size_t j = i + 3; j < lines_.size() && lines_[j] != ">>"; ++j)
            item.subItems.push_back(lines_[j]);
        items.push_back(std::move(item));
    }
    return items;
}

std::vector<std::vector<std::string>> IndexEditor::unitMarks(const std::string& recordFile) const
{
    const profile::SectionKeyCounts records =
        recordFile.empty() ? profile::SectionKeyCounts() : profile::SectionKeyCounts(recordFile);
    std::vector<std::vector<std::string>> marks;
    int k = 0;
    for (const IndexItem& item : items()) {
        ++k;
        std::unordered_set<std::string> markers;
        const std::string master = index_.masterFilePath(lesson_, k);
        if (paths::fileExists(master))
            if (auto lines = readLineFile(master))
                for (std::string& line : *lines)
                    if (line.starts_with("[[unit")) markers.insert(std::move(line));
        std::vector<std::string>& row = marks.emplace_back();
        int u = 0;
        for (const std::string& sub : item.subItems) {
            ++u;
            const bool similar = markers.contains(unitRecordMarker({lesson_, k, u, 1}));
            row.push_back(markText(similar, records.count(unitRecordSection(k, u, sub))));
        }
    }
    return marks;
}

std::optional<std::size_t> IndexEditor::mainLine(int k) const
{
    int seen = 0;
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].rfind("[[sect", 0) == 0 && ++seen == k) return i;
    return std::nullopt;
}

std::size_t IndexEditor::subListEnd(std::size_t at) const
{
    std::size_t j = std::min(at + 3, lines_.size());
    while (j < lines_.size() && lines_[j] != ">>")
        ++j;
    return j;
}

std::optional<Lines> IndexEditor::subItemsOf(int k) const
{
    auto at = mainLine(k);
    if (!at) return std::nullopt;
    // The end is found once: looking for it again after every line made a long list quadratic.
    std::size_t end = subListEnd(*at);
    Lines sub;
    for (std::size_t j = *at + 3; j < end; ++j)
        sub.push_back(lines_[j]);
    return sub;
}

std::string IndexEditor::masterFileOf(int k) const
{
    std::string path = index_.masterFilePath(lesson_, k);
    return paths::fileExists(path) ? path : "未作成"_sj;
}

bool IndexEditor::addMainItem(const std::string& text)
{
    if (text.empty()) return false;
    std::string m = std::to_string(items().size() + 1);
    lines_.insert(lines_.end(), {"[[sect" + m, text, "<<", "SubMenu New" + m, ">>", "]]"});
    modified = true;
    return true;
}

bool IndexEditor::renameMainItem(int k, const std::string& text)
{
    auto at = mainLine(k);
    if (!at) return false;
    if (*at + 1 < lines_.size())
        lines_[*at + 1] = text;
    else
        lines_.push_back(text);
    modified = true;
    return true;
}

bool IndexEditor::addSubItem(int k, const std::string& text)
{
    auto at = mainLine(k);
    if (text.empty() || !at) return false;
    // A group cut short by the end of the file gets its missing lines before the new item.
    while (lines_.size() < *at + 3)
        lines_.push_back(lines_.size() == *at + 2 ? "<<" : std::string());
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(subListEnd(*at)), text);
    modified = true;
    return true;
}

bool IndexEditor::renameSubItem(int k, int j, const std::string& text)
{
    auto at = mainLine(k);
    if (!at || j < 1) return false;
    std::size_t line = *at + 2 + static_cast<std::size_t>(j);
    if (line >= subListEnd(*at)) return false;
    lines_[line] = text;
    modified = true;
    return true;
}

void IndexEditor::setTitle(const std::string& text)
{
    if (text == title()) return;
    modified = true;
}

Status IndexEditor::save(const std::string& title, bool& written)
{
    written = false;
    if (!modified) return {};
    Lines lines = lines_;
    if (lines.empty())
        lines.push_back(title);
    else
        lines.front() = title;
    if (Status s = writeLineFile(path_, lines); !s) return Status::failure(messages::saveFailed(path_));
    written = true;
    loadLesson(lesson_);
    return {};
}

Status IndexEditor::writeRaw(const Lines& lines)
{
    if (Status s = writeLineFile(path_, lines); !s) return Status::failure(messages::saveFailed(path_));
    return {};
}

} // namespace tavola
