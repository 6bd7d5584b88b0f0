#pragma once
// The eight mood pictures shown after a scored practice or test, drawn once when first asked for.
#include "practice/practice_engine.h"

#include <QImage>

namespace tavola {

const QImage& moodPicture(Mood mood);
// The object name of the picture, as the system names it ("imgGaoh", …).
const char* moodName(Mood mood);

} // namespace tavola
