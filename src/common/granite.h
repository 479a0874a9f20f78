#pragma once
// The background of every window but the lessons: an even mid-grey, finely
// speckled texture like polished granite, 800 x 600, drawn once from code.

#include <QImage>

namespace common {

const QImage &graniteBackground();

} // namespace common
