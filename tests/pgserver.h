#pragma once
// A real PostgreSQL server of the tests' own: a new cluster in a temporary
// folder, reached only through a socket there (no TCP port), with a password
// for every user, and Valdoria's tables and roles made by the project's own
// script, run by the administrator. PostgreSQL refuses to run as root, so as
// root the server runs as the "postgres" user.

#include "storage/resultsserver.h"

#include <QString>
#include <QTemporaryDir>

namespace testing {

class PgServer
{
public:
    PgServer();
    ~PgServer();
    // Empty when the server runs; otherwise why not (PostgreSQL missing...).
    QString problem() const { return problem_; }

    bool start();
    bool stop();
    // A database "name" prepared by the project's script (or left bare).
    bool createDatabase(const QString &name, bool prepared = true);
    // The settings a PC of the room would have: the PCs' role, its password in
    // a file its group may read.
    storage::ServerSettings settings(const QString &database = QStringLiteral("valdoria")) const;
    QString passwordFile() const { return dir_.path() + QStringLiteral("/password-aula"); }
    static QString teacherPassword();
    // Runs psql on `database` as `role` (the administrator by default); the
    // output, or an empty string on failure (with *error set).
    QString psql(const QString &sql, const QString &database = QStringLiteral("valdoria"),
                 const QString &role = QStringLiteral("postgres"), QString *error = nullptr) const;
    // Freezes every process of the server (SIGSTOP), or lets them go on.
    void freeze(bool frozen) const;

private:
    bool run(const QString &program, const QStringList &args, QString *output = nullptr) const;
    QTemporaryDir dir_;
    QString bin_;
    QString problem_;
    bool running_ = false;
};

} // namespace testing
