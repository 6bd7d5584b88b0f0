#include "render/draw_math.h"
#include "render/draw_ops.h"

#include "platform/numbers.h"

#include <algorithm>

namespace tavola::render {

namespace {
// No character size that can be seen on a page comes near this; a larger one (only a damaged file holds it) is
// drawn as this size, so that the pen positions and sizes derived from it stay within the integers.
constexpr int kSizeLimit = 1000;

int drawableSize(int sizePt)
{
    return std::clamp(sizePt, -kSizeLimit, kSizeLimit);
}
} // namespace

LayoutMetrics worksheetMetrics(double scale, int charSize, bool printing)
{
    LayoutMetrics m;
    charSize = drawableSize(charSize);
    m.lineUnit = roundEven(6.732 * scale);
    m.charGap = roundEven(charSize * scale / 6);
    m.charSize = charSize;
    m.printing = printing;
    return m;
}

namespace {

// The full-width signs as CP932 texts, converted once.
struct Signs {
    std::string times = "×"_sj;
    std::string divide = "÷"_sj;
    std::string open = "［"_sj;
    std::string close = "］"_sj;
    std::string greater = "＞"_sj;
    std::string greaterEq = "≧"_sj;
    std::string less = "＜"_sj;
    std::string lessEq = "≦"_sj;
};

const Signs& signs()
{
    static const Signs all;
    return all;
}

// The parsing state of one DrawMath call over a text of single-byte characters.
class Parser {
public:
    Parser(MathContext& ctx, const std::string& text, int x, int y) : ctx_(ctx), text_(text), x_(x), y_(y) {}

    int run()
    {
        ctx_.superMode = false;
        for (pos_ = 0; pos_ < text_.size(); ++pos_) {
            char c = text_[pos_];
            if (depth_ > 0) {
                if (c == ']') --depth_;
                token_ += c;
                continue;
            }
            step(c);
        }
        x_ = FlushToken();
        return x_;
    }

private:
    void step(char c)
    {
        const int unit = ctx_.render.metrics.lineUnit;
        switch (c) {
        case '0':
        case '1':
        case '2':
        case '3':
        case '4':
        case '5':
        case '6':
        case '7':
        case '8':
        case '9':
        case '.':
            if (caret_) {
                ctx_.superMode = true;
                x_ = DrawCell(ctx_, std::string(1, c), {}, x_, y_);
                ctx_.superMode = false;
                ctx_.canvas.font.sizePt = ctx_.fontSize;
                caret_ = false;
            } else {
                token_ += c;
            }
            return;
        case 'R':
            token_ += c;
            return;
        case '[':
            token_ += c;
            ++depth_;
            return;
        case ']':
            --depth_;
            token_ += c;
            return;
        case '/':
            saved_ = token_;
            token_.clear();
            state_ = 1;
            return;
        case '|':
            saved_ = token_;
            token_.clear();
            state_ = 2;
            return;
        case '^':
            caret_ = true;
            x_ = DrawCell(ctx_, token_, {}, x_, y_);
            token_.clear();
            return;
        case '&':
            x_ = FlushToken();
            return;
        case ' ':
        case '(':
        case ')':
        case '+':
        case '-':
        case '=':
        case '_':
        case '}':
            x_ = FlushToken();
            x_ = DrawCell(ctx_, std::string(1, c), {}, x_, y_);
            return;
        case '*':
            x_ = FlushToken();
            x_ = DrawSign(ctx_, signs().times, x_, y_ + unit);
            return;
        case '\\':
            x_ = FlushToken();
            x_ = DrawSign(ctx_, signs().divide, x_, y_ + unit);
            return;
        case '\'':
            x_ = FlushToken();
            x_ = DrawSign(ctx_, signs().open, x_, y_ + unit);
            return;
        case '"':
            x_ = FlushToken();
            x_ = DrawSign(ctx_, signs().close, x_, y_ + unit);
            return;
        case '>':
        case '<': {
            x_ = FlushToken();
            bool orEqual = pos_ + 1 < text_.size() && text_[pos_ + 1] == '=';
            if (orEqual) ++pos_;
            const Signs& all = signs();
            const std::string& s =
                c == '>' ? (orEqual ? all.greaterEq : all.greater) : (orEqual ? all.lessEq : all.less);
            x_ = DrawSign(ctx_, s, x_, y_ + unit);
            return;
        }
        default:
            if (c >= 'a' && c <= 'z') {
                x_ = FlushToken();
                x_ = DrawCell(ctx_, std::string(1, c), {}, x_, y_);
                return;
            }
            close(c);
            return;
        }
    }

    // Any character outside the table ends what is pending. In state 2 it is the marker of a coefficient group:
    // the characters after it up to ")" join the numerator, and it is not drawn itself.
    void close(char c)
    {
        switch (state_) {
        case 0:
            x_ = DrawCell(ctx_, token_, {}, x_, y_);
            break;
        case 1:
            x_ = DrawCell(ctx_, saved_, token_, x_, y_);
            break;
        default: {
            std::string letters = ReadToParen();
            if (saved_ == "1") saved_.clear();
            x_ = DrawCell(ctx_, saved_ + letters, token_, x_, y_);
            break;
        }
        }
        const bool drawMarker = state_ != 2;
        saved_.clear();
        token_.clear();
        if (drawMarker) x_ = DrawCell(ctx_, std::string(1, c), {}, x_, y_);
        state_ = 0;
    }

    // Collects the characters after the current one up to the next ")" or the last character of the text, which
    // is not collected; leaves the position on the stopping character for the main loop to step over.
    std::string ReadToParen()
    {
        std::string out;
        std::size_t p = pos_ + 1;
        while (p + 1 < text_.size() && text_[p] != ')')
            out += text_[p++];
        pos_ = p;
        return out;
    }

    int FlushToken()
    {
        int end = x_;
        if (state_ == 0) {
            end = DrawCell(ctx_, token_, {}, x_, y_);
        } else {
            if (saved_.empty()) {
                saved_ = token_;
                token_.clear();
            }
            end = DrawCell(ctx_, saved_, token_, x_, y_);
        }
        token_.clear();
        saved_.clear();
        return end;
    }

    MathContext& ctx_;
    const std::string& text_;
    int x_;
    const int y_;
    std::size_t pos_ = 0;
    std::string token_;
    std::string saved_;
    int state_ = 0;
    bool caret_ = false;
    int depth_ = 0;
};

bool hasDoubleByte(const std::string& text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) > 128) return true;
    return false;
}

} // namespace

Point DrawMath(const RenderContext& context, int fontSize, int x, int y, double scale, Canvas& canvas,
               const std::string& text, Colour color)
{
    if (text.empty()) return {x, y};
    fontSize = drawableSize(fontSize);
    canvas.font.colour = color;
    canvas.font.sizePt = fontSize;
    MathContext ctx{context, canvas, fontSize, scale, color, x};

    if (text.size() == 1) {
        const char c = text[0];
        if (c == '#') return {x, y};
        if (c == 'g' || c == 'l' || c == '~') return {DrawUnitImage(ctx, c, x, y), y};
        return {DrawCell(ctx, text, {}, x, y), y};
    }
    if (hasDoubleByte(text)) return {canvas.textOut(x, y + context.metrics.lineUnit, text), y};

    Parser parser(ctx, text, x, y);
    return {parser.run(), y};
}

} // namespace tavola::render
