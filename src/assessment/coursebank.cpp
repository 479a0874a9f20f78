#include "coursebank.h"

#include "platform/dao.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

namespace assessment {

QList<QuestionSet> readQuestionFile(const QString &path, QString *error)
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
    *error = QStringLiteral("%1\n  in: %2").arg(q.lastError().text(), sql.left(200));
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

bool installCourseDatabase(const QString &dbFile, const QString &schemaFile,
                           const QString &questionsDir, QString *error)
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
        const QList<QuestionSet> sets = readQuestionFile(fi.filePath(), error);
        if (sets.isEmpty())
            return false;
        bank.insert(fi.completeBaseName(), sets);
    }

    QDir().mkpath(QFileInfo(dbFile).absolutePath());
    const QString connection = QStringLiteral("valdoria-install");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(dbFile);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        if (!db.open()) {
            *error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            ok = run(q, QStringLiteral("BEGIN IMMEDIATE"), error);
            for (auto it = bank.cbegin(); ok && it != bank.cend(); ++it)
                ok = run(q, QStringLiteral("DROP TABLE IF EXISTS %1").arg(platform::quoteName(it.key())), error);
            // The layout of every question table is written once, as question_set.
            const QString layout = QStringLiteral("question_set");
            for (const QString &statement : schema) {
                if (!ok)
                    break;
                if (statement.contains(layout)) {
                    for (auto it = bank.cbegin(); ok && it != bank.cend(); ++it)
                        ok = run(q, QString(statement).replace(layout, platform::quoteName(it.key())), error);
                } else {
                    ok = run(q, statement, error);
                }
            }
            for (auto it = bank.cbegin(); ok && it != bank.cend(); ++it) {
                QStringList marks(2 * StatementsPerSet + 1, QStringLiteral("?"));
                QSqlQuery ins(db);
                if (!ins.prepare(QStringLiteral("INSERT INTO %1 VALUES (NULL, %2)")
                                     .arg(platform::quoteName(it.key()), marks.join(QStringLiteral(", "))))) {
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
            if (ok)
                ok = run(q, QStringLiteral("COMMIT"), error);
            if (!ok)
                q.exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (!ok && !existed)
        QFile::remove(dbFile);
    return ok;
}

} // namespace assessment
