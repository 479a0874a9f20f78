#include "datapath.h"

#include <QDir>
#include <QFileInfo>

namespace storage {

namespace {

QStringList &folders()
{
    static QStringList list;
    return list;
}

// The entry of `dir` named `part`, whatever its letter case; empty if none.
QString entryOf(const QDir &dir, const QString &part)
{
    if (QFileInfo::exists(dir.filePath(part)))
        return part;
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &entry : entries)
        if (entry.compare(part, Qt::CaseInsensitive) == 0)
            return entry;
    return {};
}

QString resolveUnder(QDir dir, const QStringList &parts)
{
    QString found;
    for (int i = 0; i < parts.size(); ++i) {
        const QString match = entryOf(dir, parts[i]);
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

} // namespace

void setDataFolders(const QStringList &list) { folders() = list; }
QStringList dataFolders() { return folders(); }

QString resolveDataPath(const QString &path)
{
    QString normal = path;
    normal.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QStringList parts = normal.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (QFileInfo(normal).isAbsolute())
        return resolveUnder(QDir::root(), parts);
    if (folders().isEmpty() || parts.size() < 2 || parts.first().compare(QLatin1String("pervaldoria"), Qt::CaseInsensitive) != 0)
        return resolveUnder(QDir::current(), parts);
    parts.removeFirst();
    for (const QString &folder : std::as_const(folders()))
        if (const QString found = resolveUnder(QDir(folder), parts); !found.isEmpty())
            return found;
    return {};
}

QString whereDataIsLookedFor()
{
    if (folders().isEmpty())
        return QStringLiteral("nella cartella di lavoro %1").arg(QDir::toNativeSeparators(QDir::currentPath()));
    QStringList shown;
    for (const QString &f : std::as_const(folders()))
        shown << QDir::toNativeSeparators(f);
    return QStringLiteral("nelle cartelle %1").arg(shown.join(QStringLiteral(", ")));
}

} // namespace storage
