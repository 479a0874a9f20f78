#pragma once
// Every picture is drawn twice when the program is built: at its design size,
// and at twice that in a folder of its own beside it, so that a screen that
// scales the design up (a 1920 x 1080 whiteboard draws it 1.8 times) shows the
// pictures sharp instead of stretched.

namespace platform {

inline constexpr int LargePictureFactor = 2;
inline constexpr const char *LargePictureFolder = "grandi";

} // namespace platform
