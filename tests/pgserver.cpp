#include "pgserver.h"

#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <grp.h>
#include <pwd.h>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace testing {

namespace {
const QString Password = QStringLiteral("lavagna-verde");
const QString TeacherPassword = QStringLiteral("registro-rosso");
const QString Superuser = QStringLiteral("postgres");
} // namespace

QString PgServer::teacherPassword() { return TeacherPassword; }

PgServer::PgServer()
{
    const QStringList found = QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot,
                                                                                       QDir::Name | QDir::Reversed);
    for (const QString &version : found)
        if (QFile::exists(QStringLiteral("/usr/lib/postgresql/%1/bin/initdb").arg(version))) {
            bin_ = QStringLiteral("/usr/lib/postgresql/%1/bin/").arg(version);
            break;
        }
    if (bin_.isEmpty()) {
        problem_ = QStringLiteral("PostgreSQL is not installed (Debian's postgresql package): server tests skipped");
        return;
    }
    if (geteuid() == 0) {
        passwd *pw = getpwnam("postgres");
        if (!pw) {
            problem_ = QStringLiteral("no postgres user to run the server as");
            return;
        }
        if (chown(QFile::encodeName(dir_.path()).constData(), pw->pw_uid, pw->pw_gid) != 0) {
            problem_ = QStringLiteral("cannot hand the server's folder to postgres");
            return;
        }
    }
    QFile pw(dir_.path() + QStringLiteral("/superuser"));
    pw.open(QIODevice::WriteOnly);
    pw.write(Password.toUtf8());
    pw.close();
    QFile::setPermissions(pw.fileName(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    if (!run(bin_ + QStringLiteral("initdb"),
             {QStringLiteral("-D"), dir_.path() + QStringLiteral("/data"), QStringLiteral("-U"), Superuser,
              QStringLiteral("--pwfile=") + pw.fileName(), QStringLiteral("--auth-local=scram-sha-256"),
              QStringLiteral("--auth-host=scram-sha-256"), QStringLiteral("--encoding=UTF8"),
              QStringLiteral("--locale=C.UTF-8")})) {
        problem_ = QStringLiteral("initdb failed");
        return;
    }
    for (const auto &[file, secret] : {std::pair{passwordFile(), Password},
                                       std::pair{dir_.path() + QStringLiteral("/password-docente"), TeacherPassword}}) {
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write(secret.toUtf8() + "\n");
        f.close();
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    }
    if (!start()) {
        problem_ = QStringLiteral("the server does not start");
        return;
    }
    if (!createDatabase(QStringLiteral("valdoria")))
        problem_ = QStringLiteral("the server cannot be prepared");
}

PgServer::~PgServer()
{
    if (running_)
        stop();
}

bool PgServer::run(const QString &program, const QStringList &args, QString *output) const
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), Password);
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir_.path());
    if (geteuid() == 0)
        p.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), program} + args);
    else
        p.start(program, args);
    if (!p.waitForFinished(60000))
        return false;
    if (output)
        *output = QString::fromUtf8(p.readAllStandardOutput());
    if (p.exitCode() != 0)
        qWarning("%s: %s", qPrintable(program), p.readAllStandardError().constData());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool PgServer::start()
{
    running_ = run(bin_ + QStringLiteral("pg_ctl"),
                   {QStringLiteral("-D"), dir_.path() + QStringLiteral("/data"), QStringLiteral("-o"),
                    QStringLiteral("-k %1 -c listen_addresses=''").arg(dir_.path()), QStringLiteral("-l"),
                    dir_.path() + QStringLiteral("/log"), QStringLiteral("-w"), QStringLiteral("start")});
    return running_;
}

bool PgServer::stop()
{
    const bool ok = run(bin_ + QStringLiteral("pg_ctl"), {QStringLiteral("-D"), dir_.path() + QStringLiteral("/data"),
                                                          QStringLiteral("-m"), QStringLiteral("immediate"),
                                                          QStringLiteral("-w"), QStringLiteral("stop")});
    running_ = !ok;
    return ok;
}

bool PgServer::createDatabase(const QString &name, bool prepared)
{
    if (!run(bin_ + QStringLiteral("psql"),
             {QStringLiteral("-h"), dir_.path(), QStringLiteral("-U"), Superuser, QStringLiteral("-d"),
              QStringLiteral("postgres"), QStringLiteral("-q"), QStringLiteral("-c"),
              QStringLiteral("CREATE DATABASE %1").arg(name)}))
        return false;
    if (!prepared)
        return true;
    // The project's own script, as a school's administrator runs it.
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), Password);
    env.insert(QStringLiteral("PATH"), bin_ + QStringLiteral(":") + env.value(QStringLiteral("PATH")));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("bash"), {sourceDir() + QStringLiteral("/tools/server/prepara-server.sh"),
                                     QStringLiteral("-h"), dir_.path(), QStringLiteral("-U"), Superuser,
                                     QStringLiteral("-d"), name, QStringLiteral("--password-aula"), passwordFile(),
                                     QStringLiteral("--password-docente"),
                                     dir_.path() + QStringLiteral("/password-docente")});
    const bool ok = p.waitForFinished(60000) && p.exitCode() == 0;
    if (!ok)
        qWarning("prepara-server.sh: %s", p.readAllStandardError().constData());
    return ok;
}

storage::ServerSettings PgServer::settings(const QString &database) const
{
    storage::ServerSettings s;
    s.host = dir_.path();
    s.database = database;
    s.user = QStringLiteral("valdoria_aula");
    s.passwordFile = passwordFile();
    return s;
}

QString PgServer::psql(const QString &sql, const QString &database, const QString &role, QString *error) const
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), role == storage::ServerSettings::TeacherRole ? TeacherPassword : Password);
    p.setProcessEnvironment(env);
    p.start(bin_ + QStringLiteral("psql"), {QStringLiteral("-h"), dir_.path(), QStringLiteral("-U"), role,
                                             QStringLiteral("-d"), database, QStringLiteral("-v"),
                                             QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-At"),
                                             QStringLiteral("-c"), sql});
    const bool ok = p.waitForFinished(60000) && p.exitCode() == 0;
    if (error)
        *error = QString::fromUtf8(p.readAllStandardError());
    return ok ? QString::fromUtf8(p.readAllStandardOutput()).trimmed() : QString();
}

void PgServer::freeze(bool frozen) const
{
    // The postmaster and every backend it started.
    QFile pidFile(dir_.path() + QStringLiteral("/data/postmaster.pid"));
    if (!pidFile.open(QIODevice::ReadOnly))
        return;
    const pid_t postmaster = pid_t(pidFile.readLine().trimmed().toInt());
    QList<pid_t> pids{postmaster};
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray fields = stat.readAll();
        const QList<QByteArray> after = fields.mid(fields.lastIndexOf(')') + 2).split(' ');
        if (after.size() > 1 && pid_t(after[1].toInt()) == postmaster)
            pids << pid_t(entry.toInt());
    }
    for (pid_t pid : pids)
        ::kill(pid, frozen ? SIGSTOP : SIGCONT);
}

} // namespace testing
