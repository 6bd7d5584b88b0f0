#pragma once
// The six unit-symbol images: 16 × 16 drawings of a script l (litre), g (gram) and a, each in black and in red on a
// white ground. Defined once here as pixel art, so that the renderer and its tests need no image files; the same
// art is also kept as BMP files among the program's resources.
#include "platform/canvas.h"

#include <string>
#include <vector>

namespace tavola::render {

enum class UnitImage { Litter, RedLitter, Gram, RedGram, ABlack, ARed };

// The image as a picture (0xAARRGGBB pixels); built once, lives for the whole run.
const Picture& unitImage(UnitImage which);

// The resource file name of the image ("imgLitter.bmp", ...).
std::string unitImageFileName(UnitImage which);

// The image as a 16-colour BMP file's bytes (the form the resources keep).
std::vector<unsigned char> unitImageBmp(UnitImage which);

} // namespace tavola::render
