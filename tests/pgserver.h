#pragma once
// A real PostgreSQL server of the tests' own: a new cluster in a temporary
// folder, reached only through a socket there (no TCP port), with a password
// for every user, and Valdoria's two result tables made by the project's own
// script. PostgreSQL refuses to run as root, so as root the server runs as
// the "postgres" user.

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
    // A database "name" with the result tables (or without, if `tables` is false).
    bool createDatabase(const QString &name, bool tables = true);
    // The settings a PC of the room would have: user valdoria, its password in a
    // file readable only by its owner.
    storage::ServerSettings settings(const QString &database = QStringLiteral("valdoria")) const;
    QString socketDir() const { return dir_.path(); }
    QString passwordFile() const { return dir_.path() + QStringLiteral("/password"); }
    // Runs psql as valdoria on `database`; the output, or an empty string on failure.
    QString psql(const QString &sql, const QString &database = QStringLiteral("valdoria")) const;

private:
    bool run(const QString &program, const QStringList &args, QString *output = nullptr) const;
    QTemporaryDir dir_;
    QString bin_;
    QString problem_;
    bool running_ = false;
};

} // namespace testing
