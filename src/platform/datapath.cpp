#include "datapath.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

QString resolveDataPath(const QString &path)
{
    QString normal = path;
    normal.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList parts = normal.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QDir dir = QFileInfo(normal).isAbsolute() ? QDir::root() : QDir::current();
    QString found;
    for (int i = 0; i < parts.size(); ++i) {
        const QString &part = parts[i];
        QString match;
        if (QFileInfo::exists(dir.filePath(part))) {
            match = part;
        } else {
            const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
            for (const QString &entry : entries)
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    match = entry;
                    break;
                }
        }
        if (match.isEmpty())
            return {};
        found = dir.filePath(match);
        if (i + 1 < parts.size()) {
            if (!QFileInfo(found).isDir())
                return {};
            dir = QDir(found);
        }
    }
    return QFileInfo(found).isFile() ? QFileInfo(found).absoluteFilePath() : QString();
}

} // namespace platform
