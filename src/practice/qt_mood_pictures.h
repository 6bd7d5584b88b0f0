#pragma once
// The eight mood pictures shown after a scored practice or test, drawn once when first asked for.
#include "practice/practice_engine.h"

#include <QImage>

namespace tavola {

const QImage& moodPicture(Mood mood);

} // namespace tavola
