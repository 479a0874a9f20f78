#include "dao.h"

#include "datapath.h"
#include "runtime.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

namespace platform {

namespace {

constexpr int BusyTimeoutMs = 10000;
const QString RowIdColumn = QStringLiteral("valdoria_rowid");

sqlite3 *nativeHandle(const QSqlDatabase &db)
{
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(v.constData());
}

// Names are compared as the pupil would: "NICCOLÒ" is "Niccolò".
void foldName(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const QByteArray folded = QString::fromUtf8(text, sqlite3_value_bytes(argv[0])).toCaseFolded().toUtf8();
    sqlite3_result_text(ctx, folded.constData(), int(folded.size()), SQLITE_TRANSIENT);
}

QString lastError(const QSqlQuery &q)
{
    const QString text = q.lastError().databaseText();
    return text.isEmpty() ? q.lastError().text() : text;
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

// --------------------------------------------------------------------- Database

Database::~Database()
{
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
}

void Database::fail(const QString &what, const QString &detail) const
{
    QString message = what;
    if (!detail.isEmpty())
        message += QStringLiteral("\n(%1)").arg(detail);
    fatal(message);
}

std::unique_ptr<Database> Database::open(const QString &path)
{
    const QString file = resolveDataPath(path);
    const QString where = QDir::toNativeSeparators(QDir::currentPath());
    if (file.isEmpty())
        fatal(QStringLiteral("Manca il file dell'archivio \"%1\" nella cartella di lavoro %2. "
                             "Il programma va avviato dalla cartella che contiene \"pervaldoria\".")
                  .arg(path, where));

    static int serial = 0;
    const QString name = QStringLiteral("valdoria-%1").arg(++serial);
    std::unique_ptr<Database> result(new Database(name, file));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
        if (!db.open())
            result->fail(QStringLiteral("Non si riesce ad aprire l'archivio \"%1\".").arg(path),
                         db.lastError().text());
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
            result->fail(QStringLiteral("Il file \"%1\" non è un archivio di Valdoria, oppure è rovinato.").arg(path),
                         lastError(q));
        sqlite3 *h = nativeHandle(db);
        const bool readOnly = !h || sqlite3_db_readonly(h, "main") == 1
                              || !QFileInfo(QFileInfo(file).absolutePath()).isWritable();
        if (readOnly)
            result->fail(QStringLiteral("L'archivio \"%1\" è di sola lettura: i risultati degli alunni "
                                        "non potrebbero essere registrati. Chiedere di renderlo scrivibile.")
                             .arg(path),
                         {});
        // A result is on disk before the append returns: a crash right after it
        // loses nothing.
        q.exec(QStringLiteral("PRAGMA synchronous = FULL"));
        if (!installNameFolding(db))
            result->fail(QStringLiteral("L'archivio \"%1\" non si può usare.").arg(path),
                         QStringLiteral("confronto dei nomi"));
    }
    return result;
}

std::unique_ptr<Recordset> Database::openRecordset(const QString &table)
{
    return select(table, {}, {});
}

std::unique_ptr<Recordset> Database::openPupilRows(const QString &table, const QString &name)
{
    return select(table,
                  QStringLiteral(" WHERE valdoria_fold(%1) = valdoria_fold(?)").arg(quoteName(NameColumn)),
                  {name});
}

std::unique_ptr<Recordset> Database::select(const QString &table, const QString &where,
                                            const QVariantList &binds)
{
    std::unique_ptr<Recordset> rs(new Recordset(this, table));
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT rowid AS %1, * FROM %2%3 ORDER BY rowid")
                  .arg(RowIdColumn, quoteName(table), where));
    for (const QVariant &b : binds)
        q.addBindValue(b);
    if (!q.exec())
        fail(QStringLiteral("Non si riesce a leggere la tabella \"%1\" dell'archivio.").arg(table), lastError(q));
    const QSqlRecord rec = q.record();
    for (int i = 1; i < rec.count(); ++i)
        rs->columns_ << rec.fieldName(i);
    while (q.next()) {
        QList<QVariant> row;
        row.reserve(rec.count());
        for (int i = 0; i < rec.count(); ++i)
            row << q.value(i);
        rs->rows_ << row;
    }
    return rs;
}

// -------------------------------------------------------------------- Recordset

void Recordset::moveFirst()
{
    if (rows_.isEmpty())
        db_->fail(QStringLiteral("La tabella \"%1\" dell'archivio è vuota.").arg(table_), {});
    current_ = 0;
    currentDeleted_ = false;
}

void Recordset::moveLast()
{
    if (rows_.isEmpty())
        db_->fail(QStringLiteral("La tabella \"%1\" dell'archivio è vuota.").arg(table_), {});
    current_ = int(rows_.size()) - 1;
    currentDeleted_ = false;
}

void Recordset::moveNext()
{
    if (currentDeleted_) {
        // The row after the deleted one has taken its index.
        currentDeleted_ = false;
        return;
    }
    if (eof())
        db_->fail(QStringLiteral("Lettura oltre l'ultima riga della tabella \"%1\".").arg(table_), {});
    ++current_;
}

bool Recordset::eof() const { return current_ >= rows_.size(); }

const QList<QVariant> &Recordset::currentRow(const char *operation) const
{
    if (currentDeleted_ || eof())
        db_->fail(QStringLiteral("Nessuna riga corrente nella tabella \"%1\" (%2).")
                      .arg(table_, QLatin1String(operation)),
                  {});
    return rows_[current_];
}

int Recordset::columnIndex(const QString &name) const
{
    for (int i = 0; i < columns_.size(); ++i)
        if (columns_[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant Recordset::field(int position) const
{
    const auto &row = currentRow("lettura");
    if (position < 0 || position >= columns_.size())
        db_->fail(QStringLiteral("La tabella \"%1\" non ha la colonna numero %2.").arg(table_).arg(position), {});
    return row[position + 1];
}

QVariant Recordset::field(const QString &name) const
{
    const int i = columnIndex(name);
    if (i < 0)
        db_->fail(QStringLiteral("La tabella \"%1\" non ha la colonna \"%2\".").arg(table_, name), {});
    return currentRow("lettura")[i + 1];
}

void Recordset::addNew()
{
    adding_ = true;
    pending_.clear();
}

void Recordset::setField(const QString &name, const QVariant &value)
{
    if (!adding_)
        db_->fail(QStringLiteral("Scrittura nella tabella \"%1\" senza una nuova riga.").arg(table_), {});
    if (columnIndex(name) < 0)
        db_->fail(QStringLiteral("La tabella \"%1\" non ha la colonna \"%2\".").arg(table_, name), {});
    for (auto &p : pending_)
        if (p.first.compare(name, Qt::CaseInsensitive) == 0) {
            p.second = value;
            return;
        }
    pending_.append({name, value});
}

void Recordset::update()
{
    if (!adding_)
        db_->fail(QStringLiteral("Aggiornamento della tabella \"%1\" senza una nuova riga.").arg(table_), {});
    QStringList names, marks;
    for (const auto &p : pending_) {
        names << quoteName(columns_[columnIndex(p.first)]);
        marks << QStringLiteral("?");
    }
    QSqlQuery q(db_->connection());
    q.prepare(names.isEmpty()
                  ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteName(table_))
                  : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                        .arg(quoteName(table_), names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
    for (const auto &p : pending_)
        q.addBindValue(p.second);
    if (!q.exec())
        db_->fail(QStringLiteral("Non si riesce a registrare la riga nella tabella \"%1\" dell'archivio.").arg(table_),
                  lastError(q));
    adding_ = false;
    pending_.clear();

    QSqlQuery back(db_->connection());
    back.prepare(QStringLiteral("SELECT rowid, * FROM %1 WHERE rowid = ?").arg(quoteName(table_)));
    back.addBindValue(q.lastInsertId());
    if (back.exec() && back.next()) {
        QList<QVariant> row;
        for (int i = 0; i <= columns_.size(); ++i)
            row << back.value(i);
        rows_ << row;
    }
}

void Recordset::deleteCurrent()
{
    const QVariant rowid = currentRow("cancellazione").first();
    QSqlQuery q(db_->connection());
    q.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoteName(table_)));
    q.addBindValue(rowid);
    if (!q.exec())
        db_->fail(QStringLiteral("Non si riesce a cancellare la riga dalla tabella \"%1\".").arg(table_), lastError(q));
    rows_.removeAt(current_);
    currentDeleted_ = true;
}

} // namespace platform
