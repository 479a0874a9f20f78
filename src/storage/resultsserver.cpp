#include "resultsserver.h"

#include "connection.h"
#include "dao.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

#include <libpq-fe.h>

namespace storage {

namespace {

ServerSettings &settings()
{
    static ServerSettings s;
    return s;
}

QMutex sendersMutex;
QSet<ResultsSender *> &senders()
{
    static QSet<ResultsSender *> all;
    return all;
}

constexpr int ConnectTimeoutSeconds = 3;
constexpr int StatementTimeoutMs = 10000;
constexpr int FirstRetryMs = 2000;
constexpr int LastRetryMs = 30000;
const QString &QueueTable = Database::PendingTable;
const QString &SetAsideTable = Database::SetAsideTable;
const QString DateColumn = QStringLiteral("data");
const QString Keep = QStringLiteral(" I risultati restano su questo computer");

QString sslMode(const ServerSettings &s)
{
    if (s.ssl == QLatin1String("richiesto"))
        return QStringLiteral("require");
    if (s.ssl == QLatin1String("verificato"))
        return QStringLiteral("verify-full");
    return {};
}

QString notAnswering(const ServerSettings &s)
{
    return QStringLiteral("Il server dei risultati %1 non risponde.%2 e saranno inviati al server appena risponderà.")
        .arg(s.describe(), Keep);
}

// The password of a role from its file. The file may be readable by its
// group (the pupils' group, on a PC that many pupils share), never by others.
Result<QString> readPassword(const ServerSettings &s)
{
    if (s.passwordFile.isEmpty())
        return QString();
    const QString file = QDir::toNativeSeparators(s.passwordFile);
    QFile f(s.passwordFile);
    if (f.permissions() & (QFile::ReadOther | QFile::WriteOther))
        return failure(QStringLiteral("Il file della password del server dei risultati %1, %2, può essere letto da "
                                      "tutti gli utenti: per sicurezza non viene usato.%3 finché il file non sarà "
                                      "leggibile solo dal suo proprietario e dal suo gruppo.")
                           .arg(s.describe(), file, Keep));
    if (!f.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("Il file della password del server dei risultati %1, %2, non si può leggere.%3.")
                           .arg(s.describe(), file, Keep));
    return QString::fromUtf8(f.readLine()).trimmed();
}

// Why a connection was refused, told from what the server answers to a ping
// and to the same credentials on the database every server has, never from
// the text of its messages (which may be in any language).
QString whyRefused(const ServerSettings &s, const QString &user, const QString &password)
{
    const QByteArray host = s.host.toUtf8(), port = QByteArray::number(s.port), database = s.database.toUtf8(),
                     role = user.toUtf8(), secret = password.toUtf8(), timeout = QByteArray::number(ConnectTimeoutSeconds),
                     ssl = sslMode(s).toUtf8(), certificate = s.certificate.toUtf8();
    const char *keys[] = {"host", "port", "dbname", "user", "password", "connect_timeout", "sslmode", "sslrootcert",
                          "application_name", nullptr};
    const char *values[] = {host.constData(),    port.constData(),    database.constData(),
                            role.constData(),    secret.constData(),  timeout.constData(),
                            ssl.constData(),     certificate.constData(), "Valdoria", nullptr};
    if (PQpingParams(keys, values, 0) != PQPING_OK)
        return notAnswering(s);
    auto attempt = [&](bool *needsPassword) {
        PGconn *c = PQconnectdbParams(keys, values, 0);
        const bool ok = PQstatus(c) == CONNECTION_OK;
        if (needsPassword)
            *needsPassword = PQconnectionNeedsPassword(c);
        PQfinish(c);
        return ok;
    };
    bool needsPassword = false;
    if (attempt(&needsPassword))
        return {};
    if (!needsPassword) {
        values[2] = "template1";
        if (attempt(nullptr))
            return QStringLiteral("Sul server dei risultati %1 non c'è il database \"%2\", oppure l'utente \"%3\" non "
                                  "può usarlo.%4.")
                .arg(s.describe(), s.database, user, Keep);
    }
    return QStringLiteral("Il server dei risultati %1 non ha accettato l'utente \"%2\": la password è sbagliata o "
                          "manca, oppure l'utente non esiste (il server va preparato con "
                          "tools/server/prepara-server.sh).%3 finché l'accesso non sarà sistemato.")
        .arg(s.describe(), user, Keep);
}

// Opens `db` on the server as `user`, and checks that the role may do what it
// is for on both result tables ("INSERT" to store, "SELECT" to read).
Status openServer(QSqlDatabase &db, const ServerSettings &s, const QString &user, const QString &password,
                  const QString &right)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return failure(QStringLiteral("Questo computer non sa collegarsi al server dei risultati %1 (manca il suo "
                                      "driver).%2.")
                           .arg(s.describe(), Keep));
    db.setHostName(s.host);
    db.setPort(s.port);
    db.setDatabaseName(s.database);
    db.setUserName(user);
    db.setPassword(password);
    QStringList options{QStringLiteral("connect_timeout=%1").arg(ConnectTimeoutSeconds),
                        QStringLiteral("application_name=Valdoria")};
    if (!sslMode(s).isEmpty())
        options << QStringLiteral("sslmode=") + sslMode(s);
    if (!s.certificate.isEmpty())
        options << QStringLiteral("sslrootcert=") + s.certificate;
    db.setConnectOptions(options.join(QLatin1Char(';')));
    if (!db.open()) {
        db.close();
        const QString why = whyRefused(s, user, password);
        return Error{why.isEmpty() ? notAnswering(s) : why};
    }
    // The role's rights on both tables, asked before anything is sent: a
    // server not prepared is told once, rather than every result refused.
    enum { Fine, Lost, Missing, NoRight } found = Fine;
    QString table;
    {
        QSqlQuery q(db);
        q.exec(QStringLiteral("SET statement_timeout = %1").arg(StatementTimeoutMs));
        for (const QString &t : Database::ResultTables) {
            table = t;
            q.prepare(QStringLiteral("SELECT has_any_column_privilege(?, ?)"));
            q.addBindValue(t);
            q.addBindValue(right);
            if (!q.exec() || !q.next())
                found = q.lastError().nativeErrorCode() == QLatin1String("42P01") ? Missing : Lost;
            else if (!q.value(0).toBool())
                found = NoRight;
            if (found != Fine)
                break;
        }
    }
    if (found == Fine)
        return {};
    db.close();
    if (found == Lost)
        return Error{notAnswering(s)};
    if (found == Missing)
        return failure(QStringLiteral("Sul server dei risultati %1 manca la tabella \"%2\": va preparato con "
                                      "tools/server/prepara-server.sh.%3.")
                           .arg(s.describe(), table, Keep));
    return failure(QStringLiteral("Sul server dei risultati %1 l'utente \"%2\" non ha il diritto di %3 i "
                                  "risultati (il server va preparato con tools/server/prepara-server.sh).%4.")
                       .arg(s.describe(), user,
                            right == QLatin1String("INSERT") ? QStringLiteral("registrare") : QStringLiteral("leggere"),
                            Keep));
}

bool makeQueueTables(QSqlDatabase db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (uid TEXT PRIMARY KEY, tabella TEXT NOT NULL, "
                               "campi TEXT NOT NULL, gruppo TEXT)")
                    .arg(QueueTable)))
        return false;
    // A queue from before groups gains the column (once; later it is there).
    if (!db.record(QueueTable).contains(QStringLiteral("gruppo")))
        q.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN gruppo TEXT").arg(QueueTable));
    return true
           && q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (uid TEXT PRIMARY KEY, tabella TEXT NOT NULL, "
                                    "campi TEXT NOT NULL, motivo TEXT, quando TEXT)")
                         .arg(SetAsideTable));
}

// Why the server refused a row, from its SQLSTATE class; empty when the
// connection, not the row, is at fault.
QString refusal(const QSqlError &e)
{
    const QString code = e.nativeErrorCode();
    QString why;
    if (code.startsWith(QLatin1String("22")))
        why = QStringLiteral("un valore del risultato non è accettato dal server");
    else if (code.startsWith(QLatin1String("23")))
        why = QStringLiteral("il risultato va contro una regola delle tabelle del server");
    else if (code.startsWith(QLatin1String("42")))
        why = QStringLiteral("il server non permette di registrarlo (diritti o tabella diversi)");
    return why.isEmpty() ? why : QStringLiteral("%1 (codice %2)").arg(why, code);
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
const ServerSettings &resultsServer() { return settings(); }

void stopBackgroundWork()
{
    QMutexLocker lock(&sendersMutex);
    for (ResultsSender *s : std::as_const(senders()))
        s->stop();
}

// ---------------------------------------------------------------- the sender

ResultsSender::ResultsSender(const ServerSettings &s, const QString &localFile) : settings_(s), localFile_(localFile)
{
    QMutexLocker lock(&sendersMutex);
    senders().insert(this);
}

ResultsSender::~ResultsSender()
{
    {
        QMutexLocker lock(&sendersMutex);
        senders().remove(this);
    }
    stop();
    wait();
}

void ResultsSender::wake()
{
    QMutexLocker lock(&mutex_);
    wakeUp_ = true;
    woken_.wakeAll();
}

void ResultsSender::stop()
{
    QMutexLocker lock(&mutex_);
    stopping_ = true;
    woken_.wakeAll();
}

QString ResultsSender::notice() const
{
    QMutexLocker lock(&mutex_);
    return notice_;
}

void ResultsSender::setNotice(const QString &notice)
{
    {
        QMutexLocker lock(&mutex_);
        if (notice_ == notice)
            return;
        notice_ = notice;
    }
    emit changed();
}

void ResultsSender::run()
{
    const QString suffix = QString::number(quintptr(this), 16);
    const QString localName = QStringLiteral("valdoria-queue-") + suffix,
                  serverName = QStringLiteral("valdoria-sender-") + suffix;
    {
        QSqlDatabase local = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), localName);
        local.setDatabaseName(localFile_);
        local.setConnectOptions(sqliteConnectOptions());
        QSqlDatabase server = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), serverName);
        int delay = 0;
        if (local.open() && makeQueueTables(local)) {
            for (;;) {
                const bool done = sendAll(local, server);
                QMutexLocker lock(&mutex_);
                if (stopping_)
                    break;
                delay = done ? 0 : std::min(delay ? 2 * delay : FirstRetryMs, LastRetryMs);
                if (!wakeUp_) {
                    if (done)
                        woken_.wait(&mutex_);
                    else
                        woken_.wait(&mutex_, delay);
                }
                wakeUp_ = false;
                if (stopping_)
                    break;
            }
        }
        server.close();
        local.close();
    }
    QSqlDatabase::removeDatabase(serverName);
    QSqlDatabase::removeDatabase(localName);
}

bool ResultsSender::sendAll(QSqlDatabase &local, QSqlDatabase &server)
{
    if (!server.isOpen()) {
        const Result<QString> password = readPassword(settings_);
        const Status opened = password ? openServer(server, settings_, settings_.user, password.value(),
                                                    QStringLiteral("INSERT"))
                                       : Status(Error{password.error()});
        if (!opened) {
            setNotice(opened.error());
            return false;
        }
        setNotice({});
    }
    struct Waiting
    {
        QString uid, table, fields, group;
    };
    QList<Waiting> waiting;
    {
        QSqlQuery rows(local);
        if (!rows.exec(QStringLiteral("SELECT uid, tabella, campi, gruppo FROM %1 ORDER BY rowid").arg(QueueTable)))
            return false;
        while (rows.next())
            waiting.append({rows.value(0).toString(), rows.value(1).toString(), rows.value(2).toString(),
                            rows.value(3).toString()});
    }
    // Results stored together (a set and its answers) are sent together, in
    // one transaction of the server.
    for (qsizetype first = 0; first < waiting.size();) {
        qsizetype end = first + 1;
        while (end < waiting.size() && !waiting[first].group.isEmpty() && waiting[end].group == waiting[first].group)
            ++end;
        {
            QMutexLocker lock(&mutex_);
            if (stopping_)
                return true;
        }
        QSqlQuery q(server);
        bool sent = q.exec(QStringLiteral("BEGIN"));
        for (qsizetype i = first; sent && i < end; ++i) {
            const Waiting &w = waiting[i];
            // The server stamps the day itself: a PC cannot backdate a result.
            QStringList names{QStringLiteral("uid")}, marks{QStringLiteral("?")};
            QVariantList values{w.uid};
            const QJsonObject row = QJsonDocument::fromJson(w.fields.toUtf8()).object();
            for (auto it = row.begin(); it != row.end(); ++it) {
                if (it.key().compare(DateColumn, Qt::CaseInsensitive) == 0)
                    continue;
                names << quoteName(it.key());
                marks << QStringLiteral("?");
                values << it.value().toVariant();
            }
            q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) ON CONFLICT (uid) DO NOTHING")
                          .arg(quoteName(w.table), names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
            for (const QVariant &v : std::as_const(values))
                q.addBindValue(v);
            sent = q.exec();
        }
        const QSqlError error = q.lastError();
        if (sent)
            sent = q.exec(QStringLiteral("COMMIT"));
        else
            QSqlQuery(server).exec(QStringLiteral("ROLLBACK"));
        const QString why = sent ? QString() : refusal(error);
        if (!sent && why.isEmpty()) {
            server.close();
            setNotice(notAnswering(settings_));
            return false;
        }
        // On the server now, or refused for what it holds and kept apart with
        // the reason: either way out of the queue, and the results after it go
        // on. Sent twice, a result is still kept once.
        QSqlQuery done(local);
        bool kept = done.exec(QStringLiteral("BEGIN IMMEDIATE"));
        for (qsizetype i = first; kept && i < end; ++i) {
            const Waiting &w = waiting[i];
            if (!why.isEmpty()) {
                QSqlQuery aside(local);
                aside.prepare(QStringLiteral("INSERT OR REPLACE INTO %1 (uid, tabella, campi, motivo, quando) "
                                             "VALUES (?, ?, ?, ?, ?)")
                                  .arg(SetAsideTable));
                for (const QVariant &v : {QVariant(w.uid), QVariant(w.table), QVariant(w.fields), QVariant(why),
                                          QVariant(QDateTime::currentDateTime().toString(Qt::ISODate))})
                    aside.addBindValue(v);
                kept = aside.exec();
            }
            QSqlQuery drop(local);
            drop.prepare(QStringLiteral("DELETE FROM %1 WHERE uid = ?").arg(QueueTable));
            drop.addBindValue(w.uid);
            kept = kept && drop.exec();
        }
        if (!kept || !done.exec(QStringLiteral("COMMIT"))) {
            done.exec(QStringLiteral("ROLLBACK"));
            return false;
        }
        emit changed();
        first = end;
    }
    return true;
}

// ------------------------------------------------------- the window's side

ServerLink::ServerLink(const ServerSettings &s, std::shared_ptr<Connection> local)
    : settings_(s), local_(std::move(local)), sender_(new ResultsSender(s, local_->file()))
{
    static int serial = 0;
    const QString name = QStringLiteral("valdoria-server-%1").arg(++serial);
    QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    server_ = std::make_shared<Connection>(name, settings_.describe(), Dialect::Postgres);
    makeQueueTables(local_->db());
    sender_->start();
}

ServerLink::~ServerLink()
{
    sender_->stop();
    // A sender held up by a frozen server is left to end with the program:
    // what it was sending is still in the queue.
    if (sender_->wait(1500))
        delete sender_;
}

bool ServerLink::needsTeacherPassword() const { return !settings_.isTeacher() && !passwordKnown_; }

bool ServerLink::ensure()
{
    if (up_ && server_->db().isOpen())
        return true;
    up_ = false;
    if (needsTeacherPassword()) {
        notice_ = QStringLiteral("Per vedere i risultati del server %1 serve la password dell'insegnante.")
                      .arg(settings_.describe());
        return false;
    }
    const Result<QString> password = settings_.isTeacher() ? readPassword(settings_) : Result<QString>(password_);
    QSqlDatabase db = server_->db();
    const Status opened = password ? openServer(db, settings_, ServerSettings::TeacherRole, password.value(),
                                                QStringLiteral("SELECT"))
                                   : Status(Error{password.error()});
    if (!opened) {
        notice_ = opened.error();
        return false;
    }
    notice_.clear();
    up_ = true;
    return true;
}

Status ServerLink::setTeacherPassword(const QString &password)
{
    password_ = password;
    passwordKnown_ = true;
    lost();
    if (ensure())
        return {};
    passwordKnown_ = false;
    return Error{notice_};
}

void ServerLink::lost()
{
    up_ = false;
    server_->db().close();
    notice_ = notAnswering(settings_);
}

Status ServerLink::append(const QString &table, const Fields &fields)
{
    QJsonObject row;
    for (const auto &f : fields)
        row.insert(f.first, QJsonValue::fromVariant(f.second));
    // The day of the test, kept here while the result waits.
    if (!row.contains(DateColumn))
        row.insert(DateColumn, QDate::currentDate().toString(Qt::ISODate));
    QSqlQuery q(local_->db());
    q.prepare(QStringLiteral("INSERT INTO %1 (uid, tabella, campi, gruppo) VALUES (?, ?, ?, ?)").arg(QueueTable));
    q.addBindValue(QUuid::createUuid().toString(QUuid::WithoutBraces));
    q.addBindValue(table);
    q.addBindValue(QString::fromUtf8(QJsonDocument(row).toJson(QJsonDocument::Compact)));
    q.addBindValue(group_.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(group_));
    if (!q.exec())
        return failure(QStringLiteral("Il risultato non si può conservare su questo computer (tabella \"%1\").")
                           .arg(table),
                       lastError(q));
    sender_->wake();
    emit sender_->changed();
    return {};
}

void ServerLink::beginGroup() { group_ = QUuid::createUuid().toString(QUuid::WithoutBraces); }

int ServerLink::pending() const
{
    QSqlQuery q(local_->db());
    return q.exec(QStringLiteral("SELECT count(*) FROM %1").arg(QueueTable)) && q.next() ? q.value(0).toInt() : 0;
}

QList<SetAside> ServerLink::setAside() const
{
    QList<SetAside> out;
    QSqlQuery q(local_->db());
    if (!q.exec(QStringLiteral("SELECT tabella, campi, motivo, quando FROM %1 ORDER BY rowid").arg(SetAsideTable)))
        return out;
    while (q.next())
        out.append({q.value(0).toString(),
                    QJsonDocument::fromJson(q.value(1).toString().toUtf8()).object().value(Database::NameColumn).toString(),
                    q.value(2).toString(), q.value(3).toString()});
    return out;
}

} // namespace storage
