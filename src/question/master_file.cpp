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
// current line only. The walk goes on to the record's end after a refusal, for the editor; the first refusal is
// the one reported.
class RecordReader {
public:
    RecordReader(const Lines& lines, const std::string& path, std::size_t problemLinesBefore)
        : lines_(lines), path_(path), problemLinesBefore_(problemLinesBefore)
    {
    }

    RecordRead read(std::size_t markerIndex)
    {
        for (std::size_t i = markerIndex + 1; i < lines_.size() && lines_[i] != kEndRecord; ++i) {
            const std::string& line = lines_[i];
            if (line == "<<ques") {
                readQues(i);
            } else if (line == "<<ans") {
                readOther(i, nullptr);
            } else if (line == "<<header") {
                readOther(i, &c_.header);
            } else if (line == "<<value") {
                readValue(i);
            } else if (line == "<<font") {
                readFont(i);
            } else if (line == "<<kran") {
                readKran(i);
            } else if (line == "<<graph") {
                readFigures(i, c_.graph);
            } else if (line == "<<kgroup") {
                append(c_.kgroup, blockRange(i, i + 1));
            } else if (line == "<<softkey") {
                readOther(i, &c_.softkey);
            } else if (line == "<<AGraph") {
                readFigures(i, c_.agraph);
            } else {
                passOver(line);
            }
        }
        endRun();
        result_.content = std::move(c_);
        return std::move(result_);
    }

private:
    using Range = std::pair<std::size_t, std::size_t>;

    void fail(std::size_t line, std::string message)
    {
        if (!result_.ok()) return;
        result_.status = Status::failure(std::move(message));
        result_.stopLine = line;
    }

    // The lines after the keyword on line i up to the closing ">>"; i is left on the ">>". A block that is not
    // closed is refused and takes the rest of the file. Lines gathered since a keyword passed over end here.
    Range blockRange(std::size_t& i, std::size_t first)
    {
        endRun();
        auto end = findFrom(lines_, first, kEndBlock);
        if (!end) {
            fail(i, messages::unclosedBlock(path_, lines_[i]));
            i = lines_.size();
            return {first, lines_.size()};
        }
        i = *end;
        return {first, *end};
    }

    // A block the unit reader skips or keeps without looking into it; the editor carries it whole.
    void readOther(std::size_t& i, Lines* into)
    {
        std::size_t keyword = i;
        Range range = blockRange(i, i + 1);
        if (into != nullptr) append(*into, range);
        appendWhole(c_.otherBlocks, keyword, range);
    }

    void readQues(std::size_t& i)
    {
        std::size_t keyword = i;
        std::size_t first = i + 1;
        if (first < lines_.size() && lines_[first] == "{") {
            // A "{" right after the keyword opens a comment that runs through the next "}".
            if (auto close = findFrom(lines_, first + 1, "}")) {
                append(c_.quesComment, {first + 1, *close});
                first = *close + 1;
            } else
                fail(keyword, messages::unclosedComment(path_));
        }
        Range range = blockRange(i, first);
        if (problemLinesBefore_ + c_.problemLines.size() + (range.second - range.first) >
            static_cast<std::size_t>(kMaxProblemLines))
            fail(keyword, messages::tooManyProblemLines());
        append(c_.problemLines, range);
        for (std::size_t line = range.first; line < range.second; ++line)
            c_.problemLineIndices.push_back(line);
        append(c_.ques, {keyword + 1, range.second});
    }

    void notANumber(std::size_t line) { fail(line, messages::notANumber(path_, line + 1, lines_[line])); }

    void readValue(std::size_t& i)
    {
        std::size_t keyword = i;
        Range range = blockRange(i, i + 1);
        appendWhole(c_.layout, keyword, range);
        if (range.second - range.first != kValueLineCount) {
            fail(keyword, messages::valueBlockError());
        } else {
            for (int k = 1; k <= kValueLineCount; ++k) {
                std::size_t line = range.first + static_cast<std::size_t>(k - 1);
                if (valueLineIsNumber(k) && !valueLineNumber(k, lines_[line])) notANumber(line);
            }
        }
        append(c_.value, range);
        c_.hasValue = true;
    }

    void readFont(std::size_t& i)
    {
        std::size_t keyword = i;
        Range range = blockRange(i, i + 1);
        appendWhole(c_.layout, keyword, range);
        if (range.second - range.first != kFontLineCount)
            fail(keyword, messages::fontBlockError());
        else if (!parseInteger(lines_[range.first]))
            notANumber(range.first);
        append(c_.font, range);
        c_.hasFont = true;
    }

    void readKran(std::size_t& i)
    {
        std::size_t keyword = i;
        Range range = blockRange(i, i + 1);
        appendWhole(c_.layout, keyword, range);
        std::size_t count = range.second - range.first;
        if (count > kKranLineCount) fail(keyword, messages::kranBlockError());
        for (std::size_t line = range.first; line < range.second; ++line)
            if (!parseInteger(lines_[line])) notANumber(line);
        append(c_.kran, range);
        if (count < kKranLineCount) c_.kran.insert(c_.kran.end(), kKranLineCount - count, "0");
        c_.hasKran = true;
    }

    void readFigures(std::size_t& i, Lines& into)
    {
        Range range = blockRange(i, i + 1);
        // Figure k takes list lines 3k−2 (file), 3k−1 (x) and 3k (y); repeated blocks continue the same list.
        for (std::size_t line = range.first; line < range.second; ++line) {
            std::size_t k = into.size() + (line - range.first);
            if (k < kUsedFigureLines && k % 3 != 0 && !parseInteger(lines_[line])) notANumber(line);
        }
        append(into, range);
    }

    // "<<dummy", "<<hint" and keywords the unit reader does not know are passed over one line at a time, as the
    // unit reader always has; their lines are gathered up to the next ">>" that no other block takes.
    void passOver(const std::string& line)
    {
        if (line.starts_with("<<")) {
            endRun();
            run_ = line == "<<dummy" ? &c_.dummy : line == "<<hint" ? &c_.hint : &c_.otherBlocks;
            if (run_ == &c_.otherBlocks) run_->push_back(line);
        } else if (line == kEndBlock) {
            endRun();
        } else if (run_ != nullptr) {
            run_->push_back(line);
        }
    }

    // A block carried whole gets its ">>", also when the record ends before it.
    void endRun()
    {
        if (run_ == &c_.otherBlocks) c_.otherBlocks.emplace_back(kEndBlock);
        run_ = nullptr;
    }

    void append(Lines& into, Range range)
    {
        into.insert(into.end(), lines_.begin() + static_cast<std::ptrdiff_t>(range.first),
                    lines_.begin() + static_cast<std::ptrdiff_t>(range.second));
    }

    void appendWhole(Lines& into, std::size_t keyword, Range range)
    {
        into.push_back(lines_[keyword]);
        append(into, range);
        into.emplace_back(kEndBlock);
    }

    const Lines& lines_;
    const std::string& path_;
    std::size_t problemLinesBefore_;
    RecordContent c_;
    Lines* run_ = nullptr;
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
    RecordRead read = RecordReader(lines, path, problemLinesBefore).read(markerIndex);
    // A refused read changes nothing.
    if (!read.ok()) read.content = {};
    return read;
}

RecordContent recordBlocks(const Lines& lines, std::size_t markerIndex)
{
    return RecordReader(lines, {}, 0).read(markerIndex).content;
}

Lines recordHints(const std::string& path, std::string_view marker)
{
    if (path.empty()) return {};
    const std::optional<Lines> lines = readLineFile(path);
    if (!lines) return {};
    const std::optional<std::size_t> at = findRecord(*lines, marker);
    return at ? recordBlocks(*lines, *at).hint : Lines{};
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
    if (r.quesComment.empty()) {
        block(out, "<<ques", r.problemLines);
    } else {
        Lines ques{"{"};
        ques.insert(ques.end(), r.quesComment.begin(), r.quesComment.end());
        ques.emplace_back("}");
        ques.insert(ques.end(), r.problemLines.begin(), r.problemLines.end());
        block(out, "<<ques", ques);
    }
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
