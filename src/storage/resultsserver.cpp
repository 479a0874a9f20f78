#include "resultsserver.h"

#include "connection.h"
#include "dao.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSet>
#include <QUuid>

namespace storage {

namespace {

ServerSettings &settings()
{
    static ServerSettings s;
    return s;
}

constexpr int ConnectTimeoutSeconds = 3;
constexpr int RetryMs = 30000;
const QString &QueueTable = Database::PendingTable;
const QString DateColumn = QStringLiteral("data");

QSet<QTimer *> &retryTimers()
{
    static QSet<QTimer *> timers;
    return timers;
}

} // namespace

QString ServerSettings::describe() const
{
    const QString where = host.isEmpty() ? QStringLiteral("questo computer") : QDir::toNativeSeparators(host);
    return QStringLiteral("\"%1\" su %2%3")
        .arg(database, where, host.startsWith(QLatin1Char('/')) || host.isEmpty() ? QString()
                                                                                   : QStringLiteral(":%1").arg(port));
}

void setResultsServer(const ServerSettings &s) { settings() = s; }

void stopBackgroundWork()
{
    for (QTimer *t : std::as_const(retryTimers()))
        t->stop();
}
const ServerSettings &resultsServer() { return settings(); }

ServerLink::ServerLink(const ServerSettings &s, std::shared_ptr<Connection> local)
    : settings_(s), local_(std::move(local))
{
    static int serial = 0;
    const QString name = QStringLiteral("valdoria-server-%1").arg(++serial);
    QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    server_ = std::make_shared<Connection>(name, settings_.describe(), Dialect::Postgres);
    // While the server is away, or results wait for it, it is asked again now
    // and then.
    retry_.setInterval(RetryMs);
    QObject::connect(&retry_, &QTimer::timeout, [this] {
        if (!up_ || pending() > 0)
            ensure(true);
    });
    retry_.start();
    retryTimers().insert(&retry_);
}

ServerLink::~ServerLink() { retryTimers().remove(&retry_); }

bool ServerLink::connectNow()
{
    const QString server = settings_.describe();
    QSqlDatabase db = server_->db();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        notice_ = QStringLiteral("Questo computer non sa collegarsi al server dei risultati %1 (manca il suo "
                                 "driver). I risultati saranno conservati su questo computer.")
                      .arg(server);
        return false;
    }
    QString password;
    if (!settings_.passwordFile.isEmpty()) {
        QFile f(settings_.passwordFile);
        const auto perms = f.permissions();
        if (perms & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther)) {
            notice_ = QStringLiteral("Il file della password del server dei risultati %1, %2, può essere letto "
                                     "da altri utenti: per sicurezza non viene usato. I risultati saranno "
                                     "conservati su questo computer finché il file non sarà leggibile solo dal "
                                     "suo proprietario.")
                          .arg(server, QDir::toNativeSeparators(settings_.passwordFile));
            return false;
        }
        if (!f.open(QIODevice::ReadOnly)) {
            notice_ = QStringLiteral("Il file della password del server dei risultati %1, %2, non si può "
                                     "leggere. I risultati saranno conservati su questo computer.")
                          .arg(server, QDir::toNativeSeparators(settings_.passwordFile));
            return false;
        }
        password = QString::fromUtf8(f.readLine()).trimmed();
    }
    db.setHostName(settings_.host);
    db.setPort(settings_.port);
    db.setDatabaseName(settings_.database);
    db.setUserName(settings_.user);
    db.setPassword(password);
    db.setConnectOptions(QStringLiteral("connect_timeout=%1").arg(ConnectTimeoutSeconds));
    if (!db.open()) {
        const QString why = db.lastError().text();
        if (why.contains(QLatin1String("password")) || why.contains(QLatin1String("authentication")))
            notice_ = QStringLiteral("Il server dei risultati %1 non ha accettato l'utente \"%2\": la password "
                                     "è sbagliata o manca. I risultati saranno conservati su questo computer "
                                     "finché l'accesso non sarà sistemato.")
                          .arg(server, settings_.user);
        else if (why.contains(QLatin1String("does not exist")))
            notice_ = QStringLiteral("Sul server dei risultati %1 non c'è il database o l'utente \"%2\". I "
                                     "risultati saranno conservati su questo computer.")
                          .arg(server, settings_.user);
        else
            notice_ = notAnswering();
        db.close();
        return false;
    }
    for (const QString &table : Database::ResultTables) {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT uid FROM %1 LIMIT 0").arg(quoteName(table)))) {
            notice_ = QStringLiteral("Sul server dei risultati %1 manca la tabella \"%2\": va preparato con "
                                     "tools/server/prepara-server.sh. I risultati saranno conservati su questo "
                                     "computer.")
                          .arg(server, table);
            db.close();
            return false;
        }
    }
    notice_.clear();
    return true;
}

bool ServerLink::ensure(bool now)
{
    if (up_ && server_->db().isOpen())
        return true;
    up_ = false;
    if (!now && sinceFailure_.isValid() && sinceFailure_.elapsed() < RetryMs)
        return false;
    if (!connectNow()) {
        sinceFailure_.restart();
        return false;
    }
    up_ = true;
    flush();
    return up_;
}

QString ServerLink::notAnswering() const
{
    return QStringLiteral("Il server dei risultati %1 non risponde. I risultati saranno conservati su questo "
                          "computer e inviati al server appena risponderà.")
        .arg(settings_.describe());
}

void ServerLink::lost()
{
    up_ = false;
    server_->db().close();
    sinceFailure_.restart();
    notice_ = notAnswering();
}

bool ServerLink::insertOnServer(const QString &table, const Fields &fields, const QString &uid, qint64 *id)
{
    QStringList names{QStringLiteral("uid")}, marks{QStringLiteral("?")};
    for (const auto &f : fields) {
        names << quoteName(f.first);
        marks << QStringLiteral("?");
    }
    QSqlQuery q(server_->db());
    q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) ON CONFLICT (uid) DO NOTHING RETURNING id")
                  .arg(quoteName(table), names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
    q.addBindValue(uid);
    for (const auto &f : fields)
        q.addBindValue(f.first.compare(DateColumn, Qt::CaseInsensitive) == 0
                           ? QVariant(QDate::fromString(f.second.toString(), Qt::ISODate))
                           : f.second);
    if (!q.exec()) {
        lost();
        return false;
    }
    if (q.next()) {
        *id = q.value(0).toLongLong();
        return true;
    }
    // Already there: an earlier attempt reached the server after all.
    QSqlQuery again(server_->db());
    again.prepare(QStringLiteral("SELECT id FROM %1 WHERE uid = ?").arg(quoteName(table)));
    again.addBindValue(uid);
    if (!again.exec() || !again.next()) {
        lost();
        return false;
    }
    *id = again.value(0).toLongLong();
    return true;
}

Status ServerLink::enqueue(const QString &table, const Fields &fields, const QString &uid)
{
    QJsonObject row;
    bool dated = false;
    for (const auto &f : fields) {
        row.insert(f.first, QJsonValue::fromVariant(f.second));
        dated = dated || f.first.compare(DateColumn, Qt::CaseInsensitive) == 0;
    }
    // The day of the test, not the day it reaches the server.
    if (!dated)
        row.insert(DateColumn, QDate::currentDate().toString(Qt::ISODate));
    QSqlQuery q(local_->db());
    const QString failed = QStringLiteral("Il risultato non si può conservare su questo computer (tabella \"%1\").")
                               .arg(table);
    if (!q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (uid TEXT PRIMARY KEY, tabella TEXT NOT NULL, "
                               "campi TEXT NOT NULL)")
                    .arg(QueueTable)))
        return failure(failed, lastError(q));
    q.prepare(QStringLiteral("INSERT INTO %1 (uid, tabella, campi) VALUES (?, ?, ?)").arg(QueueTable));
    q.addBindValue(uid);
    q.addBindValue(table);
    q.addBindValue(QString::fromUtf8(QJsonDocument(row).toJson(QJsonDocument::Compact)));
    if (!q.exec())
        return failure(failed, lastError(q));
    return {};
}

Result<qint64> ServerLink::append(const QString &table, const Fields &fields)
{
    const QString uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    qint64 id = -1;
    if (ensure() && insertOnServer(table, fields, uid, &id))
        return id;
    if (Status s = enqueue(table, fields, uid); !s)
        return Error{s.error()};
    return qint64(-1);
}

int ServerLink::pending() const
{
    QSqlQuery q(local_->db());
    return q.exec(QStringLiteral("SELECT count(*) FROM %1").arg(QueueTable)) && q.next() ? q.value(0).toInt() : 0;
}

bool ServerLink::flush()
{
    if (!up_)
        return pending() == 0;
    QSqlQuery rows(local_->db());
    if (!rows.exec(QStringLiteral("SELECT uid, tabella, campi FROM %1 ORDER BY rowid").arg(QueueTable)))
        return true; // no queue yet
    struct Waiting
    {
        QString uid, table, fields;
    };
    QList<Waiting> waiting;
    while (rows.next())
        waiting.append({rows.value(0).toString(), rows.value(1).toString(), rows.value(2).toString()});
    rows.finish();
    for (const Waiting &w : std::as_const(waiting)) {
        Fields fields;
        const QJsonObject row = QJsonDocument::fromJson(w.fields.toUtf8()).object();
        for (auto it = row.begin(); it != row.end(); ++it)
            fields.append({it.key(), it.value().toVariant()});
        qint64 id;
        if (!insertOnServer(w.table, fields, w.uid, &id))
            return false;
        // On the server now: only then out of the queue. Sent twice, it is
        // still kept once.
        QSqlQuery done(local_->db());
        done.prepare(QStringLiteral("DELETE FROM %1 WHERE uid = ?").arg(QueueTable));
        done.addBindValue(w.uid);
        if (!done.exec())
            return false; // sent again later, and still kept once

    }
    return true;
}

} // namespace storage
