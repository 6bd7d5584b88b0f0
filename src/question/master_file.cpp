#include "question/master_file.h"

#include "platform/numbers.h"
#include "question/question_messages.h"
#include "question/unit_data.h"
#include "question/unit_settings.h"

#include <algorithm>

namespace tavola {
namespace {

constexpr std::string_view kEndRecord = "]]";
constexpr std::string_view kEndBlock = ">>";
// Only the first 15 figures of a side are used; the lines of further figures are carried but never read.
constexpr std::size_t kUsedFigureLines = 3 * kMaxFiguresPerSide;

std::optional<std::size_t> findFrom(const Lines& lines, std::size_t from, std::string_view text)
{
    for (std::size_t i = from; i < lines.size(); ++i)
        if (lines[i] == text) return i;
    return std::nullopt;
}

// Reads one record by the system's rule: one index i, at most one block per pass, keywords compared with the
// current line only.
class RecordReader {
public:
    RecordReader(const Lines& lines, const std::string& path, std::size_t problemLinesBefore)
        : lines_(lines), path_(path), problemLinesBefore_(problemLinesBefore)
    {
    }

    RecordRead read(std::size_t markerIndex)
    {
        std::size_t i = markerIndex + 1;
        while (i < lines_.size() && lines_[i] != kEndRecord) {
            const std::string& line = lines_[i];
            bool ok = true;
            if (line == "<<ques") {
                ok = readQues(i);
            } else if (line == "<<ans") {
                ok = skipBlock(i);
            } else if (line == "<<header") {
                ok = readBlock(i, c_.header);
            } else if (line == "<<value") {
                ok = readValue(i);
            } else if (line == "<<font") {
                ok = readFont(i);
            } else if (line == "<<kran") {
                ok = readKran(i);
            } else if (line == "<<graph") {
                ok = readFigures(i, c_.graph);
            } else if (line == "<<kgroup") {
                ok = readBlock(i, c_.kgroup);
            } else if (line == "<<softkey") {
                ok = readBlock(i, c_.softkey);
            } else if (line == "<<AGraph") {
                ok = readFigures(i, c_.agraph);
            }
            if (!ok) return std::move(result_);
            ++i;
        }
        result_.content = std::move(c_);
        return std::move(result_);
    }

private:
    bool fail(std::size_t line, std::string message)
    {
        result_.status = Status::failure(std::move(message));
        result_.stopLine = line;
        return false;
    }

    // The lines after the keyword on line i up to the closing ">>"; i is left on the ">>".
    std::optional<std::pair<std::size_t, std::size_t>> blockRange(std::size_t& i, std::size_t first)
    {
        auto end = findFrom(lines_, first, kEndBlock);
        if (!end) {
            fail(i, messages::unclosedBlock(path_, lines_[i]));
            return std::nullopt;
        }
        std::pair<std::size_t, std::size_t> range{first, *end};
        i = *end;
        return range;
    }

    bool readBlock(std::size_t& i, Lines& into)
    {
        auto range = blockRange(i, i + 1);
        if (!range) return false;
        append(into, *range);
        return true;
    }

    bool skipBlock(std::size_t& i) { return blockRange(i, i + 1).has_value(); }

    bool readQues(std::size_t& i)
    {
        std::size_t keyword = i;
        std::size_t first = i + 1;
        if (first < lines_.size() && lines_[first] == "{") {
            // A "{" right after the keyword opens a comment that runs through the next "}".
            auto close = findFrom(lines_, first + 1, "}");
            if (!close) return fail(keyword, messages::unclosedComment(path_));
            first = *close + 1;
        }
        auto range = blockRange(i, first);
        if (!range) return false;
        if (problemLinesBefore_ + c_.problemLines.size() + (range->second - range->first) >
            static_cast<std::size_t>(kMaxProblemLines))
            return fail(keyword, messages::tooManyProblemLines());
        append(c_.problemLines, *range);
        for (std::size_t line = range->first; line < range->second; ++line)
            c_.problemLineIndices.push_back(line);
        return true;
    }

    bool notANumber(std::size_t line) { return fail(line, messages::notANumber(path_, line + 1, lines_[line])); }

    bool readValue(std::size_t& i)
    {
        std::size_t keyword = i;
        auto range = blockRange(i, i + 1);
        if (!range) return false;
        if (range->second - range->first != kValueLineCount) return fail(keyword, messages::valueBlockError());
        for (int k = 1; k <= kValueLineCount; ++k) {
            std::size_t line = range->first + static_cast<std::size_t>(k - 1);
            if (valueLineIsNumber(k) && !valueLineNumber(k, lines_[line])) return notANumber(line);
        }
        append(c_.value, *range);
        c_.hasValue = true;
        return true;
    }

    bool readFont(std::size_t& i)
    {
        std::size_t keyword = i;
        auto range = blockRange(i, i + 1);
        if (!range) return false;
        if (range->second - range->first != kFontLineCount) return fail(keyword, messages::fontBlockError());
        if (!parseInteger(lines_[range->first])) return notANumber(range->first);
        append(c_.font, *range);
        c_.hasFont = true;
        return true;
    }

    bool readKran(std::size_t& i)
    {
        std::size_t keyword = i;
        auto range = blockRange(i, i + 1);
        if (!range) return false;
        std::size_t count = range->second - range->first;
        if (count > kKranLineCount) return fail(keyword, messages::kranBlockError());
        for (std::size_t line = range->first; line < range->second; ++line)
            if (!parseInteger(lines_[line])) return notANumber(line);
        append(c_.kran, *range);
        c_.kran.insert(c_.kran.end(), kKranLineCount - count, "0");
        c_.hasKran = true;
        return true;
    }

    bool readFigures(std::size_t& i, Lines& into)
    {
        auto range = blockRange(i, i + 1);
        if (!range) return false;
        // Figure k takes list lines 3k−2 (file), 3k−1 (x) and 3k (y); repeated blocks continue the same list.
        for (std::size_t line = range->first; line < range->second; ++line) {
            std::size_t k = into.size() + (line - range->first);
            if (k < kUsedFigureLines && k % 3 != 0 && !parseInteger(lines_[line])) return notANumber(line);
        }
        append(into, *range);
        return true;
    }

    void append(Lines& into, std::pair<std::size_t, std::size_t> range)
    {
        into.insert(into.end(), lines_.begin() + static_cast<std::ptrdiff_t>(range.first),
                    lines_.begin() + static_cast<std::ptrdiff_t>(range.second));
    }

    const Lines& lines_;
    const std::string& path_;
    std::size_t problemLinesBefore_;
    RecordContent c_;
    RecordRead result_;
};

void block(Lines& out, std::string_view keyword, const Lines& content)
{
    out.emplace_back(keyword);
    out.insert(out.end(), content.begin(), content.end());
    out.emplace_back(kEndBlock);
}

void blockIfAny(Lines& out, std::string_view keyword, const Lines& content)
{
    if (!content.empty()) block(out, keyword, content);
}

} // namespace

std::optional<std::size_t> findRecord(const Lines& lines, std::string_view marker)
{
    return findFrom(lines, 0, marker);
}

RecordRead readRecord(const Lines& lines, std::size_t markerIndex, const std::string& path,
                      std::size_t problemLinesBefore)
{
    return RecordReader(lines, path, problemLinesBefore).read(markerIndex);
}

Lines editorRecordLines(const EditorRecord& r)
{
    Lines out{r.marker};
    block(out, "<<ques", r.ques);
    blockIfAny(out, "<<kgroup", r.kgroup);
    block(out, "<<dummy", r.dummy);
    blockIfAny(out, "<<graph", r.graph);
    blockIfAny(out, "<<AGraph", r.agraph);
    blockIfAny(out, "<<hint", r.hint);
    out.insert(out.end(), r.layout.begin(), r.layout.end());
    out.emplace_back(kEndRecord);
    return out;
}

Lines appendedRecordLines(const EditorRecord& r)
{
    Lines out{r.marker};
    block(out, "<<ques", r.ques);
    blockIfAny(out, "<<kgroup", r.kgroup);
    block(out, "<<dummy", r.dummy);
    out.insert(out.end(), r.layout.begin(), r.layout.end());
    blockIfAny(out, "<<graph", r.graph);
    blockIfAny(out, "<<AGraph", r.agraph);
    blockIfAny(out, "<<hint", r.hint);
    out.emplace_back(kEndRecord);
    return out;
}

std::optional<std::size_t> removeRecord(Lines& lines, std::string_view marker)
{
    auto start = findRecord(lines, marker);
    if (!start) return std::nullopt;
    auto end = findFrom(lines, *start + 1, kEndRecord);
    std::size_t stop = end ? *end + 1 : lines.size();
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*start), lines.begin() + static_cast<std::ptrdiff_t>(stop));
    return start;
}

void putRecord(Lines& lines, const EditorRecord& record)
{
    if (auto at = removeRecord(lines, record.marker)) {
        Lines recordLines = editorRecordLines(record);
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*at), recordLines.begin(), recordLines.end());
    } else {
        Lines recordLines = appendedRecordLines(record);
        lines.insert(lines.end(), recordLines.begin(), recordLines.end());
    }
}

Lines copyRecordLines(const CopyRecord& r)
{
    Lines out{std::string(kCopyRecordMarker)};
    block(out, "<<header", {r.title, r.school, r.name});
    block(out, "<<ques", r.problemLines);
    block(out, "<<ans", {});
    blockIfAny(out, "<<graph", r.graph);
    blockIfAny(out, "<<AGraph", r.agraph);
    block(out, "<<value", r.value);
    block(out, "<<font", r.font);
    block(out, "<<kran", r.kran);
    block(out, "<<kgroup", r.kgroup);
    out.emplace_back(kEndRecord);
    return out;
}

} // namespace tavola
