#pragma once
// The server that keeps the results of a computer room (PostgreSQL), and the
// queue of results waiting for it on this computer.
//
// A pupil never waits for the server: a result is written to the queue in the
// local file (on disk when the append returns) and a sender thread of its own
// delivers the queue to the server in order, retrying with a growing delay
// while the server does not answer. Each result carries an identifier and the
// server keeps only the first copy of it, so a result sent twice is kept once.
// A result the server refuses for what it holds (a value, a rule, a right) is
// set aside here with the reason, and the others go on.
//
// The room's PCs store with a role that may only add results; the teacher
// reads and deletes with a role of its own, whose password is asked for.

#include <QList>
#include <QMutex>
#include <QPair>
#include <QSqlDatabase>
#include <QString>
#include <QThread>
#include <QVariant>
#include <QWaitCondition>

#include <memory>

#include "result.h"

namespace storage {

class Connection;

struct ServerSettings
{
    QString host; // a name, an address, or the folder of the server's socket
    int port = 5432;
    QString database;
    QString user;
    QString passwordFile; // empty: no password (the socket's own authentication)
    QString ssl;          // empty (the client's default), "richiesto" or "verificato"
    QString certificate;  // the root certificate that "verificato" checks the server against

    bool isSet() const { return !database.isEmpty(); }
    // How the server is named to the user: "valdoria su aula-server:5432".
    QString describe() const;
    // The role that reads and deletes results: the teacher's.
    static inline const QString TeacherRole = QStringLiteral("valdoria_docente");
    bool isTeacher() const { return user == TeacherRole; }
};

// The server the program keeps its results on; not set: the local file.
void setResultsServer(const ServerSettings &settings);
const ServerSettings &resultsServer();

// Stops sending results, for a program about to end on a fault.
void stopBackgroundWork();

using Fields = QList<QPair<QString, QVariant>>;

// A result the server refused, kept here with the reason.
struct SetAside
{
    QString table, name, reason, when;
};

// Delivers the queue of a local file to the server, on a thread of its own.
class ResultsSender : public QThread
{
    Q_OBJECT
public:
    ResultsSender(const ServerSettings &settings, const QString &localFile);
    ~ResultsSender() override;

    // Results wait: send them now.
    void wake();
    // Stops after the statement under way (and for good).
    void stop();
    // What the user should know about the server, in Italian; empty when all is well.
    QString notice() const;

signals:
    // The notice changed, or results were sent or set aside.
    void changed();

protected:
    void run() override;

private:
    bool sendAll(QSqlDatabase &local, QSqlDatabase &server);
    void setNotice(const QString &notice);

    ServerSettings settings_;
    QString localFile_;
    mutable QMutex mutex_;
    QWaitCondition woken_;
    bool wakeUp_ = false;
    bool stopping_ = false;
    QString notice_;
};

// The window thread's side of the server: the queue in the local file, and
// the teacher's connection that reads and deletes results.
class ServerLink
{
public:
    ServerLink(const ServerSettings &settings, std::shared_ptr<Connection> local);
    ~ServerLink();

    // The teacher's connection, opened when not open (the teacher's password
    // must be known). True when the server is there.
    bool ensure();
    std::shared_ptr<Connection> server() const { return server_; }
    // What the user should know about reading from the server; empty when all is well.
    QString notice() const { return notice_; }
    // A statement failed: the connection is dropped until the next ensure().
    void lost();
    bool needsTeacherPassword() const;
    Status setTeacherPassword(const QString &password);

    // Appends a result to the queue here and wakes the sender. The result is
    // safe when this returns ok.
    Status append(const QString &table, const Fields &fields);
    // Results appended between the two are sent to the server together.
    void beginGroup();
    void endGroup() { group_.clear(); }
    int pending() const;
    QList<SetAside> setAside() const;
    ResultsSender *sender() const { return sender_; }

private:
    ServerSettings settings_;
    std::shared_ptr<Connection> local_;
    std::shared_ptr<Connection> server_;
    QString password_;
    bool passwordKnown_ = false;
    bool up_ = false;
    QString notice_;
    QString group_;
    ResultsSender *sender_;
};

} // namespace storage
