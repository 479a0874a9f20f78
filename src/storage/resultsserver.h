#pragma once
// The server that keeps the results of a computer room (PostgreSQL), and the
// queue of results waiting for it on this computer.
//
// A result is stored on the server once, whatever happens: each one carries an
// identifier of its own, and the server keeps only the first copy of it. When
// the server cannot be reached (at start-up, or lost while a result is being
// stored), the result goes to the queue in the local file, on disk before the
// append returns, and is sent later, when the server answers again.

#include <QElapsedTimer>
#include <QPair>
#include <QString>
#include <QTimer>
#include <QVariant>

#include <memory>

#include "result.h"

class QSqlError;

namespace storage {

class Connection;

struct ServerSettings
{
    QString host; // a name, an address, or the folder of the server's socket
    int port = 5432;
    QString database;
    QString user;
    QString passwordFile; // empty: no password (the socket's own authentication)

    bool isSet() const { return !database.isEmpty(); }
    // How the server is named to the user: "valdoria su aula-server:5432".
    QString describe() const;
};

// The server the program keeps its results on; not set: the local file.
void setResultsServer(const ServerSettings &settings);
const ServerSettings &resultsServer();

// Stops every timer of the storage layer (the server's retries), for a program
// about to end on a fault.
void stopBackgroundWork();

using Fields = QList<QPair<QString, QVariant>>;

class ServerLink
{
public:
    ServerLink(const ServerSettings &settings, std::shared_ptr<Connection> local);
    ~ServerLink();

    // Connects when not connected: at once when `now`, otherwise not more than
    // once every retry interval after a failure. Sends the queue on connecting.
    // True when the server is there.
    bool ensure(bool now = false);
    std::shared_ptr<Connection> server() const { return server_; }
    // What the user should know about the server, in Italian; empty when all is well.
    QString notice() const { return notice_; }
    // A statement failed: the server is taken as lost until it answers again.
    void lost();

    // Appends a result to `table`: on the server (its id), or to the queue
    // here (-1). Either way the result is safe when this returns ok.
    Result<qint64> append(const QString &table, const Fields &fields);
    // Sends the queued results; true when none is left.
    bool flush();
    int pending() const;

private:
    bool connectNow();
    // The notice while the server does not answer.
    QString notAnswering() const;
    bool insertOnServer(const QString &table, const Fields &fields, const QString &uid, qint64 *id);
    Status enqueue(const QString &table, const Fields &fields, const QString &uid);

    ServerSettings settings_;
    std::shared_ptr<Connection> local_;
    std::shared_ptr<Connection> server_;
    bool up_ = false;
    QString notice_;
    QElapsedTimer sinceFailure_;
    QTimer retry_;
};

} // namespace storage
