#include "pgserver.h"

#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testing {

namespace {
const QString Password = QStringLiteral("lavagna-verde");
const QString Superuser = QStringLiteral("postgres");
} // namespace

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
    QFile password(passwordFile());
    password.open(QIODevice::WriteOnly);
    password.write(Password.toUtf8() + "\n");
    password.close();
    QFile::setPermissions(passwordFile(), QFile::ReadOwner | QFile::WriteOwner);
    if (!start()) {
        problem_ = QStringLiteral("the server does not start");
        return;
    }
    if (!run(bin_ + QStringLiteral("psql"),
             {QStringLiteral("-h"), dir_.path(), QStringLiteral("-U"), Superuser, QStringLiteral("-d"),
              QStringLiteral("postgres"), QStringLiteral("-q"), QStringLiteral("-c"),
              QStringLiteral("CREATE ROLE valdoria LOGIN PASSWORD '%1'").arg(Password)})
        || !createDatabase(QStringLiteral("valdoria")))
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

bool PgServer::createDatabase(const QString &name, bool tables)
{
    if (!run(bin_ + QStringLiteral("psql"),
             {QStringLiteral("-h"), dir_.path(), QStringLiteral("-U"), Superuser, QStringLiteral("-d"),
              QStringLiteral("postgres"), QStringLiteral("-q"), QStringLiteral("-c"),
              QStringLiteral("CREATE DATABASE %1 OWNER valdoria").arg(name)}))
        return false;
    if (!tables)
        return true;
    // The project's own script, as a school runs it.
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), Password);
    env.insert(QStringLiteral("PATH"), bin_ + QStringLiteral(":") + env.value(QStringLiteral("PATH")));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("bash"), {sourceDir() + QStringLiteral("/tools/server/prepara-server.sh"),
                                     QStringLiteral("-h"), dir_.path(), QStringLiteral("-U"),
                                     QStringLiteral("valdoria"), QStringLiteral("-d"), name});
    return p.waitForFinished(60000) && p.exitCode() == 0;
}

storage::ServerSettings PgServer::settings(const QString &database) const
{
    storage::ServerSettings s;
    s.host = dir_.path();
    s.database = database;
    s.user = QStringLiteral("valdoria");
    s.passwordFile = passwordFile();
    return s;
}

QString PgServer::psql(const QString &sql, const QString &database) const
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), Password);
    p.setProcessEnvironment(env);
    p.start(bin_ + QStringLiteral("psql"), {QStringLiteral("-h"), dir_.path(), QStringLiteral("-U"),
                                             QStringLiteral("valdoria"), QStringLiteral("-d"), database,
                                             QStringLiteral("-At"), QStringLiteral("-c"), sql});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

} // namespace testing
