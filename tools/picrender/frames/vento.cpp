#include "frames.h"

namespace frames {

QList<Drawing> vento()
{
    return {};
}

} // namespace frames
