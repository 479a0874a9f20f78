#include "frames.h"

namespace frames {

QList<Drawing> granit()
{
    return {};
}

} // namespace frames
