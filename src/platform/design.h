#pragma once
// One entry of a window's layout table: the control's design name (objectName;
// "Check1(3)" for an element of a control array), its design caption and its
// place in twips. Windows build their controls from such tables, so that places
// and captions live in one table per window and nowhere else.

#include "twips.h"

#include <QString>

namespace platform {

struct Design
{
    QString name;
    QString caption;
    TwRect rect;
};

} // namespace platform
