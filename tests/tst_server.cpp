// A computer room's results on a real PostgreSQL server: what each of the two
// roles may do, what the windows store reaching it from many PCs at once, a
// frozen server that never holds a pupil, a refused result set aside, trouble
// told plainly while results wait, and the teacher's archives on it.

#include "testsupport.h"

#include "archives/archivewindow.h"
#include "archives/fandamento.h"
#include "assessment/fsommati.h"
#include "common/modvaldoria.h"
#include "common/windows.h"
#include "pgserver.h"
#include "storage/dao.h"
#include "storage/resultsserver.h"
#include "shell/fscelte.h"

#include <QProcess>
#include <QSqlQuery>
#include <QTableWidget>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>

using namespace testing;
using archives::ArchiveWindow;
namespace forms = platform::forms;
namespace M = Modvaldoria;

namespace {

PgServer *server = nullptr;

QStringList childArguments(const storage::ServerSettings &s, int count, const QString &who)
{
    return {"--append-child", s.host, s.database, s.user, s.passwordFile, QString::number(count), who};
}

int serverCount(const QString &table, const QString &where = {})
{
    return server->psql(QString("SELECT count(*) FROM %1 %2").arg(table, where)).toInt();
}

void store(const QString &table, const QString &name, const QString &grade = "BUONO")
{
    auto rs = platform::must(M::db->openRecordset(table));
    rs->addNew();
    rs->setField("cognome e nome", name);
    rs->setField(table == "studsomm" ? "valutazione" : "argomento", grade);
    platform::must(rs->update());
}

// The summative archive from the menu, the teacher's password typed, and the
// box that follows it answered.
ArchiveWindow *openArchive(ModalAnswers &boxes, const QString &password)
{
    boxes.type(password);
    boxes.press("OK");
    click(forms::existing(windows::Fscelte)->findChild<QPushButton *>("CMDarchsomm"));
    return forms::get<ArchiveWindow>(windows::FLIsomm);
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
    }
    void cleanup()
    {
        forms::unloadAll();
        M::reset();
        storage::setResultsServer({});
    }

    void whatEachRoleMayDo_data()
    {
        // What a pupil could type with the room's credentials, and the teacher.
        QTest::addColumn<QString>("role");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("allowed");
        const QString aula = "valdoria_aula", docente = "valdoria_docente";
        QTest::newRow("pupil reads names") << aula << "SELECT \"cognome e nome\" FROM studenti" << false;
        QTest::newRow("pupil reads grades") << aula << "SELECT valutazione FROM studsomm" << false;
        QTest::newRow("pupil raises a grade") << aula << "UPDATE studsomm SET valutazione = 'OTTIMO'" << false;
        QTest::newRow("pupil deletes") << aula << "DELETE FROM studenti" << false;
        QTest::newRow("pupil drops") << aula << "DROP TABLE studsomm" << false;
        QTest::newRow("pupil creates") << aula << "CREATE TABLE copia (x integer)" << false;
        QTest::newRow("pupil backdates") << aula << "INSERT INTO studsomm (uid, \"cognome e nome\", data) "
                                                   "VALUES ('d1', 'Rossi Ugo', DATE '2020-01-01')" << false;
        QTest::newRow("pupil stores") << aula << "INSERT INTO studsomm (uid, \"cognome e nome\", valutazione) "
                                                "VALUES ('s1', 'Rossi Ugo', 'BUONO')" << true;
        QTest::newRow("pupil sees identifiers") << aula << "SELECT count(uid) FROM studenti" << true;
        QTest::newRow("teacher reads") << docente << "SELECT * FROM studsomm" << true;
        QTest::newRow("teacher deletes") << docente << "DELETE FROM studenti" << true;
        QTest::newRow("teacher changes a grade") << docente << "UPDATE studsomm SET valutazione = 'OTTIMO'" << false;
        QTest::newRow("teacher drops") << docente << "DROP TABLE studenti" << false;
    }

    void whatEachRoleMayDo()
    {
        QFETCH(QString, role);
        QFETCH(QString, sql);
        QFETCH(bool, allowed);
        QString error;
        server->psql(sql, "valdoria", role, &error);
        QVERIFY2(error.isEmpty() == allowed, qPrintable(error));
        if (QTest::currentDataTag() == QString("pupil stores"))
            // Stamped by the server: its day, and who stored it.
            QCOMPARE(server->psql("SELECT (data = current_date) || '|' || utente FROM studsomm WHERE uid = 's1'"),
                     "true|valdoria_aula");
    }

    void aTestTakenAtOnePcReachesTheServer()
    {
        WorkFolder folder;
        Trap trap;
        openMenu();
        QVERIFY(M::db->resultsOnServer());
        QSqlQuery(M::db->connection()).exec("DELETE FROM sommativo WHERE rowid > 1");
        ModalAnswers boxes;
        boxes.type("D'Amico Niccolò");
        click(forms::existing(windows::Fscelte)->findChild<QPushButton *>("sommativo"));
        auto *w = forms::get<assessment::FSommati>(windows::FSommati);
        answerRows(w->Text1, w->Check1, w->Check2, "sommativo", "r");
        click(w->cmdAVANTI);
        QTRY_COMPARE_WITH_TIMEOUT(serverCount("studsomm"), 1, 10000);
        QCOMPARE(server->psql("SELECT \"cognome e nome\" || '|' || \"punteggio totale\" || '|' || valutazione FROM studsomm"),
                 "D'Amico Niccolò|100|OTTIMO");
        QTRY_COMPARE(M::db->pendingResults(), 0);
        QCOMPARE(M::db->serverNotice(), QString());
        // Its ten answers with it, and not in the PC's own file.
        QCOMPARE(serverCount("risposte", "WHERE prova = 'sommativo' AND giusta = 1"), 10);
        QSqlQuery local(M::db->connection());
        local.exec("SELECT count(*) FROM studsomm");
        local.next();
        QCOMPARE(local.value(0).toInt(), 0);
        // The teacher's view of the class reads them from the server.
        boxes.type(PgServer::teacherPassword());
        click(openMenu()->CMDandamento);
        QCOMPARE(forms::get<archives::FAndamento>(windows::FAndamento)->tabellaDOMANDE->rowCount(), 10);
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
            QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
            QCOMPARE(QString::fromUtf8(p->readAllStandardOutput()).trimmed(), "stored 200, pending 0");
        }
        QCOMPARE(serverCount("studenti"), 1000);
        QCOMPARE(server->psql("SELECT count(DISTINCT uid) FROM studenti").toInt(), 1000);
        QCOMPARE(server->psql("SELECT count(DISTINCT \"cognome e nome\") FROM studenti").toInt(), 1000);
        qDeleteAll(pcs);
    }

    void aFrozenServerNeverHoldsAPupil()
    {
        WorkFolder folder;
        Trap trap;
        openMenu();
        for (int i = 0; i < 5; ++i)
            store("studenti", QString("Prima %1").arg(i));
        QTRY_COMPARE_WITH_TIMEOUT(serverCount("studenti"), 5, 10000);
        server->freeze(true);
        qint64 slowest = 0;
        QElapsedTimer frozen;
        frozen.start();
        for (int i = 0; frozen.elapsed() < 3000; ++i) {
            QElapsedTimer one;
            one.start();
            store("studenti", QString("Durante %1").arg(i));
            slowest = std::max(slowest, one.elapsed());
            QTest::qWait(100);
        }
        const int held = M::db->pendingResults();
        server->freeze(false);
        QVERIFY(held > 20); // the server was frozen indeed
        QVERIFY2(slowest < 500, qPrintable(QString("a store took %1 ms").arg(slowest)));
        QTRY_COMPARE_WITH_TIMEOUT(M::db->pendingResults(), 0, 30000);
        QCOMPARE(serverCount("studenti"), 5 + held);
        QCOMPARE(server->psql("SELECT count(*) - count(DISTINCT \"cognome e nome\") FROM studenti").toInt(), 0);
    }

    void aRefusedResultIsSetAside()
    {
        WorkFolder folder;
        Trap trap;
        openMenu();
        store("studsomm", "Verdi Anna");
        store("studsomm", "Troppo Lungo", "UN VOTO CHE NON STA NELLA SUA COLONNA");
        store("studsomm", "Bianchi Marco");
        QTRY_COMPARE_WITH_TIMEOUT(M::db->pendingResults(), 0, 10000);
        QCOMPARE(serverCount("studsomm"), 2);
        QCOMPARE(serverCount("studsomm", "WHERE \"cognome e nome\" = 'Bianchi Marco'"), 1);
        const QList<storage::SetAside> refused = M::db->setAsideResults();
        QCOMPARE(refused.size(), 1);
        QCOMPARE(refused.first().name, "Troppo Lungo");
        QVERIFY2(refused.first().reason.contains("22001"), qPrintable(refused.first().reason));
        // The teacher is told, on opening the archive.
        ModalAnswers boxes;
        openArchive(boxes, PgServer::teacherPassword());
        QVERIFY2(boxes.texts.last().contains("Troppo Lungo"), qPrintable(boxes.texts.last()));
    }

    void troubleIsToldAndResultsWait_data()
    {
        QTest::addColumn<QString>("trouble");
        QTest::addColumn<QString>("said");
        QTest::newRow("unreachable") << "host" << "non risponde";
        QTest::newRow("wrong password") << "password" << "la password è sbagliata";
        QTest::newRow("a server prepared without the roles") << "role" << "non ha accettato l'utente \"valdoria\"";
        QTest::newRow("no such database") << "database" << "non c'è il database";
        QTest::newRow("no result tables") << "tables" << "manca la tabella";
        QTest::newRow("password file anyone can read") << "exposed" << "può essere letto da tutti";
    }

    void troubleIsToldAndResultsWait()
    {
        QFETCH(QString, trouble);
        QFETCH(QString, said);
        WorkFolder folder;
        Trap trap;
        storage::ServerSettings s = server->settings();
        if (trouble == "host")
            s.host = folder.path() + "/nessun-server";
        if (trouble == "password" || trouble == "exposed") {
            s.passwordFile = folder.path() + "/password";
            QFile f(s.passwordFile);
            f.open(QIODevice::WriteOnly);
            f.write(trouble == "password" ? "gesso-bianco\n" : "lavagna-verde\n");
            f.close();
            QFile::setPermissions(s.passwordFile, QFile::ReadOwner | QFile::WriteOwner
                                                      | (trouble == "exposed" ? QFile::ReadOther : QFile::ReadGroup));
        }
        if (trouble == "role")
            s.user = "valdoria";
        if (trouble == "database")
            s.database = "nessuno";
        if (trouble == "tables") {
            if (server->psql("SELECT 1 FROM pg_database WHERE datname = 'vuoto'").isEmpty())
                QVERIFY(server->createDatabase("vuoto", false));
            s.database = "vuoto";
        }
        storage::setResultsServer(s);
        auto *menu = openMenu();
        store("studenti", "Verdi Anna");
        // Told in the menu's own line, in Italian, naming the server; the
        // result waits here and the program goes on.
        QTRY_VERIFY_WITH_TIMEOUT(!M::db->serverNotice().isEmpty(), 10000);
        const QString text = M::db->serverNotice();
        QVERIFY2(text.contains(said) && text.contains(s.database) && text.contains("su questo computer"),
                 qPrintable(text));
        for (const char *raw : {"FATAL", "SCRAM", "QPSQL", "connection to server", "psql", "does not exist"})
            QVERIFY2(!text.contains(raw), qPrintable(text));
        QTRY_VERIFY(menu->lblATTESA->isVisible());
        QVERIFY(menu->lblATTESA->text().startsWith("1 risultato in attesa del server"));
        QCOMPARE(M::db->pendingResults(), 1);
        QVERIFY(trap.endings.isEmpty());
        if (trouble != "host")
            return;
        // With the server back at the next start, it arrives, once.
        forms::unloadAll();
        M::reset();
        storage::setResultsServer(server->settings());
        openMenu();
        QTRY_COMPARE_WITH_TIMEOUT(M::db->pendingResults(), 0, 10000);
        QCOMPARE(serverCount("studenti", "WHERE \"cognome e nome\" = 'Verdi Anna'"), 1);
    }

    void theArchivesOnTheServer()
    {
        WorkFolder folder;
        Trap trap;
        server->psql("INSERT INTO studsomm (uid, \"cognome e nome\", valutazione) "
                     "SELECT 'u' || i, CASE WHEN i % 3 = 0 THEN 'Niccolò Bruno' ELSE 'Alunno ' || i END, 'BUONO' "
                     "FROM generate_series(1, 45) AS i");
        openMenu();
        // A wrong teacher's password is said, and asked again at the listing.
        ModalAnswers boxes;
        auto *w = openArchive(boxes, "gesso-bianco");
        QVERIFY2(boxes.texts.last().contains("non ha accettato l'utente \"valdoria_docente\""),
                 qPrintable(boxes.texts.last()));
        boxes.type(PgServer::teacherPassword());
        click(w->cmdtutto);
        QCOMPARE(w->Listsomm[0]->count(), 20);
        QCOMPARE(w->Listsomm[0]->item(0)->text(), "Alunno 1");
        QCOMPARE(w->Listsomm[6]->item(0)->text(), QDate::currentDate().toString("dd/MM/yyyy"));
        for (int screen = 2; screen <= 4; ++screen)
            click(w->Cmdcontinuo);
        // One pupil, typed in capitals: found on the server, accents and all,
        // and deleted after the code, for every PC.
        boxes.type("NICCOLÒ BRUNO");
        click(w->cmdselezione);
        QCOMPARE(w->dacancellare(), 15);
        boxes.type("lanterna");
        click(w->cmdelimina);
        QCOMPARE(serverCount("studsomm"), 30);
        QCOMPARE(serverCount("studsomm", "WHERE \"cognome e nome\" = 'Niccolò Bruno'"), 0);
        // The server away: said, not an empty archive nor "the name is wrong".
        server->stop();
        boxes.press("OK");
        click(w->cmdtutto);
        QVERIFY2(boxes.texts.last().contains("non risponde"), qPrintable(boxes.texts.last()));
        boxes.type("Alunno 1");
        boxes.press("OK");
        click(w->cmdselezione);
        QVERIFY(boxes.texts.last().contains("non risponde"));
        QVERIFY(server->start());
        QVERIFY(trap.endings.isEmpty());
    }
};

// Started by the tests as one PC of the room: stores `count` questionnaire
// results, waits for them to reach the server, and says how it went.
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
    storage::setResultsServer(s);
    platform::setFatalHandler([](const QString &what) {
        std::fprintf(stderr, "%s\n", qPrintable(what));
        std::_Exit(platform::FatalExitStatus);
    });
    auto db = platform::must(storage::Database::open("pervaldoria\\valdoria.mdb"));
    for (int i = 0; i < count; ++i) {
        auto rs = platform::must(db->openRecordset("studenti"));
        rs->addNew();
        rs->setField("cognome e nome", QString("%1 alunno %2").arg(who).arg(i));
        rs->setField("argomento", "IL VENTO.");
        rs->setField("punteggio", i % 11);
        rs->setField("maxpunti", 10);
        platform::must(rs->update());
    }
    for (int tries = 0; tries < 600 && db->pendingResults() > 0; ++tries)
        QThread::msleep(100);
    std::printf("stored %d, pending %d\n", count, db->pendingResults());
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
