#pragma once
// The canvases the classroom measures its pages with: a screen picture of the page's size, as the practice window
// has, so that a page on a tablet is laid out exactly as on the desktop.
#include "server/classroom.h"

namespace tavola {

MeasureCanvasFactory qtMeasureCanvases();

} // namespace tavola
