#include "coursebank.h"

#include "connection.h"
#include "dao.h"
#include "datapath.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

namespace storage {

static QList<QuestionSet> readQuestions(const QString &path, QString *error)
{
    QList<QuestionSet> sets;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("%1: cannot be read").arg(path);
        return {};
    }
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    int lineNo = 0;
    auto bad = [&](const QString &why) {
        *error = QStringLiteral("%1:%2: %3").arg(path).arg(lineNo).arg(why);
        return QList<QuestionSet>{};
    };
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++lineNo;
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1String("set:"))) {
            if (!sets.isEmpty() && sets.last().statements.size() != StatementsPerSet)
                return bad(QStringLiteral("the set before has %1 statements, not 10").arg(sets.last().statements.size()));
            const QString title = line.mid(4).trimmed();
            if (title.isEmpty())
                return bad(QStringLiteral("a set needs a title"));
            sets.append({title, {}, {}});
            continue;
        }
        if (sets.isEmpty())
            return bad(QStringLiteral("a statement before the first \"set:\" line"));
        const QChar key = line.at(0);
        if ((key != QLatin1Char('V') && key != QLatin1Char('F')) || line.size() < 3 || line.at(1) != QLatin1Char(' '))
            return bad(QStringLiteral("a statement starts with \"V \" or \"F \""));
        const QString text = line.mid(2).trimmed();
        if (text.isEmpty())
            return bad(QStringLiteral("empty statement"));
        if (sets.last().statements.size() == StatementsPerSet)
            return bad(QStringLiteral("more than 10 statements in a set"));
        sets.last().statements << text;
        sets.last().answers << (key == QLatin1Char('V') ? 1 : 0);
    }
    if (sets.isEmpty())
        return bad(QStringLiteral("no question set"));
    if (sets.last().statements.size() != StatementsPerSet)
        return bad(QStringLiteral("the last set has %1 statements, not 10").arg(sets.last().statements.size()));
    return sets;
}

namespace {

QStringList schemaStatements(const QString &schemaFile, QString *error)
{
    QFile f(schemaFile);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("%1: cannot be read").arg(schemaFile);
        return {};
    }
    QString text;
    for (const QString &line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n')))
        if (!line.trimmed().startsWith(QLatin1String("--")))
            text += line + QLatin1Char('\n');
    QStringList out;
    for (const QString &s : text.split(QLatin1Char(';')))
        if (!s.trimmed().isEmpty())
            out << s.trimmed();
    return out;
}

bool run(QSqlQuery &q, const QString &sql, QString *error)
{
    if (q.exec(sql))
        return true;
    *error = QStringLiteral("%1 (%2)").arg(reason(q.lastError()), sql.section(QLatin1Char(' '), 0, 2));
    return false;
}

} // namespace

QStringList questionTables()
{
    QStringList tables;
    for (int i = 1; i <= 7; ++i)
        tables << QStringLiteral("domande%1").arg(i);
    tables << QStringLiteral("sommativo");
    return tables;
}

namespace {

const QString VersionKey = QStringLiteral("versione");
// Kept as they are by an upgrade: the results, and the results still waiting
// for the room's server.
QStringList keptTables()
{
    return Database::ResultTables + QStringList{Database::PendingTable, Database::SetAsideTable};
}

// A connection of its own, closed and removed when it goes.
class Scratch
{
public:
    explicit Scratch(const QString &file)
    {
        static int serial = 0;
        name_ = QStringLiteral("valdoria-course-%1").arg(++serial);
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db_.setDatabaseName(file);
        db_.setConnectOptions(sqliteConnectOptions());
    }
    ~Scratch()
    {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(name_);
    }
    QSqlDatabase &db() { return db_; }

private:
    QString name_;
    QSqlDatabase db_;
};

QString fingerprint(const QString &schemaFile, const QFileInfoList &files)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString &path : QStringList{schemaFile}) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            hash.addData(f.readAll());
    }
    for (const QFileInfo &fi : files) {
        QFile f(fi.filePath());
        hash.addData(fi.fileName().toUtf8());
        if (f.open(QIODevice::ReadOnly))
            hash.addData(f.readAll());
    }
    return QString::fromLatin1(hash.result().toHex());
}

} // namespace

QString courseVersion(const QString &dbFile)
{
    if (!QFileInfo::exists(dbFile))
        return {};
    Scratch c(dbFile);
    if (!c.db().open())
        return {};
    QSqlQuery q(c.db());
    q.prepare(QStringLiteral("SELECT valore FROM valdoria_corso WHERE chiave = ?"));
    q.addBindValue(VersionKey);
    return q.exec() && q.next() ? q.value(0).toString() : QString();
}

static bool refresh(const QString &dataFile, const QString &courseFile, QString *backup, QString *error)
{
    const QString wanted = courseVersion(courseFile);
    if (wanted.isEmpty()) {
        *error = QStringLiteral("il file \"%1\" non contiene il corso").arg(QDir::toNativeSeparators(courseFile));
        return false;
    }
    if (courseVersion(dataFile) == wanted)
        return true;

    // The copy first, whole or not at all; without it nothing is changed.
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    *backup = dataFile + QStringLiteral(".") + stamp + QStringLiteral(".bak");
    for (int n = 2; QFileInfo::exists(*backup); ++n) // two upgrades within a second
        *backup = dataFile + QStringLiteral(".%1-%2.bak").arg(stamp).arg(n);
    const QString partial = *backup + QStringLiteral(".part");
    QFile::remove(partial);
    if (!QFile::copy(dataFile, partial) || !QFile::rename(partial, *backup)) {
        QFile::remove(partial);
        const QString why = whyNotWritable(QFileInfo(dataFile).absolutePath());
        *error = QStringLiteral("la copia di sicurezza \"%1\" non si può scrivere: %2")
                     .arg(QDir::toNativeSeparators(*backup), why.isEmpty() ? QStringLiteral("disco pieno o non scrivibile") : why);
        return false;
    }

    Scratch c(dataFile);
    if (!c.db().open()) {
        *error = reason(c.db().lastError());
        return false;
    }
    QSqlQuery q(c.db());
    if (!run(q, QStringLiteral("PRAGMA synchronous = FULL"), error))
        return false;
    q.prepare(QStringLiteral("ATTACH DATABASE ? AS corso"));
    q.addBindValue(courseFile);
    if (!q.exec()) {
        *error = reason(q.lastError());
        return false;
    }
    struct Table
    {
        QString name, sql;
    };
    QList<Table> course;
    if (!run(q, QStringLiteral("SELECT name, sql FROM corso.sqlite_master WHERE type = 'table' "
                              "AND name NOT LIKE 'sqlite_%'"),
             error))
        return false;
    while (q.next())
        course.append({q.value(0).toString(), q.value(1).toString()});
    QStringList present;
    if (!run(q, QStringLiteral("SELECT name FROM main.sqlite_master WHERE type = 'table'"), error))
        return false;
    while (q.next())
        present << q.value(0).toString();

    const QStringList kept = keptTables();
    bool ok = run(q, QStringLiteral("BEGIN IMMEDIATE"), error);
    for (const Table &t : std::as_const(course)) {
        if (!ok)
            break;
        const bool results = kept.contains(t.name);
        const QString name = quoteName(t.name);
        if (results) {
            // Results stay as they are; a missing result table is created empty.
            if (!present.contains(t.name, Qt::CaseInsensitive))
                ok = run(q, t.sql, error);
            continue;
        }
        ok = run(q, QStringLiteral("DROP TABLE IF EXISTS main.%1").arg(name), error) && run(q, t.sql, error)
             && run(q, QStringLiteral("INSERT INTO main.%1 SELECT * FROM corso.%1").arg(name), error);
    }
    // The course's indexes on the result tables, where the file lacks them.
    QStringList indexes;
    if (ok && run(q, QStringLiteral("SELECT sql FROM corso.sqlite_master WHERE type = 'index' AND sql IS NOT NULL "
                                    "AND name NOT IN (SELECT name FROM main.sqlite_master WHERE type = 'index')"),
                  error))
        while (q.next())
            indexes << q.value(0).toString();
    for (const QString &index : std::as_const(indexes))
        ok = ok && run(q, index, error);
    if (ok)
        ok = run(q, QStringLiteral("COMMIT"), error);
    if (!ok)
        q.exec(QStringLiteral("ROLLBACK"));
    q.exec(QStringLiteral("DETACH DATABASE corso"));
    return ok;
}

static bool install(const QString &dbFile, const QString &schemaFile, const QString &questionsDir, QString *error)
{
    const bool existed = QFileInfo::exists(dbFile);
    const QStringList schema = schemaStatements(schemaFile, error);
    if (schema.isEmpty())
        return false;
    QMap<QString, QList<QuestionSet>> bank;
    const QFileInfoList files = QDir(questionsDir).entryInfoList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    for (const QFileInfo &fi : files) {
        // Only question tables are rebuilt: a file named like a result table
        // must never replace the pupils' results.
        if (!questionTables().contains(fi.completeBaseName())) {
            *error = QStringLiteral("%1: not a question table (the bank holds %2)")
                         .arg(fi.filePath(), questionTables().join(QStringLiteral(", ")));
            return false;
        }
        const QList<QuestionSet> sets = readQuestions(fi.filePath(), error);
        if (sets.isEmpty())
            return false;
        bank.insert(fi.completeBaseName(), sets);
    }

    QDir().mkpath(QFileInfo(dbFile).absolutePath());
    bool ok = false;
    {
        Scratch scratch(dbFile);
        QSqlDatabase &db = scratch.db();
        if (!db.open()) {
            *error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            ok = run(q, QStringLiteral("BEGIN IMMEDIATE"), error);
            for (auto it = bank.cbegin(); ok && it != bank.cend(); ++it)
                ok = run(q, QStringLiteral("DROP TABLE IF EXISTS %1").arg(quoteName(it.key())), error);
            // The layout of every question table is written once, as question_set.
            const QString layout = QStringLiteral("question_set");
            for (const QString &statement : schema) {
                if (!ok)
                    break;
                if (statement.contains(layout)) {
                    for (auto it = bank.cbegin(); ok && it != bank.cend(); ++it)
                        ok = run(q, QString(statement).replace(layout, quoteName(it.key())), error);
                } else {
                    ok = run(q, statement, error);
                }
            }
            for (auto it = bank.cbegin(); ok && it != bank.cend(); ++it) {
                QStringList marks(2 * StatementsPerSet + 1, QStringLiteral("?"));
                QSqlQuery ins(db);
                if (!ins.prepare(QStringLiteral("INSERT INTO %1 VALUES (NULL, %2)")
                                     .arg(quoteName(it.key()), marks.join(QStringLiteral(", "))))) {
                    *error = QStringLiteral("%1: no such question table in the schema (%2)")
                                 .arg(it.key(), ins.lastError().text());
                    ok = false;
                    break;
                }
                for (const QuestionSet &set : it.value()) {
                    ins.addBindValue(set.title);
                    for (const QString &s : set.statements)
                        ins.addBindValue(s);
                    for (int a : set.answers)
                        ins.addBindValue(a);
                    if (!ins.exec()) {
                        *error = QStringLiteral("%1: %2").arg(it.key(), ins.lastError().text());
                        ok = false;
                        break;
                    }
                }
            }
            if (ok) {
                QSqlQuery stamp(db);
                stamp.prepare(QStringLiteral("INSERT OR REPLACE INTO valdoria_corso (chiave, valore) VALUES (?, ?)"));
                stamp.addBindValue(VersionKey);
                stamp.addBindValue(fingerprint(schemaFile, files));
                if (!stamp.exec()) {
                    *error = QStringLiteral("the course fingerprint: %1").arg(stamp.lastError().text());
                    ok = false;
                }
            }
            if (ok)
                ok = run(q, QStringLiteral("COMMIT"), error);
            if (!ok)
                q.exec(QStringLiteral("ROLLBACK"));
        }
    }
    if (!ok && !existed)
        QFile::remove(dbFile);
    return ok;
}

Result<QList<QuestionSet>> readQuestionFile(const QString &path)
{
    QString error;
    QList<QuestionSet> sets = readQuestions(path, &error);
    if (sets.isEmpty())
        return Error{error};
    return sets;
}

Status installCourseDatabase(const QString &dbFile, const QString &schemaFile, const QString &questionsDir)
{
    QString error;
    if (!install(dbFile, schemaFile, questionsDir, &error))
        return Error{error};
    return {};
}

Result<QString> refreshCourse(const QString &dataFile, const QString &courseFile)
{
    QString backup, error;
    if (!refresh(dataFile, courseFile, &backup, &error))
        return Error{error};
    return backup;
}

} // namespace storage
