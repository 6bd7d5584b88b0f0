#pragma once
// Figures: pictures from the figure folder shown at their page position with their own pixel size, three list
// lines each (file, x, y). Loading the pictures is separate from drawing: it happens when a worksheet is created
// and when units are added, and is the only place that touches the files; each drawing pass only places and
// draws what was loaded.
#include "platform/bmp.h"
#include "platform/canvas.h"
#include "platform/line_file.h"
#include "platform/prompts.h"

#include <string>
#include <vector>

namespace tavola {

struct Worksheet;

struct FigureLine {
    std::string file;
    int x = -1; // less than 1: not placed yet
    int y = -1;
};

// Figure k (1-based) of a list: lines 3k−2, 3k−1, 3k. A position that is not a number counts as not placed.
FigureLine figureAt(const Lines& figureLines, int k);
// Writes x and y into lines 3k−1 and 3k.
void setFigurePosition(Lines& figureLines, int k, int x, int y);

// n + ":問題のグラフが多すぎます" + "15".
std::string tooManyFiguresMessage(int n);

// The loaded pictures, index k − 1 for figure k; an entry is null when its file is missing or unreadable.
struct FigurePictures {
    std::vector<PictureRef> problem;
    std::vector<PictureRef> answer;
};

// The pixels of all figures of a page together (each figure counted, the same file named twice counts twice):
// as many as the largest single picture the reader accepts.
inline constexpr long long kMaxFigurePixels = bmp::kMaxPixels;

// path + " は図の大きさの合計を超えるため表示しません": a figure past kMaxFigurePixels.
std::string figuresTooLargeMessage(const std::string& path);

// Loads the first 15 problem and answer figures from figureFolder (a system folder text ending in "\", or empty
// for the current folder). Each file is decoded once, whichever figures name it. A missing file shows
// "ファイル " + path + " が見つかりません", a file that is not a readable bitmap shows
// path + " は正しいビットマップではありません", each once; that figure stays empty. Figures past the pixel cap
// stay empty too, with figuresTooLargeMessage once per file.
FigurePictures loadFigurePictures(const Worksheet& sheet, const std::string& figureFolder, Prompts& prompts);

// "classFlag.bmp" of the courseware folder, or null when the file does not exist or cannot be read (the class
// flag is then not shown).
PictureRef loadClassFlag(const std::string& coursewareDir);

// A figure as a pass placed it: page coordinates and the picture shown there (an answer figure's picture when the
// answers are shown), null when the figure has no picture.
struct PlacedFigure {
    Rect rect;
    PictureRef picture;
};

// A figure without a position that a page placed: figure k's list lines take this position.
struct FigurePlacement {
    int k = 0;
    Point at;
    friend bool operator==(const FigurePlacement&, const FigurePlacement&) = default;
};

// Places the problem figures of a page (at most 15; more show tooManyFiguresMessage, added to messages). A figure
// not placed yet goes to the k-th segment position of the page moved 40 units right (the last segment's when the
// page drew fewer than k, fallback when it drew none), and is added to placements, for its list lines to take.
// When the answers are shown, answer figure k's picture replaces problem figure k's, at problem figure k's position.
std::vector<PlacedFigure> placeFigures(const Worksheet& sheet, const std::vector<Point>& segmentPositions,
                                       Point fallback, const FigurePictures* pictures, bool answersShown,
                                       std::vector<std::string>& messages, std::vector<FigurePlacement>* placements);

} // namespace tavola
