#include "dao.h"

#include "connection.h"
#include "datapath.h"
#include "resultsserver.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

namespace storage {

namespace {

// Rows are read this many at a time, as the recordset reaches them.
constexpr int BlockRows = 64;
// PRAGMA synchronous: 2 is FULL, a commit is on disk before it returns.
constexpr int SynchronousFull = 2;

sqlite3 *nativeHandle(const QSqlDatabase &db)
{
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(v.constData());
}

// Names are compared as the pupil would: "NICCOLÒ" is "Niccolò". Plain ASCII
// names, most of them, are folded without leaving UTF-8.
void foldName(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int size = sqlite3_value_bytes(argv[0]);
    bool ascii = true;
    for (int i = 0; i < size && ascii; ++i)
        ascii = (static_cast<unsigned char>(text[i]) & 0x80) == 0;
    if (ascii) {
        QByteArray folded(text, size);
        for (char &c : folded)
            if (c >= 'A' && c <= 'Z')
                c = char(c - 'A' + 'a');
        sqlite3_result_text(ctx, folded.constData(), int(folded.size()), SQLITE_TRANSIENT);
        return;
    }
    const QByteArray folded = QString::fromUtf8(text, size).toCaseFolded().toUtf8();
    sqlite3_result_text(ctx, folded.constData(), int(folded.size()), SQLITE_TRANSIENT);
}

// Which answers go with the results of a table: a condition on "prova".
QString answersOf(const QString &table)
{
    if (table.compare(QLatin1String("studenti"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("prova LIKE 'domande%' OR prova LIKE 'immagine%'");
    if (table.compare(QLatin1String("studsomm"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("prova = 'sommativo'");
    return {};
}

} // namespace

QString quoteName(const QString &name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

bool installNameFolding(const QSqlDatabase &db)
{
    sqlite3 *h = nativeHandle(db);
    return h && sqlite3_create_function(h, "valdoria_fold", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                        nullptr, foldName, nullptr, nullptr) == SQLITE_OK;
}

QString lastError(const QSqlQuery &q) { return reason(q.lastError()); }

QString reason(const QSqlError &e)
{
    const QString native = e.nativeErrorCode();
    const QString said = e.databaseText();
    // The name a "no such table/column" message ends with.
    const QString named = said.section(QLatin1Char(':'), -1).trimmed().section(QLatin1Char(' '), -1);
    bool isNumber = false;
    const int code = native.toInt(&isNumber) & 0xff;
    if (!isNumber) {
        // The room's server: its SQLSTATE, by class.
        if (native == QLatin1String("42P01"))
            return QStringLiteral("manca una tabella sul server");
        if (native == QLatin1String("42703"))
            return QStringLiteral("manca una colonna in una tabella del server");
        if (native == QLatin1String("42501"))
            return QStringLiteral("il server non concede questo permesso all'utente del programma");
        if (native.startsWith(QLatin1String("53")))
            return QStringLiteral("il server ha esaurito lo spazio o la memoria");
        if (native.startsWith(QLatin1String("08")) || native.startsWith(QLatin1String("57")))
            return QStringLiteral("il collegamento con il server si è interrotto");
        if (native.startsWith(QLatin1String("28")))
            return QStringLiteral("il server non ha accettato l'utente o la password");
        if (native.startsWith(QLatin1String("23")))
            return QStringLiteral("il dato va contro una regola delle tabelle del server");
        if (!native.isEmpty())
            return QStringLiteral("il server ha rifiutato l'operazione (codice %1)").arg(native);
        return e.type() == QSqlError::ConnectionError ? QStringLiteral("il collegamento non si è aperto")
                                                       : QStringLiteral("errore sconosciuto");
    }
    switch (code) {
    case SQLITE_FULL:
        return QStringLiteral("il disco è pieno");
    case SQLITE_NOTADB:
        return QStringLiteral("il file non è un archivio");
    case SQLITE_CORRUPT:
        return QStringLiteral("il file è rovinato");
    case SQLITE_READONLY:
        return QStringLiteral("il file è di sola lettura");
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("permesso negato");
    case SQLITE_CANTOPEN:
        return QStringLiteral("il file non si può aprire");
    case SQLITE_IOERR:
        return QStringLiteral("errore di lettura o di scrittura sul disco");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("l'archivio è occupato da un'altra copia del programma");
    case SQLITE_NOMEM:
        return QStringLiteral("memoria esaurita");
    case SQLITE_TOOBIG:
        return QStringLiteral("dato troppo grande");
    case SQLITE_CONSTRAINT:
        return QStringLiteral("il dato va contro una regola della tabella");
    case SQLITE_ERROR:
        if (said.startsWith(QLatin1String("no such table")))
            return QStringLiteral("manca la tabella \"%1\"").arg(named);
        if (said.startsWith(QLatin1String("no such column")) || said.contains(QLatin1String("has no column named")))
            return QStringLiteral("manca la colonna \"%1\"").arg(named);
        return QStringLiteral("istruzione non accettata dall'archivio");
    default:
        return QStringLiteral("errore %1 dell'archivio").arg(code);
    }
}

// --------------------------------------------------------------------- Database

Database::~Database() = default;

QString Database::path() const { return connection_->file(); }
QSqlDatabase Database::connection() const { return connection_->db(); }

QStringList Database::resultColumns(const QString &table)
{
    if (table.compare(QLatin1String("studenti"), Qt::CaseInsensitive) == 0)
        return {NameColumn, QStringLiteral("argomento"), QStringLiteral("punteggio"), QStringLiteral("maxpunti"),
                QStringLiteral("data")};
    if (table.compare(AnswersTable, Qt::CaseInsensitive) == 0)
        return {NameColumn,           QStringLiteral("prova"),    QStringLiteral("insieme"), QStringLiteral("numero"),
                QStringLiteral("risposta"), QStringLiteral("giusta"), QStringLiteral("data")};
    return {NameColumn,
            QStringLiteral("punteggio totale"),
            QStringLiteral("conscere"),
            QStringLiteral("comprendere"),
            QStringLiteral("applicare"),
            QStringLiteral("valutazione"),
            QStringLiteral("data")};
}

Result<std::unique_ptr<Database>> Database::open(const QString &path)
{
    const QString file = resolveDataPath(path);
    if (file.isEmpty()) {
        QString name = path;
        name.replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (dataFolders().isEmpty())
            return failure(QStringLiteral("Manca il file dell'archivio \"%1\" %2. "
                                          "Il programma va avviato dalla cartella che contiene \"pervaldoria\".")
                               .arg(QDir::toNativeSeparators(QDir::current().absoluteFilePath(name)),
                                    whereDataIsLookedFor()));
        // A folder this account may not enter hides the file: say so.
        QStringList barred;
        for (const QString &folder : dataFolders())
            if (const QString why = whyNotReadable(folder); !why.isEmpty())
                barred << why;
        return failure(QStringLiteral("Manca il file dell'archivio \"%1\" %2.")
                           .arg(name.section(QLatin1Char('/'), -1), whereDataIsLookedFor()),
                       barred.join(QStringLiteral("; ")));
    }
    const QString shown = QDir::toNativeSeparators(file);
    if (const QString why = whyNotReadable(file); !why.isEmpty())
        return failure(QStringLiteral("L'archivio \"%1\" non si può leggere.").arg(shown), why);

    static int serial = 0;
    const QString name = QStringLiteral("valdoria-%1").arg(++serial);
    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    auto connection = std::make_shared<Connection>(name, file, Dialect::Sqlite);
    {
        QSqlDatabase db = connection->db();
        db.setDatabaseName(file);
        db.setConnectOptions(sqliteConnectOptions());
        if (!db.open()) {
            const QString access = whyNotWritable(file);
            return failure(QStringLiteral("Non si riesce ad aprire l'archivio \"%1\".").arg(shown),
                           access.isEmpty() ? reason(db.lastError()) : access);
        }
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")))
            return failure(
                QStringLiteral("Il file \"%1\" non è un archivio di Valdoria, oppure è rovinato.").arg(shown),
                lastError(q));
        QStringList tables;
        while (q.next())
            tables << q.value(0).toString();
        for (const QString &t : ResultTables) {
            if (!tables.contains(t, Qt::CaseInsensitive))
                return failure(QStringLiteral("Nel file \"%1\" manca la tabella \"%2\", dove si registrano i "
                                              "risultati: il file non è un archivio di Valdoria completo.")
                                   .arg(shown, t));
            QStringList columns;
            if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoteName(t))))
                return failure(QStringLiteral("Non si riesce a leggere la tabella \"%1\" dell'archivio \"%2\".")
                                   .arg(t, shown),
                               lastError(q));
            while (q.next())
                columns << q.value(1).toString();
            for (const QString &c : resultColumns(t))
                if (!columns.contains(c, Qt::CaseInsensitive))
                    return failure(QStringLiteral("Nel file \"%1\" la tabella \"%2\", dove si registrano i risultati, "
                                                  "non ha la colonna \"%3\": il file non è un archivio di Valdoria "
                                                  "completo.")
                                       .arg(shown, t, c));
        }
        sqlite3 *h = nativeHandle(db);
        const QString access = whyNotWritable(file).isEmpty() ? whyNotWritable(QFileInfo(file).absolutePath())
                                                               : whyNotWritable(file);
        if (!h || sqlite3_db_readonly(h, "main") == 1 || !access.isEmpty())
            return failure(QStringLiteral("L'archivio \"%1\" è di sola lettura per questo utente: i risultati degli "
                                          "alunni non potrebbero essere registrati.")
                               .arg(shown),
                           access.isEmpty() ? QStringLiteral("il file è di sola lettura") : access);
        // A result is on disk before the append returns: a crash right after it
        // loses nothing. A connection that cannot promise that is refused.
        if (!q.exec(QStringLiteral("PRAGMA synchronous = FULL")) || !q.exec(QStringLiteral("PRAGMA synchronous"))
            || !q.next() || q.value(0).toInt() != SynchronousFull)
            return failure(QStringLiteral("L'archivio \"%1\" non garantisce la registrazione sicura dei "
                                          "risultati.")
                               .arg(shown),
                           lastError(q));
        q.finish();
        if (!installNameFolding(db))
            return failure(QStringLiteral("L'archivio \"%1\" non si può usare.").arg(shown),
                           QStringLiteral("confronto dei nomi"));
    }
    std::unique_ptr<Database> result(new Database(std::move(connection)));
    // Results kept on a server: what goes wrong there is told, and results
    // wait here meanwhile.
    if (resultsServer().isSet())
        result->server_ = std::make_shared<ServerLink>(resultsServer(), result->connection_);
    return result;
}

bool Database::onServer(const QString &table) const
{
    return server_ && ResultTables.contains(table, Qt::CaseInsensitive);
}

Result<std::unique_ptr<Recordset>> Database::opened(std::unique_ptr<Recordset> rs)
{
    if (Status s = rs->open(); !s)
        return Error{s.error()};
    return rs;
}

Result<std::unique_ptr<Recordset>> Database::openRecordset(const QString &table)
{
    return opened(std::unique_ptr<Recordset>(
        new Recordset(onServer(table) ? server_ : nullptr, connection_, table, {}, {})));
}

Result<std::unique_ptr<Recordset>> Database::openPupilRows(const QString &table, const QString &name)
{
    // Blanks typed around a name are no part of it, here or in rows stored
    // before names were trimmed.
    const QString wanted = name.trimmed();
    if (onServer(table))
        return opened(std::unique_ptr<Recordset>(new Recordset(
            server_, connection_, table, QStringLiteral("lower(%1) = lower(?)").arg(quoteName(NameColumn)), {wanted})));
    return opened(std::unique_ptr<Recordset>(
        new Recordset({}, connection_, table, QStringLiteral("valdoria_fold(trim(%1)) = ?").arg(quoteName(NameColumn)),
                      {wanted.toCaseFolded()})));
}

Status Database::inOneTransaction(const std::function<Status()> &body)
{
    QSqlQuery q(connection_->db());
    if (!q.exec(connection_->beginWrite()))
        return failure(QStringLiteral("L'archivio è occupato e non si può scrivere."), lastError(q));
    if (server_)
        server_->beginGroup();
    Status done = body();
    if (server_)
        server_->endGroup();
    if (done && !q.exec(QStringLiteral("COMMIT")))
        done = failure(QStringLiteral("Non si riesce a registrare i risultati nell'archivio."), lastError(q));
    if (!done)
        q.exec(QStringLiteral("ROLLBACK"));
    return done;
}

Result<std::shared_ptr<Connection>> Database::resultsConnection()
{
    if (!server_)
        return connection_;
    if (!server_->ensure())
        return Error{server_->notice()};
    return server_->server();
}

Status Database::append(const QString &table, const QList<Fields> &rows)
{
    auto rs = openRecordset(table);
    if (!rs)
        return Error{rs.error()};
    for (const Fields &row : rows) {
        rs.value()->addNew();
        for (const auto &[name, value] : row)
            rs.value()->setField(name, value);
        if (Status s = rs.value()->update(); !s)
            return s;
    }
    return {};
}

QString Database::serverNotice() const { return server_ ? server_->sender()->notice() : QString(); }
bool Database::resultsOnServer() const { return bool(server_); }
int Database::pendingResults() const { return server_ ? server_->pending() : 0; }
QList<SetAside> Database::setAsideResults() const { return server_ ? server_->setAside() : QList<SetAside>(); }
ResultsSender *Database::serverWatch() const { return server_ ? server_->sender() : nullptr; }
bool Database::needsTeacherPassword() const { return server_ && server_->needsTeacherPassword(); }

void Database::sendNow()
{
    if (server_)
        server_->sender()->wake();
}

Status Database::setTeacherPassword(const QString &password)
{
    return server_ ? server_->setTeacherPassword(password) : Status();
}

// -------------------------------------------------------------------- Recordset

Recordset::Recordset(std::shared_ptr<ServerLink> server, std::shared_ptr<Connection> local, const QString &table,
                     const QString &where, const QVariantList &binds)
    : server_(std::move(server)), connection_(std::move(local)), table_(table), where_(where), binds_(binds)
{
}

Error Recordset::unreadable(const QSqlQuery &q) const
{
    return failure(QStringLiteral("Non si riesce a leggere la tabella \"%1\" dell'archivio.").arg(table_),
                   lastError(q));
}

Status Recordset::open()
{
    // A results table kept on a server is read there; with the server away the
    // recordset has no rows (appends still wait safely here) and says why.
    const std::shared_ptr<Connection> file = connection_;
    if (server_) {
        if (!server_->ensure()) {
            notice_ = server_->notice();
            return readColumns(file);
        }
        connection_ = server_->server();
    }
    if (Status s = readColumns(connection_); !s)
        return s;
    if (!notice_.isEmpty()) // lost on the way: the columns are the local file's, the rows none
        return readColumns(file);
    QSqlQuery q(connection_->db());
    q.setForwardOnly(true);
    const QString id = connection_->idColumn();
    q.prepare(QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %1")
                  .arg(id, quoteName(table_), where_.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where_));
    for (const QVariant &b : binds_)
        q.addBindValue(b);
    if (!q.exec())
        return failedOnServer() ? Status() : Status(unreadable(q));
    while (q.next())
        rowids_ << q.value(0).toLongLong();
    return {};
}

Status Recordset::readColumns(const std::shared_ptr<Connection> &on)
{
    QSqlQuery q(on->db());
    if (!q.exec(QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(quoteName(table_)))) {
        if (on->dialect() == Dialect::Postgres && failedOnServer())
            return {}; // the caller falls back on the local file's columns
        return unreadable(q);
    }
    const QSqlRecord rec = q.record();
    const QStringList hidden = on->hiddenColumns();
    columns_.clear();
    for (int i = 0; i < rec.count(); ++i)
        if (!hidden.contains(rec.fieldName(i)))
            columns_ << rec.fieldName(i);
    return {};
}

bool Recordset::failedOnServer() const
{
    if (!server_ || connection_->dialect() != Dialect::Postgres)
        return false;
    server_->lost();
    notice_ = server_->notice();
    values_.clear();
    return true;
}

Recordset::~Recordset() = default;

Status Recordset::moveFirst()
{
    if (rowids_.isEmpty())
        return failure(QStringLiteral("La tabella \"%1\" dell'archivio è vuota.").arg(table_));
    current_ = 0;
    return {};
}

Status Recordset::moveLast()
{
    if (rowids_.isEmpty())
        return failure(QStringLiteral("La tabella \"%1\" dell'archivio è vuota.").arg(table_));
    current_ = int(rowids_.size()) - 1;
    return {};
}

Status Recordset::moveNext()
{
    if (eof())
        return failure(QStringLiteral("Lettura oltre l'ultima riga della tabella \"%1\".").arg(table_));
    ++current_;
    return {};
}

void Recordset::moveTo(int position)
{
    current_ = std::clamp(position, 0, int(rowids_.size()));
}

bool Recordset::eof() const { return current_ >= rowids_.size(); }

Status Recordset::fetchBlock(int from) const
{
    // The block's rows by their identities: they matched when the recordset
    // was opened, and the rows between them need not be read.
    values_.clear();
    const int to = std::min(int(rowids_.size()), from + BlockRows);
    QStringList marks(to - from, QStringLiteral("?"));
    QSqlQuery q(connection_->db());
    q.setForwardOnly(true);
    QStringList names;
    for (const QString &c : columns_)
        names << quoteName(c);
    q.prepare(QStringLiteral("SELECT %1, %2 FROM %3 WHERE %1 IN (%4)")
                  .arg(connection_->idColumn(), names.join(QStringLiteral(", ")), quoteName(table_),
                       marks.join(QLatin1Char(','))));
    for (int i = from; i < to; ++i)
        q.addBindValue(rowids_[i]);
    if (!q.exec())
        return failedOnServer() ? Status() : Status(unreadable(q));
    while (q.next()) {
        QList<QVariant> row;
        row.reserve(columns_.size());
        for (int i = 1; i <= columns_.size(); ++i)
            row << q.value(i);
        values_.insert(q.value(0).toLongLong(), row);
    }
    return {};
}

Result<QList<QVariant>> Recordset::currentRow(const char *operation) const
{
    if (eof())
        return failure(QStringLiteral("Nessuna riga corrente nella tabella \"%1\" (%2).")
                           .arg(table_, QLatin1String(operation)));
    const qint64 id = rowids_[current_];
    if (!values_.contains(id))
        if (Status s = fetchBlock(current_); !s)
            return Error{s.error()};
    // A row removed meanwhile by another copy of the program reads as empty.
    return values_.value(id, QList<QVariant>(columns_.size()));
}

int Recordset::columnIndex(const QString &name) const
{
    for (int i = 0; i < columns_.size(); ++i)
        if (columns_[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

Result<QVariant> Recordset::field(int position) const
{
    if (position < 0 || position >= columns_.size())
        return failure(QStringLiteral("La tabella \"%1\" non ha la colonna numero %2.").arg(table_).arg(position));
    auto row = currentRow("lettura");
    if (!row)
        return Error{row.error()};
    return row.value()[position];
}

Result<QVariant> Recordset::field(const QString &name) const
{
    const int i = columnIndex(name);
    if (i < 0)
        return failure(QStringLiteral("La tabella \"%1\" non ha la colonna \"%2\".").arg(table_, name));
    return field(i);
}

void Recordset::addNew()
{
    adding_ = true;
    pending_.clear();
    unknownColumn_.clear();
}

void Recordset::setField(const QString &name, const QVariant &value)
{
    if (columnIndex(name) < 0) {
        if (unknownColumn_.isEmpty())
            unknownColumn_ = name;
        return;
    }
    for (auto &p : pending_)
        if (p.first.compare(name, Qt::CaseInsensitive) == 0) {
            p.second = value;
            return;
        }
    pending_.append({columns_[columnIndex(name)], value});
}

Status Recordset::update()
{
    const QString failed =
        QStringLiteral("Non si riesce a registrare la riga nella tabella \"%1\" dell'archivio.").arg(table_);
    if (!adding_)
        return failure(QStringLiteral("Aggiornamento della tabella \"%1\" senza una nuova riga.").arg(table_));
    if (!unknownColumn_.isEmpty())
        return failure(failed, QStringLiteral("la tabella non ha la colonna \"%1\"").arg(unknownColumn_));
    if (server_) {
        // Safe in the queue here, on its way to the server.
        if (Status s = server_->append(table_, pending_); !s)
            return s;
        adding_ = false;
        pending_.clear();
        return {};
    }
    QStringList names, marks;
    for (const auto &p : pending_) {
        names << quoteName(p.first);
        marks << QStringLiteral("?");
    }
    QSqlQuery q(connection_->db());
    q.prepare(names.isEmpty()
                  ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteName(table_))
                  : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                        .arg(quoteName(table_), names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
    for (const auto &p : pending_)
        q.addBindValue(p.second);
    if (!q.exec())
        return failure(failed, lastError(q));
    adding_ = false;
    pending_.clear();

    // The row is read back before the append counts as done.
    const QVariant id = q.lastInsertId();
    QSqlQuery back(connection_->db());
    back.prepare(QStringLiteral("SELECT rowid FROM %1 WHERE rowid = ?").arg(quoteName(table_)));
    back.addBindValue(id);
    if (!id.isValid() || !back.exec() || !back.next())
        return failure(failed, back.lastError().isValid() ? lastError(back) : QStringLiteral("la riga non si ritrova"));
    rowids_ << back.value(0).toLongLong();
    return {};
}

Status Recordset::deleteAll()
{
    const QString failed = QStringLiteral("Non si è potuto cancellare nulla dalla tabella \"%1\": nessuna riga è "
                                          "stata cancellata.")
                               .arg(table_);
    if (!notice_.isEmpty())
        return Error{failed + QStringLiteral("\n") + notice_};
    QSqlDatabase db = connection_->db();
    QSqlQuery q(db);
    auto giveUp = [&](const QSqlQuery &bad) {
        const QString why = lastError(bad);
        q.exec(QStringLiteral("ROLLBACK"));
        if (server_ && connection_->dialect() == Dialect::Postgres)
            server_->lost();
        return Status(failure(failed, why));
    };
    if (!q.exec(connection_->beginWrite()))
        return giveUp(q);
    QSqlQuery del(db);
    del.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(quoteName(table_), connection_->idColumn()));
    for (qint64 id : std::as_const(rowids_)) {
        del.addBindValue(id);
        if (!del.exec())
            return giveUp(del);
    }
    // The answers of the results that went: the pupil's, or the whole kind.
    if (const QString kind = answersOf(table_); !kind.isEmpty()) {
        QSqlQuery answers(db);
        answers.prepare(QStringLiteral("DELETE FROM %1 WHERE (%2)%3")
                            .arg(quoteName(Database::AnswersTable), kind,
                                 where_.isEmpty() ? QString() : QStringLiteral(" AND ") + where_));
        for (const QVariant &b : std::as_const(binds_))
            answers.addBindValue(b);
        if (!answers.exec())
            return giveUp(answers);
    }
    if (!q.exec(QStringLiteral("COMMIT")))
        return giveUp(q);
    rowids_.clear();
    values_.clear();
    current_ = 0;
    return {};
}

} // namespace storage
