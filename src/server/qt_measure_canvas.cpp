#include "server/qt_measure_canvas.h"

#include "platform/qt/qt_canvas.h"

#include <QImage>

namespace tavola {
namespace {

// The picture lives as long as the canvas on it. Nothing is drawn on it: the classroom only measures.
class PictureCanvas : public Canvas {
public:
    PictureCanvas(int width, int height) : image_(width, height, QImage::Format_RGB32), canvas_(image_) {}

    int textOut(int x, int, const std::string& text) override { return x + sync().textWidth(text); }
    int textWidth(const std::string& text) override { return sync().textWidth(text); }
    int textHeight(const std::string& text) override { return sync().textHeight(text); }
    void line(int, int, int, int) override {}
    void rectangle(const Rect&) override {}
    void roundRect(const Rect&, int, int) override {}
    void ellipse(const Rect&) override {}
    void polygon(const std::vector<Point>&) override {}
    void fillRect(const Rect&, Colour) override {}
    void drawPicture(const Rect&, const Picture&) override {}
    int width() const override { return canvas_.width(); }
    int height() const override { return canvas_.height(); }
    bool isPrinter() const override { return false; }
    int pixelsPerInch() const override { return canvas_.pixelsPerInch(); }

private:
    QtCanvas& sync()
    {
        canvas_.font = font;
        canvas_.pen = pen;
        canvas_.brush = brush;
        return canvas_;
    }

    QImage image_;
    QtCanvas canvas_;
};

} // namespace

MeasureCanvasFactory qtMeasureCanvases()
{
    return
        [](int width, int height) -> std::unique_ptr<Canvas> { return std::make_unique<PictureCanvas>(width, height); };
}

} // namespace tavola
