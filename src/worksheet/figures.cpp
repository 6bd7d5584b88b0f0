#include "worksheet/figures.h"

#include "platform/bmp.h"
#include "platform/line_file.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"
#include "question/unit_data.h"
#include "worksheet/worksheet.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>

namespace tavola {

namespace {

// Figures are placed this far right of the segment they belong to.
constexpr int kFigureOffset = 40;
// A position from a damaged file may be any number; it is shown as if it were at most this far off the page (a
// hundred pages), so that the figure's rectangle stays within the integers. The list keeps the number as it is.
constexpr int kFarOffPage = 100000;

int figuresInList(const Lines& lines)
{
    return static_cast<int>(lines.size() / 3);
}

// Whether a figure name (CP932, "\" or "/" between folders) names a file below its folder: no ".." part, no root,
// no drive.
bool staysInFolder(const std::string& name)
{
    if (name.empty() || name[0] == '\\' || name[0] == '/' || (name.size() >= 2 && name[1] == ':')) return false;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= name.size(); i += i < name.size() ? sjis::charLength(name, i) : 1) {
        if (i < name.size() && name[i] != '\\' && name[i] != '/') continue;
        if (name.compare(start, i - start, "..") == 0 && i - start == 2) return false;
        start = i + 1;
    }
    return true;
}

std::string figureOutsideMessage(const std::string& name)
{
    return "図のファイル名 "_sj + name + " はグラフのフォルダーの外を指しているため読み込みません"_sj;
}

PictureRef loadOne(const std::string& path, Prompts& prompts)
{
    if (!paths::fileExists(path)) {
        prompts.message(fileNotFoundMessage(path));
        return nullptr;
    }
    auto picture = bmp::readFile(path);
    if (!picture.ok()) {
        prompts.message(picture.message() == fileTooLargeMessage(path) ? picture.message()
                                                                       : bmp::unreadableMessage(path));
        return nullptr;
    }
    return std::make_shared<const Picture>(std::move(picture).value());
}

// The figures of one worksheet: each file is read and decoded once, however many figures name it, and the
// pixels of all figures together stay under the cap.
class FigureLoader {
public:
    FigureLoader(const std::string& folder, Prompts& prompts) : folder_(folder), prompts_(prompts) {}

    std::vector<PictureRef> loadList(const Lines& lines)
    {
        std::vector<PictureRef> pictures;
        int n = std::min(figuresInList(lines), kMaxFiguresPerSide);
        for (int k = 1; k <= n; ++k) {
            const std::string& file = figureAt(lines, k).file;
            // A figure lies in the lesson's Graph folder: a name that climbs out of it or starts elsewhere is
            // refused, as a lesson folder outside the courseware is.
            if (!staysInFolder(file)) {
                if (refused_.insert(file).second) prompts_.message(figureOutsideMessage(file));
                pictures.push_back(nullptr);
                continue;
            }
            pictures.push_back(load(folder_ + file));
        }
        return pictures;
    }

private:
    PictureRef load(const std::string& path)
    {
        auto [it, first] = decoded_.try_emplace(path);
        if (first) it->second = loadOne(path, prompts_);
        const PictureRef& picture = it->second;
        if (picture == nullptr) return nullptr;
        const long long n = static_cast<long long>(picture->width) * picture->height;
        if (pixels_ + n > kMaxFigurePixels) {
            if (refused_.insert(path).second) prompts_.message(figuresTooLargeMessage(path));
            return nullptr;
        }
        pixels_ += n;
        return picture;
    }

    const std::string& folder_;
    Prompts& prompts_;
    std::map<std::string, PictureRef> decoded_;
    std::set<std::string> refused_;
    long long pixels_ = 0;
};

PictureRef pictureOf(const std::vector<PictureRef>& pictures, int k)
{
    return k >= 1 && k <= static_cast<int>(pictures.size()) ? pictures[static_cast<std::size_t>(k - 1)] : nullptr;
}

} // namespace

FigureLine figureAt(const Lines& figureLines, int k)
{
    FigureLine figure;
    const std::size_t base = static_cast<std::size_t>(3 * (k - 1));
    if (k < 1 || base + 2 >= figureLines.size()) return figure;
    figure.file = figureLines[base];
    figure.x = parseInteger(figureLines[base + 1]).value_or(-1);
    figure.y = parseInteger(figureLines[base + 2]).value_or(-1);
    return figure;
}

void setFigurePosition(Lines& figureLines, int k, int x, int y)
{
    const std::size_t base = static_cast<std::size_t>(3 * (k - 1));
    if (k < 1 || base + 2 >= figureLines.size()) return;
    figureLines[base + 1] = std::to_string(x);
    figureLines[base + 2] = std::to_string(y);
}

std::string figuresTooLargeMessage(const std::string& path)
{
    return path + " は図の大きさの合計を超えるため表示しません"_sj;
}

std::string tooManyFiguresMessage(int n)
{
    return std::to_string(n) + ":問題のグラフが多すぎます"_sj + std::to_string(kMaxFiguresPerSide);
}

FigurePictures loadFigurePictures(const Worksheet& sheet, const std::string& figureFolder, Prompts& prompts)
{
    FigureLoader loader(figureFolder, prompts);
    FigurePictures pictures;
    pictures.problem = loader.loadList(sheet.graph);
    pictures.answer = loader.loadList(sheet.agraph);
    return pictures;
}

PictureRef loadClassFlag(const std::string& coursewareDir)
{
    const std::string path = coursewareDir + "classFlag.bmp";
    if (!paths::fileExists(path)) return nullptr;
    auto picture = bmp::readFile(path);
    if (!picture.ok()) return nullptr;
    return std::make_shared<const Picture>(std::move(picture).value());
}

std::vector<PlacedFigure> placeFigures(const Worksheet& sheet, const std::vector<Point>& segmentPositions,
                                       Point fallback, const FigurePictures* pictures, bool answersShown,
                                       std::vector<std::string>& messages, std::vector<FigurePlacement>* placements)
{
    int n = sheet.figureCount();
    if (n > kMaxFiguresPerSide) {
        messages.push_back(tooManyFiguresMessage(n));
        n = kMaxFiguresPerSide;
    }
    std::vector<PlacedFigure> placed;
    for (int k = 1; k <= n; ++k) {
        FigureLine figure = figureAt(sheet.graph, k);
        if (figure.x < 1) {
            Point at = fallback;
            if (!segmentPositions.empty())
                at = segmentPositions[static_cast<std::size_t>(std::min(k, static_cast<int>(segmentPositions.size())) -
                                                               1)];
            figure.x = at.x + kFigureOffset;
            figure.y = at.y;
            if (placements != nullptr) placements->push_back({k, {figure.x, figure.y}});
        }
        PlacedFigure shown;
        shown.picture = pictures != nullptr ? pictureOf(pictures->problem, k) : nullptr;
        const int x = std::clamp(figure.x, -kFarOffPage, kFarOffPage);
        const int y = std::clamp(figure.y, -kFarOffPage, kFarOffPage);
        shown.rect = {x, y, x, y};
        placed.push_back(shown);
    }
    if (answersShown) {
        int a = sheet.answerFigureCount();
        if (a > kMaxFiguresPerSide) {
            messages.push_back(tooManyFiguresMessage(a));
            a = kMaxFiguresPerSide;
        }
        // Answer figures have no position of their own in use; past the problem figures they are not shown.
        for (int k = 1; k <= std::min(a, n); ++k)
            placed[static_cast<std::size_t>(k - 1)].picture =
                pictures != nullptr ? pictureOf(pictures->answer, k) : nullptr;
    }
    for (PlacedFigure& figure : placed) {
        if (figure.picture == nullptr) continue;
        figure.rect.right = figure.rect.left + figure.picture->width;
        figure.rect.bottom = figure.rect.top + figure.picture->height;
    }
    return placed;
}

} // namespace tavola
