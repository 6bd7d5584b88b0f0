#include "worksheet/drawing_pass.h"

#include "platform/numbers.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"
#include "render/draw_math.h"

#include <algorithm>

namespace tavola {

namespace {

// The page scale: printer pixels per layout unit of an A4 width.
constexpr double kScaleWidth = 630.0;
// Main line spacing to layout units.
constexpr double kLineFactor = 0.7875;
// The number line shows at most this many bytes of the short key.
constexpr std::size_t kShortKeyShown = 40;
// A title longer than this is split at its "§".
constexpr std::size_t kTitleOneLine = 60;
// Alternatives start this many units right of the answer.
constexpr int kAlternativeOffset = 50;
// No layout value of a drawable page comes near this (a margin of 1000 is 10000 units, ten pages wide); values
// beyond it, which only a damaged file holds, are drawn as if they were this large, so that no position or size
// of the pass leaves the range of the integers. The worksheet keeps the values as they are.
constexpr int kLayoutValueLimit = 1000;

int drawable(int value)
{
    return std::clamp(value, -kLayoutValueLimit, kLayoutValueLimit);
}

UnitSettings drawableSettings(const UnitSettings& settings)
{
    UnitSettings set = settings;
    set.lineSpacing = drawable(set.lineSpacing);
    set.leftMargin = drawable(set.leftMargin);
    set.rightMargin = drawable(set.rightMargin);
    set.characterSize = drawable(set.characterSize);
    set.answerBox.shape = drawable(set.answerBox.shape);
    set.answerBox.width = drawable(set.answerBox.width);
    set.answerBox.height = drawable(set.answerBox.height);
    set.answerBox.answerX = drawable(set.answerBox.answerX);
    return set;
}

FontSpec plainFont(const std::string& face, int size, Colour colour = colours::Black)
{
    FontSpec font;
    font.face = face;
    font.sizePt = std::max(1, size);
    font.colour = colour;
    return font;
}

// The byte offset of the first character that starts at or after byte n.
std::size_t characterAtOrAfter(const std::string& text, std::size_t n)
{
    std::size_t i = 0;
    while (i < text.size() && i < n)
        i += sjis::charLength(text, i);
    return std::min(i, text.size());
}

bool learnerShownByName(const std::string& name)
{
    static const std::string kPublic = "公開"_sj;
    static const std::string kCommon = "共通"_sj;
    return !name.empty() && name != "noname" && name != kPublic && name != kCommon;
}

// The problem lines of one page: their segments, answers and the tables made from them.
class LinePass {
public:
    LinePass(const Worksheet& sheet, PageLayout& page, ListingCanvas& canvas, const DrawOptions& options,
             int answerColumn, int baseSize)
        : sheet_(sheet), page_(page), canvas_(canvas), options_(options), s_(page.scale), answerColumn_(answerColumn)
    {
        style_.face = sheet.settings.textFace;
        if (style_.face.empty()) style_.face = options.mainFace.empty() ? mainTextFace() : options.mainFace;
        style_.baseSize = baseSize;
        style_.scale = s_;
        answersShown_ = options.answersShown.value_or(sheet.settings.answersShown);
        sizeBonus_ = page.printer ? 3 : 0;
        // A page with the learner's entries starts its text segments where the screen page drew them.
        if (options.entries != nullptr && options.screen != nullptr) pinnedTextX_ = &options.screen->textX;
    }

    void drawLines(double y, double step, int xL)
    {
        for (const std::string& line : sheet_.problemLines) {
            if (!line.empty()) drawLine(line, xL, roundEven(y));
            y += step;
        }
    }

    const SegmentStyle& style() const { return style_; }

private:
    // Positions in page units, whatever the target.
    int toPage(int v) const { return s_ == 1.0 ? v : roundEven(v / s_); }

    void recordSegment(int x, int y)
    {
        if (page_.segments.size() < static_cast<std::size_t>(kMaxSegments))
            page_.segments.push_back({toPage(x), toPage(y)});
        else
            page_.overflow = true;
    }

    int drawText(const std::string& segment, int x, int y)
    {
        if (pinnedTextX_ != nullptr && textIndex_ < pinnedTextX_->size())
            x = roundEven((*pinnedTextX_)[textIndex_] * s_);
        ++textIndex_;
        if (page_.textX.size() < static_cast<std::size_t>(kMaxSegments))
            page_.textX.push_back(toPage(x));
        else
            page_.overflow = true;
        recordSegment(x, y);
        return draw(segment, x, y, colours::Black);
    }

    int draw(const std::string& segment, int x, int y, Colour colour)
    {
        SegmentStyle style = style_;
        style.colour = colour;
        return drawSegment(canvas_, page_.context, segment, {x, y}, style, state_).x;
    }

    int drawAnswer(const std::string& answer, int x, int y)
    {
        page_.answerList.push_back(answer);
        const std::vector<std::string> alternatives = markup::splitAnswer(answer);
        const int answerX = answerColumn_ != 0 ? roundEven(answerColumn_ * 10 * s_) : x;
        recordSegment(answerX, y);

        std::string shown = alternatives.front();
        Colour colour = colours::Blue;
        // Hidden answers are measured, so that the page keeps their room, and left off the page.
        bool hidden = !answersShown_;
        if (options_.entries != nullptr) {
            std::size_t k = page_.answerList.size() - 2;
            const std::string entry = k < options_.entries->size() ? (*options_.entries)[k] : std::string();
            shown = padToModel(entry, shown);
            colour = options_.entryColour;
            hidden = false;
        }
        canvas_.setMuted(hidden);
        const int end = draw(shown, answerX, y, colour);
        const int size = std::max(1, state_.sizeOffset + style_.baseSize) - sizeBonus_;

        if (alternatives.size() >= 2 && options_.alternativeAnswers) {
            // Alternatives go to the expression renderer alone, in the plain style at the current size: a code
            // inside one is drawn as text, so that the switch never changes the size of the lines after it.
            int ax = answerX + roundEven(kAlternativeOffset * s_);
            const int altSize = std::max(1, style_.baseSize + state_.sizeOffset);
            canvas_.setMuted(!answersShown_);
            for (std::size_t i = 1; i < alternatives.size(); ++i) {
                canvas_.font = plainFont(style_.face, altSize, colours::Grey);
                ax = render::DrawMath(page_.context, altSize, ax, y, s_, canvas_, " " + alternatives[i], colours::Grey)
                         .x;
            }
        }
        canvas_.setMuted(false);

        if (page_.answerBoxes.size() < static_cast<std::size_t>(kMaxAnswerBoxes))
            page_.answerBoxes.push_back({toPage(answerX), toPage(y), answer, size, toPage(end) - toPage(answerX)});
        else
            page_.overflow = true;
        return end;
    }

    void drawLine(const std::string& line, int xL, int y)
    {
        const markup::SplitLine split = markup::splitLine(line);
        int x = xL;
        const auto answers = static_cast<std::size_t>(split.answerCount());
        for (std::size_t k = 0; k < answers; ++k) {
            x = drawText(split.segments[2 * k], x, y);
            x = drawAnswer(split.segments[2 * k + 1], x, y);
        }
        // The text after the last answer; with an odd count of "#" whatever follows the last "#" is not drawn.
        drawText(split.segments[2 * answers], x, y);
    }

    const Worksheet& sheet_;
    PageLayout& page_;
    ListingCanvas& canvas_;
    const DrawOptions& options_;
    double s_;
    int answerColumn_; // answer-box item 4: the answer position in tens of units, 0 right after the text
    SegmentStyle style_;
    bool answersShown_ = false;
    int sizeBonus_ = 0;
    markup::MarkupState state_;
    const std::vector<int>* pinnedTextX_ = nullptr;
    std::size_t textIndex_ = 0;
};

Rect scaled(const Rect& r, double s)
{
    return {roundEven(r.left * s), roundEven(r.top * s), roundEven(r.right * s), roundEven(r.bottom * s)};
}

} // namespace

Point drawSegment(Canvas& canvas, const render::RenderContext& context, const std::string& segment, Point start,
                  const SegmentStyle& style, markup::MarkupState& state)
{
    state.startSegment();
    if (markup::isPlainSegment(segment)) {
        const std::string text = markup::plainText(segment);
        if (text.empty()) return start;
        canvas.font = plainFont(style.face, style.baseSize, style.colour);
        const int end = canvas.textOut(start.x, start.y + context.metrics.lineUnit, text);
        return {end, start.y};
    }
    Point at = start;
    for (const std::string& token : markup::splitSegment(segment)) {
        if (state.apply(markup::classify(token)) || token.empty()) continue;
        const int size = std::max(1, style.baseSize + state.sizeOffset);
        FontSpec font = plainFont(style.face, size, style.colour);
        font.bold = state.style.bold;
        font.italic = state.style.italic;
        font.underline = state.style.underline;
        font.strikeOut = state.style.strikeOut;
        canvas.font = font;
        at = render::DrawMath(context, size, at.x, at.y, style.scale, canvas, token, style.colour);
    }
    return at;
}

std::string numberLineText(const std::string& shortKey, const DateTime& now, bool numbering, int number)
{
    std::string text;
    if (numbering) text = "№ "_sj + std::to_string(number);
    text += "  " + std::to_string(now.year) + "." + twoDigits(now.month) + "." + twoDigits(now.day) + "-" +
            twoDigits(now.hour) + ":" + twoDigits(now.minute) + "　"_sj;
    // The key of a copy is its path: the sheet shows the file's name, as much of it from the front as fits, so
    // that neither a folder nor half a character is printed on every copy. A long unit key shows from its 41st
    // byte on, moved to the next character boundary.
    std::size_t nameStart = 0;
    for (std::size_t i = 0; i < shortKey.size(); i += sjis::charLength(shortKey, i))
        if (shortKey[i] == '\\' || shortKey[i] == '/') nameStart = i + 1;
    if (nameStart > 0) {
        const std::string name = shortKey.substr(nameStart);
        std::size_t end = 0;
        while (end < name.size() && end + sjis::charLength(name, end) <= kShortKeyShown)
            end += sjis::charLength(name, end);
        return text + name.substr(0, end);
    }
    text +=
        shortKey.size() <= kShortKeyShown ? shortKey : shortKey.substr(characterAtOrAfter(shortKey, kShortKeyShown));
    return text;
}

std::pair<std::string, std::optional<std::string>> titleLines(const std::string& title)
{
    if (title.size() <= kTitleOneLine) return {title, std::nullopt};
    static const std::string section = "§"_sj;
    std::size_t at = std::string::npos;
    for (std::size_t i = 0; i + 1 < title.size(); i += sjis::charLength(title, i)) {
        if (title.compare(i, section.size(), section) == 0) {
            at = i;
            break;
        }
    }
    if (at == std::string::npos) return {std::string(), "　　"_sj + title};
    return {title.substr(0, at), "　　"_sj + title.substr(at)};
}

std::string pageRunsOffMessage()
{
    return "問題が用紙の下からはみ出しています。はみ出した部分は印刷されません。"_sj;
}

PageLayout layoutPage(const Worksheet& sheet, Canvas& target, const DrawOptions& options)
{
    const UnitSettings set = drawableSettings(sheet.settings);
    PageLayout page;
    const bool printer = target.isPrinter();
    const int W = target.width();
    const int H = target.height();
    page.width = W;
    page.height = H;
    page.printer = printer;
    // A page without pixels has nothing to show, and no scale to lay out with.
    if (W <= 0 || H <= 0) return page;
    const double s = printer ? W / kScaleWidth : 1.0;
    const double r = printer && set.paper.width > 0 ? static_cast<double>(W) / set.paper.width : 1.0;
    const int c = printer ? 3 : 0;
    page.scale = s;
    page.pageBottom = printer ? roundEven(H / s) : H;
    page.context = {render::worksheetMetrics(s, set.characterSize, printer), options.faces};

    ListingCanvas canvas(target, page.calls);
    // The ground. Header texts are transparent too: at printer scale the number line's cell reaches the top rule,
    // and an opaque cell would cut into it.
    if (!printer) canvas.fillRect({0, 0, W, H}, colours::White);
    canvas.brush.style = BrushStyle::Clear;
    int F = c + set.characterSize;
    if (F < 1) F = 10;

    LinePass lines(sheet, page, canvas, options, set.answerBox.answerX, F);
    const std::string& face = lines.style().face;

    // The page's edges and the two rules under the header.
    const double D = set.lineSpacing * s * kLineFactor;
    const int xL = roundEven(10 * set.leftMargin * s);
    const int xRm = roundEven(10 * set.rightMargin * s);
    const int xR = W - xRm;
    canvas.pen = PenSpec{colours::Black, std::max(1, roundEven(2 * s)), PenMode::Copy, PenStyle::Solid};
    canvas.line(xL, roundEven(30 * r), xR, roundEven(30 * r));
    canvas.line(xL, roundEven(90 * r), xR, roundEven(90 * r));
    canvas.pen.width = 1;

    // The column divider of a two-column page.
    if (set.answerBox.twoColumns()) {
        const int x = (W + xL + F - xRm) / 2 - roundEven(10 * s);
        canvas.line(x, roundEven(90 * r), x, roundEven(0.97 * H));
    }

    // The number line (copy number, date and time, the key) and the date line for the teacher.
    if ((set.optionBits & kOptionNumberLine) != 0) {
        const DateTime now = (options.clock != nullptr ? *options.clock : systemClock()).now();
        canvas.font = plainFont(face, c + 10);
        canvas.textOut(xL, roundEven(15 * r),
                       numberLineText(sheet.shortKey, now, options.numbering, options.printNumber));
    }
    if ((set.optionBits & kOptionDateLine) != 0) {
        canvas.font = plainFont(face, c + 10);
        canvas.textOut(roundEven(xR - 120 * s), roundEven(15 * r), "実施日　　月　　日"_sj);
    }

    // The title, right of the class flag when it is shown.
    const bool flagShown =
        (set.optionBits & kOptionClassFlag) != 0 && options.classFlag != nullptr && !options.classFlag->empty();
    const int titleX = flagShown ? xL + roundEven((options.classFlag->width + 5) * s) : xL;
    canvas.font = plainFont(face, c + 12);
    const auto [first, second] = titleLines(sheet.title);
    // A title of two lines shares the room between the top rule and the name line: one line of its face apart, the
    // second ending where the name line starts. The printer's face is 3 points larger than the screen's, and at the
    // fixed 35 and 48 units its lines would print over each other. A one-line title stays at 35.
    int firstY = roundEven(35 * r);
    int secondY = roundEven(48 * r);
    if (second) {
        const int h = canvas.textHeight(*second);
        secondY = std::max(secondY, roundEven(65 * r) - h);
        firstY = std::min(firstY, secondY - h);
    }
    if (!first.empty()) canvas.textOut(titleX, firstY, first);
    if (second) canvas.textOut(titleX, secondY, *second);

    // Where the practice window writes the score, and the name line.
    page.scorePosition = {roundEven(xR - 75 * s), roundEven(35 * r)};
    std::string nameLine = options.schoolName.empty() ? "　　　　　　　　氏名"_sj : options.schoolName + "　　氏名"_sj;
    if ((options.practice || options.learnerNameShown) && learnerShownByName(options.learnerName))
        nameLine += " " + options.learnerName;
    canvas.font = plainFont(face, c + 16);
    const int nameX = roundEven(150 * s) + xL;
    const int nameEnd = canvas.textOut(nameX, roundEven(65 * r), nameLine);
    page.nameLine = {nameX, roundEven(65 * r), nameEnd, roundEven(65 * r) + canvas.textHeight(nameLine)};

    // The problem lines, from the first line position down.
    const double y = 65 * r + roundEven(20 * r) + roundEven(17 * kLineFactor * r);
    canvas.pen = PenSpec{};
    canvas.brush.style = BrushStyle::Clear;
    lines.drawLines(y, D, xL);
    page.contentBottom = roundEven(canvas.lowest() / s);

    // Figures, then the frames of the answer boxes (a printer page and a page with entries frame the boxes of the
    // screen page), then the practice marks.
    const Point fallback{roundEven(xL / s), roundEven(roundEven(y) / s)};
    const bool answersShown = options.answersShown.value_or(set.answersShown);
    const std::vector<Point>& placing = options.screen != nullptr ? options.screen->segments : page.segments;
    page.figures = placeFigures(sheet, placing, fallback, options.figures, answersShown, page.messages, &page.placed);

    FrameStyle frames;
    frames.shape = boxShapeOf(set.answerBox.shape);
    frames.boxWidth = set.answerBox.width;
    frames.boxHeight = set.answerBox.height;
    frames.charSize = set.characterSize;
    frames.sizeBonus = c;
    frames.face = face;
    frames.printer = printer;
    drawFrames(canvas, options.screen != nullptr ? options.screen->answerBoxes : page.answerBoxes, frames, s);
    page.marksAt = page.calls.size();

    // The class flag and the figures, stretched to their rectangles (times s on the printer).
    if (flagShown) {
        const Picture& flag = *options.classFlag;
        page.classFlag = options.classFlag;
        const int left = roundEven(10 * set.leftMargin);
        const int top = roundEven(30 + (60 - flag.height) * 0.5);
        canvas.drawPicture(scaled({left, top, left + flag.width, top + flag.height}, s), flag);
    }
    for (const PlacedFigure& figure : page.figures)
        if (figure.picture != nullptr && !figure.picture->empty())
            canvas.drawPicture(scaled(figure.rect, s), *figure.picture);
    return page;
}

void paintPage(const PageLayout& layout, Canvas& canvas, const PageMarks& marks)
{
    paint(layout.calls, 0, layout.marksAt, canvas);
    if (marks) marks(canvas, layout.scale);
    paint(layout.calls, layout.marksAt, layout.calls.size(), canvas);
}

PageLayout drawPage(const Worksheet& sheet, Canvas& canvas, const DrawOptions& options, const PageMarks& marks)
{
    PageLayout layout = layoutPage(sheet, canvas, options);
    paintPage(layout, canvas, marks);
    return layout;
}

bool adoptFigurePositions(Worksheet& sheet, const PageLayout& layout)
{
    for (const FigurePlacement& p : layout.placed)
        setFigurePosition(sheet.graph, p.k, p.at.x, p.at.y);
    return !layout.placed.empty();
}

} // namespace tavola
