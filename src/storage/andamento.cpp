#include "andamento.h"

#include "connection.h"
#include "dao.h"

#include <QSqlError>
#include <QSqlQuery>

namespace storage {

namespace {

const QString Name = quoteName(Database::NameColumn);

// The rows of `table` in the filter's period and of its pupil, as a WHERE
// condition and its bound values.
struct Where
{
    QString sql;
    QVariantList binds;
};

Where filterOf(const Connection &c, const ProgressFilter &f, const QString &table)
{
    Where w{QStringLiteral("data BETWEEN ? AND ?"), {f.from, f.to}};
    if (c.dialect() == Dialect::Sqlite)
        w.binds = {f.from.toString(Qt::ISODate), f.to.toString(Qt::ISODate)};
    const QString pupil = f.pupil.trimmed();
    if (!pupil.isEmpty()) {
        if (c.dialect() == Dialect::Sqlite) {
            w.sql += QStringLiteral(" AND valdoria_fold(%1) = ?").arg(Name);
            w.binds << pupil.toCaseFolded();
        } else {
            w.sql += QStringLiteral(" AND lower(%1) = lower(?)").arg(Name);
            w.binds << pupil;
        }
    }
    if (f.firstOnly && table == Database::AnswersTable) {
        // A pupil's first answer to each statement: the earliest row of it.
        const QString id = c.idColumn();
        const QString who = c.dialect() == Dialect::Sqlite ? QStringLiteral("valdoria_fold(%1)").arg(Name)
                                                            : QStringLiteral("lower(%1)").arg(Name);
        const Where inner{w.sql, w.binds};
        w.sql = QStringLiteral("%1 IN (SELECT min(%1) FROM %2 WHERE %3 GROUP BY %4, prova, insieme, numero)")
                    .arg(id, quoteName(table), inner.sql, who);
        w.binds = inner.binds;
    }
    return w;
}

using Reader = std::function<void(const QSqlQuery &)>;

Status run(Database &db, const QString &sql, const QString &table, const ProgressFilter &f, const Reader &read,
           const QVariantList &extra = {})
{
    auto c = db.resultsConnection();
    if (!c)
        return Error{c.error()};
    const Where w = filterOf(*c.value(), f, table);
    QSqlQuery q(c.value()->db());
    q.setForwardOnly(true);
    q.prepare(QString(sql).replace(QStringLiteral("$WHERE"), w.sql));
    for (const QVariant &b : w.binds + extra)
        q.addBindValue(b);
    if (!q.exec())
        return failure(QStringLiteral("I risultati della classe non si possono leggere."), lastError(q));
    while (q.next())
        read(q);
    return {};
}

template <class T> Result<QList<T>> collect(const Status &s, QList<T> &&rows)
{
    if (!s)
        return Error{s.error()};
    return std::move(rows);
}

} // namespace

Result<QList<AnsweredItem>> ClassProgress::answered(const ProgressFilter &f) const
{
    QList<AnsweredItem> out;
    const Status s = run(db_,
                         QStringLiteral("SELECT prova, insieme, numero, count(*), sum(1 - giusta), "
                                        "sum(CASE WHEN risposta = 1 THEN 1 ELSE 0 END) FROM risposte WHERE $WHERE "
                                        "GROUP BY prova, insieme, numero"),
                         Database::AnswersTable, f, [&](const QSqlQuery &q) {
                             out.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toInt(),
                                         q.value(3).toInt(), q.value(4).toInt(), q.value(5).toInt()});
                         });
    std::stable_sort(out.begin(), out.end(), [](const AnsweredItem &a, const AnsweredItem &b) {
        if (a.wrong * qint64(b.answers) != b.wrong * qint64(a.answers))
            return a.wrong * qint64(b.answers) > b.wrong * qint64(a.answers);
        return a.answers > b.answers;
    });
    return collect(s, std::move(out));
}

Result<QList<Count>> ClassProgress::split(const ProgressFilter &f, const QString &prova, const QString &insieme,
                                          int numero) const
{
    QList<Count> out;
    const Status s = run(db_,
                         QStringLiteral("SELECT risposta, count(*) FROM risposte WHERE $WHERE AND prova = ? AND "
                                        "insieme = ? AND numero = ? GROUP BY risposta ORDER BY risposta"),
                         Database::AnswersTable, f,
                         [&](const QSqlQuery &q) { out.append({q.value(0).toString(), q.value(1).toInt()}); },
                         {prova, insieme, numero});
    return collect(s, std::move(out));
}

Result<QList<Count>> ClassProgress::grades(const ProgressFilter &f) const
{
    QList<Count> out;
    const Status s = run(db_, QStringLiteral("SELECT valutazione, count(*) FROM studsomm WHERE $WHERE GROUP BY valutazione"),
                         QStringLiteral("studsomm"), f,
                         [&](const QSqlQuery &q) { out.append({q.value(0).toString(), q.value(1).toInt()}); });
    return collect(s, std::move(out));
}

Result<QList<Count>> ClassProgress::scores(const ProgressFilter &f) const
{
    QList<Count> out;
    const Status s = run(db_,
                         QStringLiteral("SELECT argomento, punteggio, count(*) FROM studenti WHERE $WHERE AND "
                                        "argomento NOT LIKE '%(immagine)' GROUP BY argomento, punteggio"),
                         QStringLiteral("studenti"), f, [&](const QSqlQuery &q) {
                             out.append({q.value(0).toString() + QLatin1Char('|') + q.value(1).toString(),
                                         q.value(2).toInt()});
                         });
    return collect(s, std::move(out));
}

Result<QList<PupilResult>> ClassProgress::pupil(const ProgressFilter &f) const
{
    QList<PupilResult> out;
    auto day = [](const QVariant &v) { return QDate::fromString(v.toString().left(10), Qt::ISODate); };
    Status s = run(db_,
                   QStringLiteral("SELECT data, argomento, punteggio, maxpunti FROM studenti WHERE $WHERE AND "
                                  "argomento NOT LIKE '%(immagine)'"),
                   QStringLiteral("studenti"), f, [&](const QSqlQuery &q) {
                       const int max = q.value(3).toInt();
                       out.append({day(q.value(0)), q.value(1).toString(),
                                   max > 0 ? 100.0 * q.value(2).toInt() / max : 0});
                   });
    if (s)
        s = run(db_, QStringLiteral("SELECT data, \"punteggio totale\" FROM studsomm WHERE $WHERE"),
                QStringLiteral("studsomm"), f, [&](const QSqlQuery &q) {
                    out.append({day(q.value(0)), QStringLiteral("sommativo"), q.value(1).toDouble()});
                });
    std::stable_sort(out.begin(), out.end(), [](const PupilResult &a, const PupilResult &b) { return a.day < b.day; });
    return collect(s, std::move(out));
}

Result<QList<AnswerRow>> ClassProgress::answers(const ProgressFilter &f) const
{
    QList<AnswerRow> out;
    const Status s = run(db_,
                         QStringLiteral("SELECT %1, prova, insieme, numero, risposta, giusta, data FROM risposte "
                                        "WHERE $WHERE ORDER BY %1, data")
                             .arg(Name),
                         Database::AnswersTable, f, [&](const QSqlQuery &q) {
                             out.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                                         q.value(3).toInt(), q.value(4).toInt(), q.value(5).toInt(),
                                         QDate::fromString(q.value(6).toString().left(10), Qt::ISODate)});
                         });
    return collect(s, std::move(out));
}

} // namespace storage
