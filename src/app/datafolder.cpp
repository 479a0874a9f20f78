#include "datafolder.h"

#include "common/modvaldoria.h"
#include "platform/dialogs.h"
#include "platform/runtime.h"
#include "storage/coursebank.h"
#include "storage/datapath.h"
#include "storage/resultsserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace app {

namespace {

const QString ConfigName = QStringLiteral("valdoria/valdoria.conf");
const QString FolderKey = QStringLiteral("dati/cartella");
const QString ScaleKey = QStringLiteral("schermo/scala");

// The course the program was installed with: <prefix>/share/valdoria beside
// <prefix>/bin.
QString installedCourse()
{
    const QString dir = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../share/valdoria"));
    return QFileInfo::exists(dir + QLatin1Char('/') + Modvaldoria::DatabaseFile) ? QDir(dir).canonicalPath() : QString();
}

// "1", "1.5" or "1,5"; anything else, or a factor out of reason, fits the screen.
double readScale(const QString &text)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double factor = t.toDouble(&ok);
    return ok && factor >= 0.25 && factor <= 8 ? factor : 0;
}

QString argumentAfter(const QStringList &arguments, const QString &name)
{
    const int i = int(arguments.indexOf(name));
    return i >= 0 && i + 1 < arguments.size() ? arguments[i + 1] : QString();
}

} // namespace

DataPlaces chooseDataPlaces(const QStringList &arguments)
{
    DataPlaces places;
    places.installed = installedCourse();
    // The user's file overrides the system's.
    QStringList files = QStandardPaths::locateAll(QStandardPaths::GenericConfigLocation, ConfigName);
    std::reverse(files.begin(), files.end());
    QString folder;
    for (const QString &file : files) {
        QSettings config(file, QSettings::IniFormat);
        if (config.contains(FolderKey))
            folder = config.value(FolderKey).toString().trimmed();
        if (config.contains(ScaleKey))
            places.scale = readScale(config.value(ScaleKey).toString());
        config.beginGroup(QStringLiteral("server"));
        if (config.contains(QStringLiteral("database"))) {
            places.server.database = config.value(QStringLiteral("database")).toString().trimmed();
            places.server.host = config.value(QStringLiteral("host")).toString().trimmed();
            places.server.port = config.value(QStringLiteral("porta"), 5432).toInt();
            places.server.user = config.value(QStringLiteral("utente")).toString().trimmed();
            places.server.passwordFile = config.value(QStringLiteral("filepassword")).toString().trimmed();
            places.server.ssl = config.value(QStringLiteral("ssl")).toString().trimmed();
            places.server.certificate = config.value(QStringLiteral("certificato")).toString().trimmed();
        }
    }
    if (const QString given = argumentAfter(arguments, QStringLiteral("--data")); !given.isEmpty())
        folder = given;
    if (const QString given = argumentAfter(arguments, QStringLiteral("--scala")); !given.isEmpty())
        places.scale = readScale(given);
    if (folder.isEmpty() && !places.installed.isEmpty() && !QFileInfo(QStringLiteral("pervaldoria")).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!folder.isEmpty())
        places.writable = QDir::cleanPath(QDir(folder).absolutePath());
    return places;
}

void prepareDataPlaces(const DataPlaces &places)
{
    storage::setResultsServer(places.server);
    if (places.writable.isEmpty())
        return; // the folder pervaldoria of the current directory, as it is
    const QString folder = QDir::toNativeSeparators(places.writable);
    if (!QDir().mkpath(places.writable))
        platform::fatal(QStringLiteral("La cartella dei dati \"%1\" non si può creare: i risultati degli alunni "
                                       "non potrebbero essere registrati.")
                            .arg(folder));
    const QString database = places.writable + QLatin1Char('/') + Modvaldoria::DatabaseFile;
    const QString course = places.installed.isEmpty() ? QString() : places.installed + QLatin1Char('/') + Modvaldoria::DatabaseFile;
    if (!QFileInfo::exists(database) && !course.isEmpty()) {
        // The first start: the course as installed, with empty archives.
        const QString partial = database + QStringLiteral(".part");
        QFile::remove(partial);
        if (!QFile::copy(course, partial) || !QFile::setPermissions(partial, QFile::ReadOwner | QFile::WriteOwner
                                                                               | QFile::ReadGroup | QFile::WriteGroup
                                                                               | QFile::ReadOther)
            || !QFile::rename(partial, database)) {
            QFile::remove(partial);
            platform::fatal(QStringLiteral("L'archivio non si può preparare nella cartella dei dati \"%1\".").arg(folder));
        }
    } else if (QFileInfo::exists(database) && !course.isEmpty()) {
        if (const storage::Result<QString> refreshed = storage::refreshCourse(database, course); !refreshed)
            // The results are safe and the older questions still work.
            platform::msgBox(QStringLiteral("Le domande del corso non si sono potute aggiornare nella cartella "
                                            "dei dati \"%1\"; il programma continua con quelle di prima e i "
                                            "risultati sono al sicuro.\n(%2)")
                                 .arg(folder, refreshed.error()));
    }
    QStringList folders{places.writable};
    if (!places.installed.isEmpty())
        folders << places.installed;
    if (QFileInfo(QStringLiteral("pervaldoria")).isDir())
        folders << QDir(QStringLiteral("pervaldoria")).absolutePath();
    storage::setDataFolders(folders);
}

} // namespace app
