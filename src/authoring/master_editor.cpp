#include "authoring/master_editor.h"

#include "variant/problem_text.h"

#include "platform/paths.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"
#include "question/master_file.h"
#include "question/question_messages.h"
#include "variant/problem_text.h"
#include "variant/variant_generator.h"
#include "worksheet/worksheet.h"

#include <algorithm>
#include <array>

namespace tavola {
namespace {

bool isFullWidthDigit(std::string_view slice)
{
    static const std::string digits = "０１２３４５６７８９"_sj;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        if (digits.compare(i, 2, slice) == 0) return true;
    return false;
}

bool isChoiceLabel(const std::string& line)
{
    static const std::string labels = "あいうえおかきくけこアイウエオカキクケコＡＢＣＤＥＦＧＨＩＪ"_sj;
    if (line.size() != 2) return false;
    for (std::size_t i = 0; i + 1 < labels.size(); i += 2)
        if (labels.compare(i, 2, line) == 0) return true;
    return false;
}

std::string lineMessage(int zeroBasedLine, const char* utf8)
{
    return std::to_string(zeroBasedLine + 1) + sjis::encode(utf8);
}

bool isLayoutKeyword(const std::string& line)
{
    return line == "<<value" || line == "<<font" || line == "<<kran";
}

} // namespace

Lines newUnitProblemText()
{
    return {"１．次の各空欄に適語を入れなさい。"_sj, "例　日本の首都は　#　東京　#　です"_sj};
}

TextCheck checkProblemText(const Lines& ques)
{
    bool anyHash = false;
    std::vector<std::string> pieces;
    for (std::size_t i = 0; i < ques.size(); ++i) {
        int line = static_cast<int>(i);
        int hashes = splitAtHash(ques[i], pieces);
        if (hashes == 0) continue;
        anyHash = true;
        if (hashes % 2 != 0) return {false, line, lineMessage(line, "行目：＃の数は偶数にしてください")};
        for (std::size_t p = 1; p + 1 < pieces.size(); ++p)
            if (pieces[p].empty()) return {false, line, lineMessage(line, "行目：解答がありません")};
    }
    if (!anyHash) return {false, 0, "解答欄がありません"_sj};
    return {};
}

std::string trimAnswer(std::string_view text)
{
    return trimAnswerText(text);
}

Lines extractAnswers(const Lines& ques)
{
    Lines answers;
    std::vector<std::string> pieces;
    for (const std::string& line : ques) {
        splitAtHash(line, pieces);
        for (std::size_t p = 1; p + 1 < pieces.size(); p += 2)
            answers.push_back(trimAnswer(pieces[p]));
    }
    return answers;
}

void removeDigitOnlyLines(Lines& lines)
{
    std::erase_if(lines, [](const std::string& line) {
        for (std::size_t i = 0; i + 1 < line.size(); i += 2)
            if (!isFullWidthDigit(std::string_view(line).substr(i, 2))) return false;
        return true;
    });
}

void removeChoiceLabelLines(Lines& lines)
{
    std::erase_if(lines, isChoiceLabel);
}

Lines selectionFromAnswers(const Lines& answers, bool withoutDigits, bool withoutLabels)
{
    Lines kgroup;
    std::vector<std::string> alternatives;
    for (const std::string& answer : answers) {
        if (answer.empty()) continue;
        splitAtSemicolon(answer, alternatives);
        kgroup.insert(kgroup.end(), alternatives.begin(), alternatives.end());
    }
    if (withoutDigits) removeDigitOnlyLines(kgroup);
    if (withoutLabels) removeChoiceLabelLines(kgroup);
    return kgroup;
}

void addDummyAnswers(Lines& kgroup, const Lines& dummy)
{
    for (const std::string& d : dummy) {
        if (d.empty() || std::find(kgroup.begin(), kgroup.end(), d) != kgroup.end()) continue;
        kgroup.push_back(d);
    }
}

int selectionCharacterCount(const Lines& kgroup)
{
    int count = 0;
    for (const std::string& line : kgroup)
        count += static_cast<int>(line.size() / 2);
    return count;
}

void numberProblems(Lines& ques)
{
    for (std::size_t i = 1; i < ques.size(); ++i)
        ques[i] = "(" + std::to_string(i) + ") " + ques[i] + "=";
}

std::string enclose(const std::string& selection, Enclosure kind)
{
    switch (kind) {
    case Enclosure::AnswerBox:
        return " # " + selection + " # ";
    case Enclosure::Underline:
        return "@U" + selection + "@/";
    case Enclosure::Bold:
        return "@B" + selection + "@/";
    case Enclosure::Italic:
        return "@I" + selection + "@/";
    }
    return selection;
}

std::string nothingSelectedMessage()
{
    return "囲む範囲を選択してください"_sj;
}

std::vector<std::string> figureFilesIn(const std::string& systemFolder)
{
    return paths::filesWithExtension(systemFolder, ".bmp");
}

std::vector<std::string> addFigures(Lines& area, const std::vector<std::string>& files,
                                    const std::vector<Point>& segmentPositions)
{
    std::vector<std::string> refused;
    for (const std::string& file : files) {
        std::size_t k = area.size() / 3 + 1;
        if (k > static_cast<std::size_t>(kMaxEditorFigures)) {
            refused.push_back("グラフは"_sj + std::to_string(kMaxEditorFigures) + "個までです"_sj);
            continue;
        }
        area.push_back(file);
        if (k <= segmentPositions.size()) {
            const Point& p = segmentPositions[k - 1];
            area.push_back(std::to_string(p.x + 40));
            area.push_back(std::to_string(p.y + 20));
        } else {
            area.push_back("-1");
            area.push_back("-1");
        }
    }
    return refused;
}

Status checkLayoutBlocks(const Lines& area)
{
    for (std::size_t i = 0; i < area.size(); ++i) {
        const std::string& line = area[i];
        if (!isLayoutKeyword(line)) continue;
        std::size_t count = 0;
        for (std::size_t j = i + 1; j < area.size() && area[j] != ">>"; ++j)
            ++count;
        if (line == "<<value" && count != 7) return Status::failure("valueブロックの数が合いません"_sj);
        if (line == "<<font" && count != 7) return Status::failure("fontブロックの数が合いません"_sj);
        if (line == "<<kran" && count != 10 && count != 8) return Status::failure("kranブロックの数が合いません"_sj);
    }
    return {};
}

std::string makeSimilarQuestion(int m)
{
    return "データを変更して類題"_sj + std::to_string(m) + "を作成します"_sj;
}

std::string tooManySimilarMessage()
{
    return "類題は"_sj + std::to_string(kMaxSimilar) + "つまでです。これ以上は作成できません"_sj;
}

std::string similarOfSimilarMessage()
{
    return "類題の類題は作成できません"_sj;
}

std::optional<std::string> wrongAnswersQuestion(const Lines& ques, int* firstLine)
{
    std::string list;
    int shown = 0;
    for (std::size_t i = 0; i < ques.size(); ++i) {
        auto d = variant::firstAnswerMismatch(ques[i]);
        if (!d) continue;
        if (shown == 0 && firstLine != nullptr) *firstLine = static_cast<int>(i) + 1;
        // A long list would not fit a message box; the count of the rest is told.
        if (++shown > 10) continue;
        list += std::to_string(i + 1) + "行目："_sj + d->arithmetic + " = " + d->answer;
        list += d->value.empty() ? "（計算できません）"_sj : "（計算すると "_sj + d->value + "）"_sj;
        list += "\n";
    }
    if (shown == 0) return std::nullopt;
    if (shown > 10) list += "ほか "_sj + std::to_string(shown - 10) + " 問\n"_sj;
    return "答えが式の値と違う問題があります。\n"_sj + list + "このまま保存しますか"_sj;
}

std::string saveChangesQuestion()
{
    return "変更されたデータファイルを保存しますか？"_sj;
}

std::string nothingToVaryMessage()
{
    return "数を変えられる問題がありません"_sj;
}

// ---- the unit in the file ----

void MasterEditor::load(const CoursewareIndex& index, const UnitPosition& position, const Lines& defaultBlocks,
                        const Worksheet* sheet)
{
    position_ = position;
    modified = false;
    newSimilar_ = 0;
    similar_.clear();
    areas = {};
    fileLines_.clear();
    path_.clear();
    unitId_.clear();
    if (position.section <= 0) return;

    path_ = index.masterFilePath(position.lesson, position.section);
    unitId_ = index.unitFileNames({position.lesson, position.section, position.unit, 0}).shortKey;
    std::optional<std::size_t> header;
    if (paths::fileExists(path_)) {
        if (auto lines = readLineFile(path_)) fileLines_ = std::move(*lines);
        header = findRecord(fileLines_, unitRecordMarker(position));
    }
    if (!header) {
        areas.ques = newUnitProblemText();
        areas.pasteLo = defaultBlocks;
        // A worksheet whose record has gone from the file is written back as it stands on the page.
        if (sheet != nullptr) {
            if (!sheet->problemLines.empty()) areas.ques = sheet->problemLines;
            if (!sheet->problemLines.empty() && !sheet->quesComment.empty()) {
                Lines ques{"{"};
                ques.insert(ques.end(), sheet->quesComment.begin(), sheet->quesComment.end());
                ques.emplace_back("}");
                areas.ques.insert(areas.ques.begin(), ques.begin(), ques.end());
            }
            areas.kgroup = sheet->kgroup;
            areas.pasteLo = sheet->layoutBlockLines();
            areas.qgraph = sheet->graph;
            areas.agraph = sheet->agraph;
        }
    } else {
        RecordContent unit = recordBlocks(fileLines_, *header);
        areas.ques = std::move(unit.ques);
        areas.kgroup = std::move(unit.kgroup);
        areas.dummy = std::move(unit.dummy);
        areas.hint = std::move(unit.hint);
        areas.qgraph = std::move(unit.graph);
        areas.agraph = std::move(unit.agraph);
        areas.pasteLo = std::move(unit.layout);
        if (sheet != nullptr) {
            areas.pasteLo = sheet->layoutBlockLines();
            areas.qgraph = sheet->graph;
            areas.agraph = sheet->agraph;
        }
        // Any other block (soft keys, answers) is carried unchanged rather than lost when the unit is written back.
        areas.pasteLo.insert(areas.pasteLo.end(), unit.otherBlocks.begin(), unit.otherBlocks.end());
        similar_ = similarProblemsPresent(fileLines_, position.unit);
    }
}

Result<int> MasterEditor::nextSimilar() const
{
    if (position_.similar != 0) return Result<int>::failure(similarOfSimilarMessage());
    int m = static_cast<int>(similar_.size()) + 1;
    UnitPosition p = position_;
    for (p.similar = m; findRecord(fileLines_, unitRecordMarker(p)); ++p.similar) {
    }
    // The unit selection window lists 類題1 to 類題5; a sixth would be written and never shown.
    if (p.similar > kMaxSimilar) return Result<int>::failure(tooManySimilarMessage());
    return p.similar;
}

void MasterEditor::takeSimilar(int m)
{
    position_.similar = m;
    newSimilar_ = m;
}

Result<int> MasterEditor::makeVariedSimilar(bool withoutDigits, bool withoutLabels)
{
    Result<int> m = nextSimilar();
    if (!m) return m;
    // The comment's formulas vary the word problems; the comment itself stays as written.
    Lines varied = variant::varyQues(areas.ques, variant::variantSeed(unitId_, *m + 1));
    if (varied == areas.ques) return Result<int>::failure(nothingToVaryMessage());
    areas.ques = std::move(varied);
    if (!areas.kgroup.empty()) {
        areas.kgroup = selectionFromAnswers(extractAnswers(areas.ques), withoutDigits, withoutLabels);
        addDummyAnswers(areas.kgroup, areas.dummy);
    }
    takeSimilar(*m);
    modified = true;
    return m;
}

void MasterEditor::cancel()
{
    modified = false;
    newSimilar_ = 0;
}

Lines MasterEditor::linesWithUnit() const
{
    EditorRecord record;
    record.marker = unitRecordMarker(position_);
    record.ques = areas.ques;
    record.kgroup = areas.kgroup;
    record.dummy = areas.dummy;
    record.graph = areas.qgraph;
    record.agraph = areas.agraph;
    record.hint = areas.hint;
    record.layout = areas.pasteLo;
    Lines lines = fileLines_;
    putRecord(lines, record);
    return lines;
}

MasterEditor::SaveOutcome MasterEditor::save()
{
    SaveOutcome outcome;
    if (TextCheck text = checkProblemText(areas.ques); !text.ok) {
        outcome.refused = SaveOutcome::Refused::ProblemText;
        outcome.line = text.line;
        outcome.message = text.message;
        return outcome;
    }
    if (Status layout = checkLayoutBlocks(areas.pasteLo); !layout) {
        outcome.refused = SaveOutcome::Refused::Layout;
        outcome.message = layout.message();
        return outcome;
    }
    Lines lines = linesWithUnit();
    if (Status written = writeLineFile(path_, lines); !written) {
        outcome.refused = SaveOutcome::Refused::Write;
        outcome.message = messages::saveFailed(path_);
        return outcome;
    }
    fileLines_ = std::move(lines);
    modified = false;
    outcome.ok = true;
    return outcome;
}

Status MasterEditor::writeWholeFile(const Lines& lines)
{
    if (Status written = writeLineFile(path_, lines); !written) return Status::failure(messages::saveFailed(path_));
    fileLines_ = lines;
    return {};
}

Status saveWorksheetToMaster(Worksheet& sheet, const CoursewareIndex& index, const Lines& defaultBlocks)
{
    MasterEditor editor;
    editor.load(index, sheet.position, defaultBlocks, &sheet);
    if (editor.path().empty()) return Status::failure(messages::saveFailed(sheet.path));
    Lines lines = editor.linesWithUnit();
    if (Status written = writeLineFile(editor.path(), lines); !written)
        return Status::failure(messages::saveFailed(editor.path()));
    sheet.changed = false;
    return {};
}

} // namespace tavola
