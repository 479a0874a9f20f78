#pragma once
// One open connection, shared by a database object and every recordset opened
// on it: the course file (SQLite), or the server that keeps a room's results
// (PostgreSQL). It closes when the last of them goes. The few statements that
// differ between the two are asked of it.

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

namespace storage {

enum class Dialect { Sqlite, Postgres };

// How long an SQLite connection waits for another copy of the program that is
// writing the same file.
inline QString sqliteConnectOptions() { return QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"); }

class Connection
{
public:
    // `file`: what was opened (a file, or the server's description).
    Connection(const QString &name, const QString &file, Dialect dialect)
        : name_(name), file_(file), dialect_(dialect)
    {
    }
    ~Connection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(name_, false);
            if (db.isOpen())
                db.close();
        }
        QSqlDatabase::removeDatabase(name_);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }
    QString file() const { return file_; }
    Dialect dialect() const { return dialect_; }

    // The column that tells rows apart.
    QString idColumn() const { return dialect_ == Dialect::Sqlite ? QStringLiteral("rowid") : QStringLiteral("id"); }
    // Opens a transaction that writes.
    QString beginWrite() const
    {
        return dialect_ == Dialect::Sqlite ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN");
    }
    // Columns a recordset does not show: the server's own bookkeeping.
    QStringList hiddenColumns() const
    {
        return dialect_ == Dialect::Sqlite ? QStringList{}
                                           : QStringList{QStringLiteral("id"), QStringLiteral("uid"),
                                                         QStringLiteral("inserito"), QStringLiteral("indirizzo"),
                                                         QStringLiteral("utente")};
    }

private:
    QString name_, file_;
    Dialect dialect_;
};

// Why the last statement failed, in Italian: the engine's own words are
// English and would end an Italian message.
QString lastError(const QSqlQuery &q);
QString reason(const QSqlError &e);

} // namespace storage
