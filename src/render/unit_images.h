#pragma once
// The six unit-symbol images: 16 × 16 drawings of a script l (litre), g (gram) and a, each in black and in red on a
// white ground. Defined once here as pixel art, so that the renderer and its tests need no image files.
#include "platform/canvas.h"

namespace tavola::render {

enum class UnitImage { Litter, RedLitter, Gram, RedGram, ABlack, ARed };

// The image as a picture (0xAARRGGBB pixels); built once, lives for the whole run.
const Picture& unitImage(UnitImage which);

} // namespace tavola::render
