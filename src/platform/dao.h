#pragma once
// The course database behind a small recordset layer: a table opened in its own
// order or one pupil's rows, moved through row by row, read by column position
// or name, appended to and deleted from. Values are always bound as parameters.
// Failures are run-time errors (platform::fatal) naming the file or table.

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

namespace platform {

class Database;

class Recordset
{
public:
    void moveFirst();
    void moveNext();
    void moveLast();
    // True once moveNext has left the last row (or the recordset has no rows).
    bool eof() const;
    int recordCount() const { return int(rows_.size()); }

    // The value of a column of the current row: by 0-based position, or by name
    // (letter case ignored).
    QVariant field(int position) const;
    QVariant field(const QString &name) const;
    QStringList columns() const { return columns_; }
    QString table() const { return table_; }

    // Appending: addNew, then setField for the columns wanted, then update.
    // Columns not written take the table's defaults ("data": the day of the addition).
    void addNew();
    void setField(const QString &name, const QVariant &value);
    void update();

    // Removes the current row from the table; moveNext then reaches the row after it.
    void deleteCurrent();

private:
    friend class Database;
    Recordset(Database *db, const QString &table) : db_(db), table_(table) {}
    const QList<QVariant> &currentRow(const char *operation) const;
    int columnIndex(const QString &name) const;

    Database *db_;
    QString table_;
    QStringList columns_;          // as SELECT * gives them
    QList<QList<QVariant>> rows_;  // rowid first, then the columns
    int current_ = 0;
    bool currentDeleted_ = false;
    bool adding_ = false;
    QList<QPair<QString, QVariant>> pending_;
};

class Database
{
public:
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens the file named by a data-folder path ("pervaldoria\valdoria.mdb"),
    // shared, for reading and writing. A missing, damaged or read-only file is a
    // run-time error.
    static std::unique_ptr<Database> open(const QString &path);

    // All rows of a table, in the table's own order, on the first row.
    std::unique_ptr<Recordset> openRecordset(const QString &table);
    // The rows of `table` whose "cognome e nome" equals `name`, letter case
    // ignored (accented letters included); on the first row.
    std::unique_ptr<Recordset> openPupilRows(const QString &table, const QString &name);

    QString path() const { return path_; }
    QSqlDatabase connection() const { return QSqlDatabase::database(connection_); }

    // The column that holds the pupil's name in both result tables.
    static inline const QString NameColumn = QStringLiteral("cognome e nome");

private:
    friend class Recordset;
    Database(const QString &connection, const QString &path) : connection_(connection), path_(path) {}
    std::unique_ptr<Recordset> select(const QString &table, const QString &where, const QVariantList &binds);
    [[noreturn]] void fail(const QString &what, const QString &detail) const;

    QString connection_;
    QString path_;
};

// Quotes a table or column name for SQL ("cognome e nome" -> "\"cognome e nome\"").
QString quoteName(const QString &name);

// Registers the name-matching function on a connection (used by open()).
bool installNameFolding(const QSqlDatabase &db);

} // namespace platform
