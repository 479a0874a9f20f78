#include "datapath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

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

QString currentUser()
{
    if (const passwd *pw = getpwuid(geteuid()))
        return QString::fromLocal8Bit(pw->pw_name);
    return QString::number(geteuid());
}

QString ownership(const QString &path)
{
    struct stat st{};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("non esiste");
    const passwd *pw = getpwuid(st.st_uid);
    const QString owner = pw ? QString::fromLocal8Bit(pw->pw_name) : QString::number(st.st_uid);
    const group *gr = getgrgid(st.st_gid);
    const QString group = gr ? QString::fromLocal8Bit(gr->gr_name) : QString::number(st.st_gid);
    const mode_t m = st.st_mode;
    QString rwx;
    const char *letters = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit)
        rwx += (m & (0400 >> bit)) ? QLatin1Char(letters[bit]) : QLatin1Char('-');
    if (m & S_ISGID)
        rwx[5] = (m & S_IXGRP) ? QLatin1Char('s') : QLatin1Char('S');
    return QStringLiteral("appartiene a %1 (gruppo %2), permessi %3 (%4)")
        .arg(owner, group, rwx, QString::number(m & 07777, 8));
}

QString whyNotWritable(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (::access(name.constData(), F_OK) != 0)
        return QStringLiteral("\"%1\" non esiste").arg(QDir::toNativeSeparators(path));
    const bool folder = QFileInfo(path).isDir();
    if (::access(name.constData(), folder ? (W_OK | X_OK) : (R_OK | W_OK)) == 0)
        return {};
    return QStringLiteral("l'utente %1 non può %2 \"%3\": %4")
        .arg(currentUser(), folder ? QStringLiteral("creare file nella cartella") : QStringLiteral("scrivere nel file"),
             QDir::toNativeSeparators(path), ownership(path));
}

QString whyNotReadable(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const bool folder = QFileInfo(path).isDir();
    if (::access(name.constData(), F_OK) != 0 || ::access(name.constData(), folder ? (R_OK | X_OK) : R_OK) == 0)
        return {};
    return QStringLiteral("l'utente %1 non può %2 \"%3\": %4")
        .arg(currentUser(), folder ? QStringLiteral("entrare nella cartella") : QStringLiteral("leggere il file"),
             QDir::toNativeSeparators(path), ownership(path));
}

QString whyNotSaved(const QString &file)
{
    const QString why = whyNotWritable(QFileInfo(file).absolutePath());
    return why.isEmpty() ? QStringLiteral("il disco è pieno, oppure il file è protetto") : why;
}

} // namespace storage
