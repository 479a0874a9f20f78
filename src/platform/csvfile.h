#pragma once
// A table written for a spreadsheet set up for Italy: fields separated by
// semicolons, UTF-8 with a byte-order mark (so accented letters open right),
// lines ended by CR LF, fields quoted where they hold a semicolon, a quote or
// a line break. A text that a spreadsheet would take for a formula gets an
// apostrophe in front, so that it is shown, not run.

#include <QList>
#include <QString>
#include <QStringList>

namespace platform {

QByteArray csvText(const QStringList &headings, const QList<QStringList> &rows);
// Written whole or not at all; false with a reason.
bool writeCsv(const QString &file, const QStringList &headings, const QList<QStringList> &rows, QString *error);

} // namespace platform
