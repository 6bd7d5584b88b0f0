#pragma once
// A target that draws a page laid out for the screen at its own, higher resolution: a printer page drawing the
// screen's page. Positions, sizes and pens stay those of the layout, scaled; each text is fitted to the width the
// layout measured for it, so that what follows it keeps its place whatever the target's own text measures.
#include <string>

namespace tavola {

// Where the page lies on the target: a layout unit becomes scale target pixels, the page's corner lies at (left, top)
// target pixels, and what lies outside the page's width × height units is cut off, as the page picture cuts it.
// Point sizes become pixels at layoutPpi, the resolution the page was measured at.
struct PageScale {
    double scale = 1;
    double left = 0;
    double top = 0;
    int width = 0;
    int height = 0;
    int layoutPpi = 96;
    friend bool operator==(const PageScale&, const PageScale&) = default;
};

class PageCanvas {
public:
    virtual ~PageCanvas() = default;
    // The calls that follow, until the next page, are in the page's units, placed as the page scale says. False
    // when the target cannot draw so.
    virtual bool setPageScale(const PageScale& page) = 0;
    // Text-out of a text the layout measured width pixels wide; returns x + width.
    virtual int textOutFitted(int x, int y, const std::string& text, int width) = 0;
};

} // namespace tavola
