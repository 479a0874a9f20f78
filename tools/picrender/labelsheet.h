#pragma once
// The contact sheet of the picture-labelling exercise: every topic's picture as
// its window shows it, in its frame with the drop boxes round it, each box
// already holding the number of the term it expects, and the numbered term list
// beside it. One look tells whether every feature sits by its box.

#include <QImage>
#include <QString>
#include <QStringList>

namespace labelsheet {

// Draws all the topics of the labelling exercise with the pictures found in
// pictureDir; the pictures that are not there are listed in *missing and drawn
// as an empty frame.
QImage labellingSheet(const QString &pictureDir, QStringList *missing);

} // namespace labelsheet
