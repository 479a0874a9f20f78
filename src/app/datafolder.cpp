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

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

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

// A config file the program cannot read, or whose lines are neither
// "[section]" nor "key = value", would silently send results elsewhere.
void checkConfig(const QString &file)
{
    const QString shown = QDir::toNativeSeparators(file);
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        platform::fatal(QStringLiteral("Il file di configurazione \"%1\" non si può leggere: l'utente %2 non ha "
                                       "il permesso (il file %3).")
                            .arg(shown, storage::currentUser(), storage::ownership(file)));
    int number = 0;
    for (const QByteArray &raw : f.readAll().split('\n')) {
        ++number;
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';')))
            continue;
        const bool section = line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']')) && line.size() > 2;
        const bool pair = line.indexOf(QLatin1Char('=')) > 0;
        if (!section && !pair)
            platform::fatal(QStringLiteral("Il file di configurazione \"%1\" non si capisce alla riga %2: \"%3\".\n"
                                           "Ogni riga è [sezione] oppure chiave = valore, per esempio:\n"
                                           "[dati]\ncartella = /srv/valdoria")
                                .arg(shown)
                                .arg(number)
                                .arg(line));
    }
}

// Files the program creates in a data folder: a shared folder's belong to its
// group and its members may write them; in a user's own folder only the
// owner may even read the pupils' grades.
void protect(const QString &file, const QString &folder, bool shared)
{
    if (shared) {
        struct stat st{};
        if (::stat(QFile::encodeName(folder).constData(), &st) == 0)
            [[maybe_unused]] const int ignored = ::chown(QFile::encodeName(file).constData(), uid_t(-1), st.st_gid);
    }
    ::chmod(QFile::encodeName(file).constData(), shared ? 0660 : 0600);
}

} // namespace

DataPlaces chooseDataPlaces(const QStringList &arguments) { return chooseDataPlaces(readCommandLine(arguments)); }

DataPlaces chooseDataPlaces(const CommandLine &line)
{
    DataPlaces places;
    places.installed = installedCourse();
    // The user's file overrides the system's.
    QStringList files = QStandardPaths::locateAll(QStandardPaths::GenericConfigLocation, ConfigName);
    std::reverse(files.begin(), files.end());
    QString folder;
    for (const QString &file : files) {
        checkConfig(file);
        QSettings config(file, QSettings::IniFormat);
        if (config.status() != QSettings::NoError)
            platform::fatal(QStringLiteral("Il file di configurazione \"%1\" non si può leggere.")
                                .arg(QDir::toNativeSeparators(file)));
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
    if (!line.data.isEmpty())
        folder = line.data;
    places.named = !folder.isEmpty();
    if (line.scale > 0) // the command line wins over the config
        places.scale = readScale(QString::number(line.scale));
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
    const QString database = places.writable + QLatin1Char('/') + Modvaldoria::DatabaseFile;
    if (places.named) {
        // A shared folder made by whoever starts the program first would
        // belong to that one user: the others could not store a result.
        if (!QFileInfo(places.writable).isDir())
            platform::fatal(QStringLiteral("La cartella dei dati \"%1\" non esiste. Il programma non la crea da sé: "
                                           "l'amministratore la prepara una volta per tutti con\n"
                                           "  valdoria --prepara-cartella %1 --gruppo GRUPPO")
                                .arg(folder));
        if (!QFileInfo::exists(database) && QFileInfo(places.writable + QStringLiteral("/pervaldoria")).isDir())
            platform::fatal(QStringLiteral("La cartella \"%1\" contiene la cartella \"pervaldoria\" ma non l'archivio "
                                           "%2: va indicata la cartella che contiene l'archivio, cioè\n"
                                           "  --data %3\n"
                                           "oppure il programma va avviato da \"%1\" senza --data.")
                                .arg(folder, Modvaldoria::DatabaseFile,
                                     QDir::toNativeSeparators(places.writable + QStringLiteral("/pervaldoria"))));
        // A folder made with mkdir, or a file the administrator's own first
        // start left behind, leaves the pupils unable to store: say whose it
        // is and how to mend it, before anyone answers a question.
        QString blocked = QFileInfo::exists(database) ? storage::whyNotWritable(database) : QString();
        if (blocked.isEmpty())
            blocked = storage::whyNotWritable(places.writable);
        if (!blocked.isEmpty())
            platform::fatal(QStringLiteral("Nella cartella dei dati \"%1\" i risultati non si possono registrare: %2.\n"
                                           "L'amministratore la sistema una volta per tutti con\n"
                                           "  valdoria --prepara-cartella %1 --gruppo GRUPPO")
                                .arg(folder, blocked));
    } else if (!QDir().mkpath(places.writable)) {
        platform::fatal(QStringLiteral("La cartella dei dati \"%1\" non si può creare: i risultati degli alunni "
                                       "non potrebbero essere registrati.\n(%2)")
                            .arg(folder, storage::whyNotWritable(QFileInfo(places.writable).absolutePath())));
    }
    const QString course = places.installed.isEmpty() ? QString() : places.installed + QLatin1Char('/') + Modvaldoria::DatabaseFile;
    if (!QFileInfo::exists(database) && !course.isEmpty()) {
        // The first start: the course as installed, with empty archives.
        const QString partial = database + QStringLiteral(".part");
        QFile::remove(partial);
        if (!QFile::copy(course, partial)) {
            const QString why = storage::whyNotWritable(places.writable);
            platform::fatal(QStringLiteral("L'archivio non si può preparare nella cartella dei dati \"%1\".\n(%2)")
                                .arg(folder, why.isEmpty() ? QStringLiteral("disco pieno o non scrivibile") : why));
        }
        protect(partial, places.writable, places.named);
        if (!QFile::rename(partial, database)) {
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

storage::Result<QString> prepareSharedFolder(const QString &folder, const QString &groupName)
{
    const QString path = QDir::cleanPath(QDir(folder).absolutePath());
    const QString shown = QDir::toNativeSeparators(path);
    const group *gr = getgrnam(groupName.toLocal8Bit().constData());
    if (!gr)
        return storage::failure(QStringLiteral("Il gruppo \"%1\" non esiste.").arg(groupName),
                                QStringLiteral("si crea con: groupadd %1, poi: usermod -a -G %1 UTENTE per ogni "
                                               "alunno")
                                    .arg(groupName));
    const gid_t gid = gr->gr_gid;
    const QString installed = installedCourse();
    const QString database = path + QLatin1Char('/') + Modvaldoria::DatabaseFile;
    if (installed.isEmpty() && !QFileInfo::exists(database))
        return storage::failure(QStringLiteral("Il corso installato non si trova: la cartella \"%1\" si prepara con "
                                               "il programma installato.")
                                    .arg(shown));
    auto refused = [&](const QString &what, const QString &file) {
        return storage::failure(QStringLiteral("%1 \"%2\" non si è potuto fare.").arg(what, QDir::toNativeSeparators(file)),
                                QStringLiteral("l'utente %1 non ne ha il permesso (lo ha l'amministratore); %2")
                                    .arg(storage::currentUser(), storage::ownership(file)));
    };
    if (!QDir().mkpath(path))
        return storage::failure(QStringLiteral("La cartella \"%1\" non si può creare.").arg(shown),
                                storage::whyNotWritable(QFileInfo(path).absolutePath()));
    const QByteArray dir = QFile::encodeName(path);
    if (::chown(dir.constData(), uid_t(-1), gid) != 0 || ::chmod(dir.constData(), 02770) != 0)
        return refused(QStringLiteral("Il cambio di gruppo e permessi della cartella"), path);
    QString report = QStringLiteral("Cartella %1: %2.\n").arg(shown, storage::ownership(path));
    if (!QFileInfo::exists(database)) {
        const QString partial = database + QStringLiteral(".part");
        QFile::remove(partial);
        if (!QFile::copy(installed + QLatin1Char('/') + Modvaldoria::DatabaseFile, partial)
            || !QFile::rename(partial, database)) {
            QFile::remove(partial);
            return storage::failure(QStringLiteral("L'archivio non si può copiare in \"%1\".").arg(shown),
                                    QStringLiteral("disco pieno o non scrivibile"));
        }
        report += QStringLiteral("Archivio %1: copiato dal corso installato.\n").arg(QDir::toNativeSeparators(database));
    }
    // The archive and what SQLite or an upgrade left beside it (journal,
    // backup copies): all the group's to write, whoever made them.
    const QFileInfoList files = QDir(path).entryInfoList({Modvaldoria::DatabaseFile + QLatin1Char('*')}, QDir::Files);
    for (const QFileInfo &fi : files) {
        const QByteArray name = QFile::encodeName(fi.absoluteFilePath());
        if (::chown(name.constData(), uid_t(-1), gid) != 0 || ::chmod(name.constData(), 0660) != 0)
            return refused(QStringLiteral("Il cambio di gruppo e permessi del file"), fi.absoluteFilePath());
        report += QStringLiteral("File %1: %2.\n").arg(QDir::toNativeSeparators(fi.absoluteFilePath()),
                                                       storage::ownership(fi.absoluteFilePath()));
    }
    report += QStringLiteral("Gli utenti del gruppo %1 ora registrano qui i risultati quando il file di "
                             "configurazione (/etc/xdg/valdoria/valdoria.conf) dice:\n[dati]\ncartella = %2\n")
                  .arg(groupName, shown);
    return report;
}

} // namespace app
