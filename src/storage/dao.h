#pragma once
// The course database behind a small recordset layer: a table opened in its own
// order or one pupil's rows, moved through row by row, read by column position
// or name, appended to and deleted from. Values are always bound as parameters.
// Every failure is returned (see result.h), naming the file or table; nothing
// here ends the program or shows a window.
//
// A recordset holds the connection it was opened on: it can never outlive it,
// nor move to another file when the program's database object is replaced.
// It keeps only its rows' identities in memory; their values are read in
// blocks when a row is reached, so a listing of any size costs little.

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

#include "result.h"
#include "resultsserver.h"

namespace storage {

class Connection;
class ServerLink;

class Recordset
{
public:
    ~Recordset();
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    // Moving fails on an empty recordset, and past its end.
    Status moveFirst();
    Status moveNext();
    Status moveLast();
    // True once moveNext has left the last row (or the recordset has no rows).
    bool eof() const;
    int recordCount() const { return int(rowids_.size()); }
    // The 0-based position of the current row (recordCount() when at the end).
    int position() const { return current_; }
    // Moves to the row at a 0-based position, or to the end past the last row.
    void moveTo(int position);

    // The value of a column of the current row: by 0-based position, or by name
    // (letter case ignored).
    Result<QVariant> field(int position) const;
    Result<QVariant> field(const QString &name) const;
    QStringList columns() const { return columns_; }
    QString table() const { return table_; }

    // Appending: addNew, then setField for the columns wanted, then update,
    // which reports any fault of the three (a column the table lacks). Columns
    // not written take the table's defaults ("data": the day of the addition).
    // The new row is on disk when update returns, and it joins the recordset
    // as its last row.
    void addNew();
    void setField(const QString &name, const QVariant &value);
    Status update();

    // Removes every row of this recordset from the table, in one transaction:
    // either all of them go or none does. Rows added to the table since the
    // recordset was opened are not touched. The answers that go with the
    // results go too: a pupil's, or all of the archive's kind when the whole
    // table was listed. The recordset is then empty.
    Status deleteAll();

    // Why the rows could not be read (the results server away); empty when
    // they were. Such a recordset has no rows, but appends to it are kept.
    QString notice() const { return notice_; }

private:
    friend class Database;
    Recordset(std::shared_ptr<ServerLink> server, std::shared_ptr<Connection> local, const QString &table,
              const QString &where, const QVariantList &binds);
    // Reads the columns and the rows' identities.
    Status open();
    Status readColumns(const std::shared_ptr<Connection> &on);
    bool failedOnServer() const;
    Error unreadable(const QSqlQuery &q) const;
    Result<QList<QVariant>> currentRow(const char *operation) const;
    int columnIndex(const QString &name) const;
    Status fetchBlock(int from) const;

    std::shared_ptr<ServerLink> server_;  // the results server, for a result table kept there
    std::shared_ptr<Connection> connection_; // where the rows are read
    mutable QString notice_;
    QString table_;
    QString where_;       // the selection, with its bound values
    QVariantList binds_;
    QStringList columns_; // as SELECT * gives them
    QList<qint64> rowids_;
    int current_ = 0;
    bool adding_ = false;
    QList<QPair<QString, QVariant>> pending_;
    QString unknownColumn_; // named by setField, reported by update
    mutable QHash<qint64, QList<QVariant>> values_; // the block of rows last read
};

class Database
{
public:
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens the file named by a data-folder path ("pervaldoria\valdoria.mdb"),
    // shared, for reading and writing. A missing, damaged or read-only file, or
    // one without the result tables and their columns, is refused, and the file
    // is left as it was. Messages name the file as it is on disk.
    static Result<std::unique_ptr<Database>> open(const QString &path);

    // All rows of a table, in the table's own order, on the first row.
    Result<std::unique_ptr<Recordset>> openRecordset(const QString &table);
    // The rows of `table` whose "cognome e nome" equals `name`, letter case
    // ignored (accented letters included); on the first row.
    Result<std::unique_ptr<Recordset>> openPupilRows(const QString &table, const QString &name);

    // The file opened, as an absolute path.
    QString path() const;
    QSqlDatabase connection() const;

    // The column that holds the pupil's name in the result tables.
    static inline const QString NameColumn = QStringLiteral("cognome e nome");
    // Every answer of a scored test, stored and deleted with its result.
    static inline const QString AnswersTable = QStringLiteral("risposte");
    // The tables where results are stored: the program cannot work without them.
    static inline const QStringList ResultTables{QStringLiteral("studenti"), QStringLiteral("studsomm"), AnswersTable};

    // Runs `body` in one transaction: what it appends is stored all together
    // or not at all (on a server too), and on disk when this returns ok.
    Status inOneTransaction(const std::function<Status()> &body);
    // Where results are read: this file, or the room's server with the
    // teacher's role (why not, when it cannot be reached).
    Result<std::shared_ptr<Connection>> resultsConnection();
    // Appends rows to a table, as a recordset's addNew, setField and update.
    Status append(const QString &table, const QList<Fields> &rows);
    // The columns each result table must have, checked when the file is opened:
    // a column found missing only when a result is stored would cost a pupil
    // a finished test.
    static QStringList resultColumns(const QString &table);
    // The local tables of results still waiting for the room's server, and of
    // those the server refused.
    static inline const QString PendingTable = QStringLiteral("valdoria_da_inviare");
    static inline const QString SetAsideTable = QStringLiteral("valdoria_scartati");

    // Results kept on a server (see resultsserver.h): what the user should
    // know about sending them (empty when all is well), whether it is used,
    // the results still waiting on this computer and those the server refused.
    QString serverNotice() const;
    bool resultsOnServer() const;
    int pendingResults() const;
    QList<SetAside> setAsideResults() const;
    // Sends what waits now, without waiting for it.
    void sendNow();
    // Told when the notice changes, or results are sent or set aside (nullptr
    // without a server).
    ResultsSender *serverWatch() const;
    // Reading results on the server takes the teacher's role: its password,
    // asked once per run unless this PC stores with that role.
    bool needsTeacherPassword() const;
    Status setTeacherPassword(const QString &password);

private:
    explicit Database(std::shared_ptr<Connection> connection) : connection_(std::move(connection)) {}
    bool onServer(const QString &table) const;
    Result<std::unique_ptr<Recordset>> opened(std::unique_ptr<Recordset> rs);
    std::shared_ptr<Connection> connection_;
    std::shared_ptr<ServerLink> server_;
};

// Quotes a table or column name for SQL ("cognome e nome" -> "\"cognome e nome\"").
QString quoteName(const QString &name);

// Registers the name-matching function on a connection (used by open()).
bool installNameFolding(const QSqlDatabase &db);

} // namespace storage
