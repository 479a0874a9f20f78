// Where an installed program keeps its results: the data folder chosen from the
// command line, the config file or the user's application data folder; the
// course copied there on the first start; and upgrades that bring new
// questions and keep every result, also when they are cut short.

#include "testsupport.h"

#include "storage/coursebank.h"
#include "app/datafolder.h"
#include "storage/dao.h"
#include "storage/datapath.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

#include <csignal>
#include <cstdio>

using namespace testing;

namespace {

// An installed course: the pictures and a course database built from `bank`.
struct Course
{
    QTemporaryDir dir;
    explicit Course(const QString &bank = sourceDir() + "/data/questions") { installCourse(dir.path(), bank); }
};

// A copy of the shipped bank whose domande1 is one set, "SERIE DI PRIMA".
QString olderBank(QTemporaryDir &where)
{
    copyQuestionBank(where.path());
    QFile f(where.filePath("domande1.txt"));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write("set: SERIE DI PRIMA\n");
    for (int i = 0; i < 10; ++i)
        f.write(QString("%1 Affermazione %2 della serie di prima.\n").arg(i % 2 ? "V" : "F").arg(i).toUtf8());
    return where.path();
}

QVariant scalar(const QString &file, const QString &sql) { return sqlOnFile(file, {sql}); }

void addResults(const QString &file, int n)
{
    QStringList sql{"BEGIN"};
    for (int i = 0; i < n; ++i)
        sql << QString("INSERT INTO studenti (\"cognome e nome\", argomento, punteggio, maxpunti) "
                       "VALUES ('Alunno %1', 'X', %2, 10)").arg(i).arg(i % 11)
            << QString("INSERT INTO studsomm (\"cognome e nome\", \"punteggio totale\", valutazione) "
                       "VALUES ('Alunno %1', 80, 'BUONO')").arg(i);
    sqlOnFile(file, sql << "COMMIT");
}

QString firstTitle(const QString &file) { return scalar(file, "SELECT argomento FROM domande1 ORDER BY rowid LIMIT 1").toString(); }

} // namespace

class tst_datafolder : public QObject
{
    Q_OBJECT

    QTemporaryDir home_;

private slots:
    void initTestCase()
    {
        qputenv("HOME", home_.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (home_.path() + "/.config").toUtf8());
        qputenv("XDG_DATA_HOME", (home_.path() + "/.local/share").toUtf8());
        qputenv("XDG_CONFIG_DIRS", (home_.path() + "/etc-xdg").toUtf8());
        QCoreApplication::setApplicationName("Valdoria");
    }
    void init()
    {
        freshProgram();
        QDir(home_.path()).removeRecursively();
        QDir().mkpath(home_.path());
    }
    void cleanup() { storage::setDataFolders({}); }

    void whereTheResultsGo_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("user");   // the folder the user's config file names
        QTest::addColumn<QString>("school"); // the folder the school's config file names
        QTest::addColumn<bool>("portable");  // started where a pervaldoria folder is
        QTest::addColumn<QString>("expected"); // under home; empty: the working folder's pervaldoria
        QTest::newRow("the school's folder") << QStringList{} << "" << "scuola" << false << "scuola";
        QTest::newRow("the user's file wins") << QStringList{} << "mia" << "scuola" << false << "mia";
        QTest::newRow("--data wins") << QStringList{"valdoria", "--data", "HOME/aula 3"} << "" << "scuola" << false << "aula 3";
        QTest::newRow("run from a pervaldoria folder") << QStringList{} << "" << "" << true << "";
        QTest::newRow("a pervaldoria folder, but the school's folder set") << QStringList{} << "" << "scuola" << true << "scuola";
    }

    void whereTheResultsGo()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, user);
        QFETCH(QString, school);
        QFETCH(bool, portable);
        QFETCH(QString, expected);
        for (const auto &[folder, config] : {std::pair{user, "/.config"}, std::pair{school, "/etc-xdg"}}) {
            QDir().mkpath(home_.path() + config + "/valdoria");
            QFile f(home_.path() + config + "/valdoria/valdoria.conf");
            if (!folder.isEmpty() && f.open(QIODevice::WriteOnly))
                f.write(QString("[dati]\ncartella = %1/%2\n").arg(home_.path(), folder).toUtf8());
        }
        arguments.replaceInStrings("HOME", home_.path());
        // (Installed with nothing set, the user's data folder: install.sh starts the
        // installed program for that.)
        WorkFolder cwd(WorkFolder::NoData);
        if (portable)
            QDir().mkpath("pervaldoria");
        QCOMPARE(app::chooseDataPlaces(arguments).writable, expected.isEmpty() ? QString() : home_.path() + "/" + expected);
    }

    void anUnwritableDataFolderIsAClearFault()
    {
        Course course;
        Trap trap;
        QFile(home_.path() + "/occupato").open(QIODevice::WriteOnly);
        app::DataPlaces places{home_.path() + "/occupato/dati", course.dir.path(), {}};
        const QString message = expectFatal([&] { app::prepareDataPlaces(places); });
        QVERIFY2(message.contains("occupato") && message.contains("cartella dei dati"), qPrintable(message));
    }

    void theFirstStartCopiesTheCourseAnUpgradeKeepsEveryResult()
    {
        QTemporaryDir bank;
        Course older(olderBank(bank));
        Course newer;
        Trap trap;
        const QString db = home_.path() + "/dati/valdoria.mdb";
        app::prepareDataPlaces({home_.path() + "/dati", older.dir.path(), {}});
        QCOMPARE(firstTitle(db), "SERIE DI PRIMA");
        // The copy is the file written to; pictures are read from the course.
        QCOMPARE(storage::resolveDataPath("pervaldoria\\valdoria.mdb"), QFileInfo(db).absoluteFilePath());
        QCOMPARE(QFileInfo(storage::resolveDataPath("pervaldoria\\VENTO.jpg")).fileName(), "vento.jpg");
        QCOMPARE(QFileInfo(storage::resolveDataPath("pervaldoria\\vento.jpg")).path(), older.dir.path());
        QCOMPARE(platform::must(storage::Database::open("pervaldoria\\valdoria.mdb"))->path(), QFileInfo(db).absoluteFilePath());
        addResults(db, 250);

        app::prepareDataPlaces({home_.path() + "/dati", newer.dir.path(), {}});
        QCOMPARE(firstTitle(db), bankTitles("domande1").first());
        QCOMPARE(scalar(db, "SELECT count(*) FROM studenti").toInt(), 250);
        QCOMPARE(scalar(db, "SELECT count(*) FROM studsomm").toInt(), 250);
        QCOMPARE(scalar(db, "SELECT \"cognome e nome\" FROM studenti WHERE rowid = 200").toString(), "Alunno 199");
        QCOMPARE(storage::courseVersion(db), storage::courseVersion(newer.dir.filePath("valdoria.mdb")));
        // A dated copy of the file as it was stands beside it.
        const QStringList copies = QDir(home_.path() + "/dati").entryList({"valdoria.mdb.*.bak"});
        QCOMPARE(copies.size(), 1);
        const QString copy = home_.path() + "/dati/" + copies.first();
        QCOMPARE(firstTitle(copy), "SERIE DI PRIMA");
        QCOMPARE(scalar(copy, "SELECT count(*) FROM studenti").toInt(), 250);
        // The same course again: nothing to do, no new copy.
        app::prepareDataPlaces({home_.path() + "/dati", newer.dir.path(), {}});
        QCOMPARE(QDir(home_.path() + "/dati").entryList({"valdoria.mdb.*.bak"}).size(), 1);
    }

    void anUpgradeCutShortLeavesTheOldFileWhole()
    {
        // The upgrade runs in a child that is killed at a random moment: the
        // file still opens with all its results, and holds either the old
        // course or the new one, never a mixture.
        QTemporaryDir bank;
        Course older(olderBank(bank));
        // A large new course, so that its copy takes a while.
        QTemporaryDir bigBank;
        copyQuestionBank(bigBank.path());
        {
            QFile f(bigBank.filePath("domande7.txt"));
            f.open(QIODevice::Append);
            for (int s = 0; s < 20000; ++s) {
                f.write(QString("set: SERIE %1\n").arg(s).toUtf8());
                for (int i = 0; i < 10; ++i)
                    f.write(QString("%1 Affermazione %2 della serie %3, scritta per fare volume.\n")
                                .arg(i % 2 ? "V" : "F").arg(i).arg(s).toUtf8());
            }
        }
        Course newer(bigBank.path());
        // Set VALDORIA_SEED to replay a failed run.
        const quint32 seed = qEnvironmentVariableIsSet("VALDORIA_SEED") ? quint32(qEnvironmentVariableIntValue("VALDORIA_SEED"))
                                                                        : QRandomGenerator::global()->generate();
        qInfo("kill seed %u", seed);
        QRandomGenerator random(seed);
        int cutShort = 0;
        qint64 whole = 0;
        // The first round runs whole, to learn how long one upgrade takes here;
        // the second is killed somewhere in the middle of it.
        for (int round = 0; round < 2; ++round) {
            const QString dir = home_.path() + QString("/dati%1").arg(round);
            Trap trap;
            app::prepareDataPlaces({dir, older.dir.path(), {}});
            storage::setDataFolders({});
            const QString db = dir + "/valdoria.mdb";
            addResults(db, 100);
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {"--upgrade-child", db, newer.dir.filePath("valdoria.mdb")});
            // Timed from when the child is about to upgrade, past its own start.
            QVERIFY(child.waitForReadyRead(20000));
            QElapsedTimer clock;
            clock.start();
            if (round == 0) {
                QVERIFY(child.waitForFinished(60000));
                whole = qMax<qint64>(clock.elapsed(), 4);
            } else {
                QTest::qWait(int(random.bounded(whole / 4, whole * 3 / 4)));
                if (child.state() == QProcess::Running && child.processId() > 0)
                    ::kill(pid_t(child.processId()), SIGKILL);
            }
            if (child.state() != QProcess::NotRunning)
                QVERIFY(child.waitForFinished(10000));
            cutShort += child.exitStatus() == QProcess::CrashExit;
            QCOMPARE(scalar(db, "PRAGMA integrity_check").toString(), "ok");
            QCOMPARE(scalar(db, "SELECT count(*) FROM studenti").toInt(), 100);
            QCOMPARE(scalar(db, "SELECT count(*) FROM studsomm").toInt(), 100);
            const int sets = scalar(db, "SELECT count(*) FROM domande7").toInt();
            const QString title = firstTitle(db);
            const bool old = title == "SERIE DI PRIMA";
            QVERIFY2(old ? sets == 2 : sets == 20002, qPrintable(QString("%1 sets, first title %2").arg(sets).arg(title)));
            // And a later start finishes the job.
            app::prepareDataPlaces({dir, newer.dir.path(), {}});
            QCOMPARE(scalar(db, "SELECT count(*) FROM domande7").toInt(), 20002);
            QCOMPARE(scalar(db, "SELECT count(*) FROM studenti").toInt(), 100);
            storage::setDataFolders({});
        }
        QVERIFY2(cutShort > 0, "no upgrade was cut short");
    }
};

// Started by anUpgradeCutShortLeavesTheOldFileWhole: one upgrade, to be killed.
static int upgradeChild(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::printf("ready\n");
    std::fflush(stdout);
    const auto refreshed = storage::refreshCourse(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    std::printf("%s\n", refreshed ? "done" : qPrintable(refreshed.error()));
    return refreshed ? 0 : 1;
}

TEST_MAIN_WITH_CHILD(tst_datafolder, "--upgrade-child", upgradeChild)

#include "tst_datafolder.moc"
