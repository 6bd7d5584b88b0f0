#pragma once
// What an exercise draws on the practice window's sheet picture: entries, white patches, marks, the score and the
// reduction hint. Each drawing returns the rectangle it changed, so that only that part of the window is painted
// again after an Enter.
#include "practice/practice_engine.h"
#include "practice/practice_marks.h"
#include "render/draw_math.h"

#include <QImage>

#include <string>
#include <vector>

namespace tavola {

class SheetDrawing {
public:
    explicit SheetDrawing(QImage& sheet) : sheet_(sheet) {}

    // The worksheet's character size and answer-box settings the entries and marks follow.
    void setStyle(const MarkStyle& style) { style_ = style; }
    const QImage& sheet() const { return sheet_; }
    // The metrics and faces of the page the entries are written on.
    void setContext(const render::RenderContext& context) { context_ = context; }

    Rect entry(const std::string& text, int x, int y, Colour colour);
    Rect patch(const PracticeBox& box);
    Rect mark(const PracticeBox& box, MarkKind kind, Colour colour);
    // Clear of the heading's name line.
    Rect score(int score, Point scorePosition, int panelWidth, const Rect& nameLine);
    // Below the box (and below the entry written last, the entry the hint is about), else above it: the first place
    // where the sheet is blank paper and no box is, nor a box's place after a wrong answer (the next problem's box, the
    // answers written when scoring). No such place: no hint, and an empty rectangle.
    Rect hint(const PracticeBox& box, const std::string& hint, const std::vector<Rect>& keepClear);

private:
    QImage& sheet_;
    MarkStyle style_;
    render::RenderContext context_;
    Rect lastEntry_;
};

} // namespace tavola
