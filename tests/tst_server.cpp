// A computer room's results on a real PostgreSQL server: what the windows store
// reaches it, many PCs store at once, a server that goes away and comes back
// loses and doubles nothing, a server that is not there or refuses the user is
// told plainly, and the archives list, select, delete, print and export the
// room's results from it.

#include "testsupport.h"

#include "archives/archivewindow.h"
#include "assessment/fsommati.h"
#include "common/modvaldoria.h"
#include "common/windows.h"
#include "pgserver.h"
#include "storage/dao.h"
#include "platform/printer.h"
#include "storage/resultsserver.h"
#include "shell/fscelte.h"

#include <QProcess>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QThread>

#include <cstdio>

using namespace testing;
using archives::ArchiveWindow;
namespace forms = platform::forms;
namespace M = Modvaldoria;

namespace {

PgServer *server = nullptr;

QStringList childArguments(const storage::ServerSettings &s, int count, const QString &who, int pauseMs = 0)
{
    return {"--append-child", s.host, s.database, s.user, s.passwordFile, QString::number(count), who,
            QString::number(pauseMs)};
}

int serverCount(const QString &table, const QString &where = {})
{
    return server->psql(QString("SELECT count(*) FROM %1 %2").arg(table, where)).toInt();
}

// The program started while the server does not answer; its message taken.
void startWithTheServerAway(const WorkFolder &folder)
{
    storage::ServerSettings away = server->settings();
    away.host = folder.path() + "/nessun-server";
    storage::setResultsServer(away);
    ModalAnswers boxes;
    boxes.press("OK");
    openMenu();
}

} // namespace

class tst_server : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        server = new PgServer;
        if (!server->problem().isEmpty())
            QSKIP(qPrintable(server->problem()));
    }
    void cleanupTestCase()
    {
        delete server;
        server = nullptr;
    }
    void init()
    {
        freshProgram();
        server->psql("DELETE FROM studenti; DELETE FROM studsomm");
        storage::setResultsServer(server->settings());
        platform::PrintJob::setOutputFile({}, true);
    }
    void cleanup()
    {
        forms::unloadAll();
        M::reset();
        storage::setResultsServer({});
        platform::PrintJob::setOutputFile({});
    }

    void aTestTakenAtOnePcReachesTheServer()
    {
        WorkFolder folder;
        Trap trap;
        openMenu();
        QVERIFY(M::db->resultsOnServer());
        QCOMPARE(M::db->serverNotice(), QString());
        QSqlQuery(M::db->connection()).exec("DELETE FROM sommativo WHERE rowid > 1");
        ModalAnswers boxes;
        boxes.type("D'Amico Niccolò");
        click(forms::existing(windows::Fscelte)->findChild<QPushButton *>("sommativo"));
        auto *w = forms::get<assessment::FSommati>(windows::FSommati);
        answerRows(w->Text1, w->Check1, w->Check2, "sommativo", "r");
        click(w->cmdAVANTI);
        QCOMPARE(server->psql("SELECT \"cognome e nome\" || '|' || \"punteggio totale\" || '|' || valutazione || '|' "
                              "|| (data = current_date) FROM studsomm"),
                 "D'Amico Niccolò|100|OTTIMO|true");
        // Not in the PC's own file.
        QSqlQuery local(M::db->connection());
        local.exec("SELECT count(*) FROM studsomm");
        local.next();
        QCOMPARE(local.value(0).toInt(), 0);
    }

    void fivePcsAtOnce()
    {
        WorkFolder folder;
        QList<QProcess *> pcs;
        for (int i = 0; i < 5; ++i) {
            auto *p = new QProcess(this);
            p->setWorkingDirectory(folder.path());
            p->start(QCoreApplication::applicationFilePath(), childArguments(server->settings(), 200, QString("PC%1").arg(i)));
            pcs << p;
        }
        for (QProcess *p : pcs) {
            if (p->state() != QProcess::NotRunning)
                QVERIFY(p->waitForFinished(90000));
            QCOMPARE(p->exitCode(), 0);
            QCOMPARE(int(p->readAllStandardOutput().count("stored")), 200);
        }
        QCOMPARE(serverCount("studenti"), 1000);
        QCOMPARE(server->psql("SELECT count(DISTINCT uid) FROM studenti").toInt(), 1000);
        QCOMPARE(server->psql("SELECT count(DISTINCT \"cognome e nome\") FROM studenti").toInt(), 1000);
        qDeleteAll(pcs);
    }

    void aServerThatGoesAwayAndComesBack()
    {
        // The server stops while a PC stores results, and starts again: every
        // result acknowledged reaches it, once.
        WorkFolder folder;
        QProcess pc;
        pc.setWorkingDirectory(folder.path());
        pc.start(QCoreApplication::applicationFilePath(), childArguments(server->settings(), 150, "PC", 10));
        QVERIFY(pc.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(serverCount("studenti") > 10, 20000);
        QVERIFY(server->stop());
        QTest::qWait(400);
        QVERIFY(server->start());
        if (pc.state() != QProcess::NotRunning)
            QVERIFY(pc.waitForFinished(90000));
        QVERIFY2(pc.exitCode() == 0, pc.readAllStandardError().constData());
        const QString said = QString::fromUtf8(pc.readAllStandardOutput());
        QCOMPARE(int(said.count("stored")), 150);
        QVERIFY2(said.contains("queued"), "no result had to wait for the server");
        QVERIFY(said.contains("pending 0"));
        QCOMPARE(serverCount("studenti"), 150);
        QCOMPARE(server->psql("SELECT count(DISTINCT \"cognome e nome\") FROM studenti").toInt(), 150);
        // Kept with the day it was stored, not the day it was sent.
        QCOMPARE(serverCount("studenti", "WHERE data = current_date"), 150);
    }

    void notThereAtStartUp_data()
    {
        QTest::addColumn<QString>("trouble");
        QTest::addColumn<QString>("said");
        QTest::newRow("unreachable") << "host" << "non risponde";
        QTest::newRow("wrong password") << "password" << "la password è sbagliata";
        QTest::newRow("no such database") << "database" << "non c'è il database";
        QTest::newRow("no result tables") << "tables" << "manca la tabella";
        QTest::newRow("password file others can read") << "exposed" << "può essere letto da altri utenti";
    }

    void notThereAtStartUp()
    {
        QFETCH(QString, trouble);
        QFETCH(QString, said);
        WorkFolder folder;
        Trap trap;
        storage::ServerSettings s = server->settings();
        if (trouble == "host")
            s.host = folder.path() + "/nessun-server";
        if (trouble == "password") {
            s.passwordFile = folder.path() + "/sbagliata";
            QFile f(s.passwordFile);
            f.open(QIODevice::WriteOnly);
            f.write("gesso-bianco\n");
            f.close();
            QFile::setPermissions(s.passwordFile, QFile::ReadOwner | QFile::WriteOwner);
        }
        if (trouble == "database")
            s.database = "nessuno";
        if (trouble == "tables") {
            if (server->psql("SELECT 1 FROM pg_database WHERE datname = 'vuoto'").isEmpty())
                QVERIFY(server->createDatabase("vuoto", false));
            s.database = "vuoto";
        }
        if (trouble == "exposed") {
            s.passwordFile = folder.path() + "/esposta";
            QFile::copy(server->passwordFile(), s.passwordFile);
            QFile::setPermissions(s.passwordFile, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        }
        storage::setResultsServer(s);
        ModalAnswers boxes;
        boxes.press("OK");
        openMenu();
        QCOMPARE(boxes.texts.size(), 1);
        const QString text = boxes.texts.first();
        QVERIFY2(text.contains(said), qPrintable(text));
        QVERIFY2(text.contains(s.database), qPrintable(text));
        QVERIFY2(text.contains("su questo computer"), qPrintable(text));
        for (const char *raw : {"FATAL", "SCRAM", "QPSQL", "connection to server", "psql"})
            QVERIFY2(!text.contains(raw), qPrintable(text));
        // A result stored now waits here, and the program goes on.
        auto rs = platform::must(M::db->openRecordset("studenti"));
        QVERIFY(!rs->notice().isEmpty());
        rs->addNew();
        rs->setField("cognome e nome", "Verdi Anna");
        rs->setField("punteggio", 7);
        platform::must(rs->update());
        QCOMPARE(M::db->pendingResults(), 1);
        QVERIFY(trap.endings.isEmpty());
    }

    void theArchivesWorkOnTheServer()
    {
        WorkFolder folder;
        Trap trap;
        server->psql("INSERT INTO studenti (uid, \"cognome e nome\", argomento, punteggio, maxpunti, data) "
                     "SELECT 'u' || i, CASE WHEN i % 3 = 0 THEN 'Niccolò Bruno' WHEN i % 3 = 1 THEN 'D''Amico Luca' "
                     "ELSE 'Alunno ' || i END, 'ARIA E CALORE - 1', i % 11, 10, DATE '2026-11-30' "
                     "FROM generate_series(1, 45) AS i");
        openMenu();
        click(forms::existing(windows::Fscelte)->findChild<QPushButton *>("CMDarchquest"));
        auto *w = forms::get<ArchiveWindow>(windows::frmRISUL);
        click(w->cmdtutto);
        QCOMPARE(w->Listsomm[0]->count(), 20);
        QCOMPARE(w->Listsomm[0]->item(0)->text(), "D'Amico Luca");
        QCOMPARE(w->Listsomm[4]->item(0)->text(), "30/11/2026");
        click(w->Cmdcontinuo);
        click(w->Cmdcontinuo);
        QCOMPARE(w->Listsomm[0]->item(4)->text(), "Niccolò Bruno"); // row 45
        click(w->Cmdcontinuo);
        // One pupil, typed in capitals: found on the server, accents and all.
        ModalAnswers boxes;
        boxes.type("NICCOLÒ BRUNO");
        click(w->cmdselezione);
        QCOMPARE(w->dacancellare(), 15);
        // Deleted after the code: gone from the server, for every PC.
        boxes.type("lanterna");
        click(w->cmdelimina);
        QCOMPARE(serverCount("studenti"), 30);
        QCOMPARE(serverCount("studenti", "WHERE \"cognome e nome\" = 'Niccolò Bruno'"), 0);
    }

    void theArchivesWithTheServerAway()
    {
        WorkFolder folder;
        Trap trap;
        startWithTheServerAway(folder);
        ModalAnswers boxes;
        auto *w = forms::get<ArchiveWindow>(windows::FLIsomm);
        w->show();
        boxes.press("OK");
        click(w->cmdtutto);
        QVERIFY2(boxes.texts.last().contains("non risponde"), qPrintable(boxes.texts.last()));
        QCOMPARE(w->Listsomm[0]->item(0)->text(), QString());
        boxes.type("Verdi Anna");
        boxes.press("OK");
        click(w->cmdselezione);
        QVERIFY(boxes.texts.last().contains("non risponde")); // not "the name is wrong"
        QVERIFY(trap.endings.isEmpty());
    }

    void aPendingResultIsSentOnceTheServerAnswers()
    {
        // Stored while the server was away, sent at the next start with it
        // there, and only once.
        WorkFolder folder;
        Trap trap;
        startWithTheServerAway(folder);
        for (int i = 0; i < 3; ++i) {
            auto rs = platform::must(M::db->openRecordset("studsomm"));
            rs->addNew();
            rs->setField("cognome e nome", QString("Attesa %1").arg(i));
            rs->setField("punteggio totale", 60);
            platform::must(rs->update());
        }
        QCOMPARE(M::db->pendingResults(), 3);
        forms::unloadAll();
        M::reset();
        storage::setResultsServer(server->settings());
        openMenu();
        QCOMPARE(M::db->pendingResults(), 0);
        QCOMPARE(serverCount("studsomm", "WHERE \"cognome e nome\" LIKE 'Attesa %'"), 3);
        QVERIFY(M::db->sendPendingResults());
        QCOMPARE(serverCount("studsomm"), 3);
    }
};

// Started by the tests as one PC of the room: stores `count` questionnaire
// results, saying "stored" after each (and "queued" when the server was away),
// then sends what waits and says how many are left.
static int appendChild(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    storage::ServerSettings s;
    s.host = QString::fromLocal8Bit(argv[2]);
    s.database = QString::fromLocal8Bit(argv[3]);
    s.user = QString::fromLocal8Bit(argv[4]);
    s.passwordFile = QString::fromLocal8Bit(argv[5]);
    const int count = QString::fromLatin1(argv[6]).toInt();
    const QString who = QString::fromLocal8Bit(argv[7]);
    const int pause = argc > 8 ? QString::fromLatin1(argv[8]).toInt() : 0;
    storage::setResultsServer(s);
    platform::setFatalHandler([](const QString &what) {
        std::fprintf(stderr, "%s\n", qPrintable(what));
        std::_Exit(platform::FatalExitStatus);
    });
    auto db = platform::must(storage::Database::open("pervaldoria\\valdoria.mdb"));
    for (int i = 0; i < count; ++i) {
        const int before = db->pendingResults();
        auto rs = platform::must(db->openRecordset("studenti"));
        rs->addNew();
        rs->setField("cognome e nome", QString("%1 alunno %2").arg(who).arg(i));
        rs->setField("argomento", "IL VENTO.");
        rs->setField("punteggio", i % 11);
        rs->setField("maxpunti", 10);
        platform::must(rs->update());
        std::printf("stored %d%s\n", i, db->pendingResults() > before ? " queued" : "");
        std::fflush(stdout);
        if (pause)
            QThread::msleep(pause);
    }
    for (int tries = 0; tries < 100 && !db->sendPendingResults(); ++tries)
        QThread::msleep(200);
    std::printf("pending %d\n", db->pendingResults());
    return 0;
}

int main(int argc, char **argv)
{
    if (argc >= 8 && qstrcmp(argv[1], "--append-child") == 0)
        return appendChild(argc, argv);
    QApplication app(argc, argv);
    tst_server t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_server.moc"
