#pragma once
// Paths into the data folder are written "pervaldoria\name.jpg": relative to the
// current directory, backslash-separated, and matched without regard to letter
// case (a lesson may name one file "GHIACC1.jpg" and "ghiacc1.jpg").

#include <QString>

namespace platform {

// "pervaldoria\name": how the program names a file of its data folder.
inline QString dataFile(const QString &name) { return QStringLiteral("pervaldoria\\") + name; }

// The existing file the path names, as an absolute path; empty if there is none.
QString resolveDataPath(const QString &path);

} // namespace platform
