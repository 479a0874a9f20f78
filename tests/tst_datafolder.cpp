// Where an installed program keeps its results: the data folder chosen from the
// command line, the config file or the user's application data folder; the
// course copied there on the first start; and upgrades that bring new
// questions and keep every result, also when they are cut short.

#include "testsupport.h"

#include "storage/coursebank.h"
#include "app/datafolder.h"
#include "storage/dao.h"
#include "storage/datapath.h"
#include "app/startup.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QStandardPaths>

#include <csignal>
#include <cstdio>

using namespace testing;

namespace {

// An installed course: the pictures and a course database built from `bank`.
struct Course
{
    QTemporaryDir dir;
    explicit Course(const QString &bank = sourceDir() + "/data/questions")
    {
        const QDir staged(stagedDataDir());
        for (const QString &f : staged.entryList({"*.jpg"}, QDir::Files))
            QFile::link(staged.filePath(f), dir.filePath(f));
        const storage::Status installed =
            storage::installCourseDatabase(dir.filePath("valdoria.mdb"), sourceDir() + "/data/schema.sql", bank);
        if (!installed)
            qFatal("cannot build the course: %s", qPrintable(installed.error()));
    }
    QString path() const { return dir.path(); }
    QString database() const { return dir.filePath("valdoria.mdb"); }
};

// A copy of the shipped bank with the first set of domande1 retitled.
QString olderBank(QTemporaryDir &where, const QString &title)
{
    for (const QString &f : QDir(sourceDir() + "/data/questions").entryList({"*.txt"}))
        QFile::copy(sourceDir() + "/data/questions/" + f, where.filePath(f));
    QFile f(where.filePath("domande1.txt"));
    f.open(QIODevice::ReadOnly);
    QString text = QString::fromUtf8(f.readAll());
    f.close();
    const int start = int(text.indexOf("set: "));
    const int end = int(text.indexOf('\n', start));
    text.replace(start, end - start, "set: " + title);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text.toUtf8());
    return where.path();
}

QVariant scalar(const QString &file, const QString &sql)
{
    QVariant v;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "scalar");
        db.setDatabaseName(file);
        db.open();
        QSqlQuery q(db);
        if (q.exec(sql) && q.next())
            v = q.value(0);
    }
    QSqlDatabase::removeDatabase("scalar");
    return v;
}

void addResults(const QString &file, int n)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "results");
        db.setDatabaseName(file);
        db.open();
        QSqlQuery q(db);
        q.exec("BEGIN");
        for (int i = 0; i < n; ++i) {
            q.prepare("INSERT INTO studenti (\"cognome e nome\", argomento, punteggio, maxpunti) VALUES (?, 'X', ?, 10)");
            q.addBindValue(QString("Alunno %1").arg(i));
            q.addBindValue(i % 11);
            q.exec();
            q.prepare("INSERT INTO studsomm (\"cognome e nome\", \"punteggio totale\", valutazione) VALUES (?, ?, 'BUONO')");
            q.addBindValue(QString("Alunno %1").arg(i));
            q.addBindValue(80);
            q.exec();
        }
        q.exec("COMMIT");
    }
    QSqlDatabase::removeDatabase("results");
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
        QTest::addColumn<QString>("userConfig");
        QTest::addColumn<QString>("systemConfig");
        QTest::addColumn<bool>("portable");
        QTest::addColumn<QString>("expected"); // under home; empty: the working folder's pervaldoria
        QTest::newRow("the school's folder") << QStringList{} << "" << "[dati]\ncartella = HOME/scuola\n" << false << "scuola";
        QTest::newRow("the user's file wins") << QStringList{} << "[dati]\ncartella=HOME/mia\n"
                                             << "[dati]\ncartella=HOME/scuola\n" << false << "mia";
        QTest::newRow("--data wins") << QStringList{"valdoria", "--data", "HOME/aula 3"} << ""
                                     << "[dati]\ncartella=HOME/scuola\n" << false << "aula 3";
        QTest::newRow("run from a pervaldoria folder") << QStringList{} << "" << "" << true << "";
        QTest::newRow("a pervaldoria folder, but the school's folder set")
            << QStringList{} << "" << "[dati]\ncartella=HOME/scuola\n" << true << "scuola";
    }

    void whereTheResultsGo()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, userConfig);
        QFETCH(QString, systemConfig);
        QFETCH(bool, portable);
        QFETCH(QString, expected);
        auto write = [this](const QString &file, QString text) {
            QDir().mkpath(QFileInfo(file).path());
            QFile f(file);
            f.open(QIODevice::WriteOnly);
            f.write(text.replace("HOME", home_.path()).toUtf8());
        };
        if (!userConfig.isEmpty())
            write(home_.path() + "/.config/valdoria/valdoria.conf", userConfig);
        if (!systemConfig.isEmpty())
            write(home_.path() + "/etc-xdg/valdoria/valdoria.conf", systemConfig);
        for (QString &a : arguments)
            a.replace("HOME", home_.path());
        QTemporaryDir cwd;
        if (portable)
            QDir(cwd.path()).mkpath("pervaldoria");
        const QString before = QDir::currentPath();
        QDir::setCurrent(cwd.path());
        // (Installed with nothing set, the user's data folder: install.sh starts the
        // installed program for that.)
        const app::DataPlaces places = app::chooseDataPlaces(arguments);
        QDir::setCurrent(before);
        QCOMPARE(places.writable, expected.isEmpty() ? QString() : home_.path() + "/" + expected);
    }

    void theFirstStartCopiesTheCourse()
    {
        Course course;
        Trap trap;
        app::DataPlaces places{home_.path() + "/dati", course.path(), {}};
        app::prepareDataPlaces(places);
        const QString db = home_.path() + "/dati/valdoria.mdb";
        QVERIFY(QFile::exists(db));
        QCOMPARE(storage::resolveDataPath("pervaldoria\\valdoria.mdb"), QFileInfo(db).absoluteFilePath());
        QCOMPARE(QFileInfo(storage::resolveDataPath("pervaldoria\\VENTO.jpg")).fileName(), "vento.jpg");
        QCOMPARE(QFileInfo(storage::resolveDataPath("pervaldoria\\vento.jpg")).path(), course.path());
        auto opened = platform::must(storage::Database::open("pervaldoria\\valdoria.mdb"));
        QCOMPARE(opened->path(), QFileInfo(db).absoluteFilePath());
        // The course's own file is never the one written to.
        QVERIFY(opened->path() != course.database());
    }

    void anUnwritableDataFolderIsAClearFault()
    {
        Course course;
        Trap trap;
        QFile blocker(home_.path() + "/occupato");
        blocker.open(QIODevice::WriteOnly);
        blocker.close();
        app::DataPlaces places{home_.path() + "/occupato/dati", course.path(), {}};
        const QString message = expectFatal([&] { app::prepareDataPlaces(places); });
        QVERIFY2(message.contains("occupato") && message.contains("cartella dei dati"), qPrintable(message));
    }

    void anUpgradeBringsNewQuestionsAndKeepsEveryResult()
    {
        QTemporaryDir bank;
        Course older(olderBank(bank, "SERIE DI PRIMA"));
        Course newer;
        Trap trap;
        const QString db = home_.path() + "/dati/valdoria.mdb";
        app::prepareDataPlaces({home_.path() + "/dati", older.path(), {}});
        QCOMPARE(firstTitle(db), "SERIE DI PRIMA");
        addResults(db, 250);

        app::prepareDataPlaces({home_.path() + "/dati", newer.path(), {}});
        QCOMPARE(firstTitle(db), bankTitles("domande1").first());
        QCOMPARE(scalar(db, "SELECT count(*) FROM studenti").toInt(), 250);
        QCOMPARE(scalar(db, "SELECT count(*) FROM studsomm").toInt(), 250);
        QCOMPARE(scalar(db, "SELECT \"cognome e nome\" FROM studenti WHERE rowid = 200").toString(), "Alunno 199");
        QCOMPARE(storage::courseVersion(db), storage::courseVersion(newer.database()));
        // A dated copy of the file as it was stands beside it.
        const QStringList copies = QDir(home_.path() + "/dati").entryList({"valdoria.mdb.*.bak"});
        QCOMPARE(copies.size(), 1);
        const QString copy = home_.path() + "/dati/" + copies.first();
        QCOMPARE(firstTitle(copy), "SERIE DI PRIMA");
        QCOMPARE(scalar(copy, "SELECT count(*) FROM studenti").toInt(), 250);
        // The same course again: nothing to do, no new copy.
        app::prepareDataPlaces({home_.path() + "/dati", newer.path(), {}});
        QCOMPARE(QDir(home_.path() + "/dati").entryList({"valdoria.mdb.*.bak"}).size(), 1);
    }

    void anUpgradeCutShortLeavesTheOldFileWhole()
    {
        // The upgrade runs in a child that is killed at a random moment: the
        // file still opens with all its results, and holds either the old
        // course or the new one, never a mixture.
        QTemporaryDir bank;
        Course older(olderBank(bank, "SERIE DI PRIMA"));
        // A large new course, so that its copy takes a while.
        QTemporaryDir bigBank;
        for (const QString &f : QDir(sourceDir() + "/data/questions").entryList({"*.txt"}))
            QFile::copy(sourceDir() + "/data/questions/" + f, bigBank.filePath(f));
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
        int cutShort = 0;
        qint64 whole = 0;
        for (int round = 0; round < 6; ++round) {
            const QString dir = home_.path() + QString("/dati%1").arg(round);
            {
                Trap trap;
                app::prepareDataPlaces({dir, older.path(), {}});
            }
            storage::setDataFolders({});
            const QString db = dir + "/valdoria.mdb";
            addResults(db, 100);
            QProcess child;
            QElapsedTimer clock;
            clock.start();
            child.start(QCoreApplication::applicationFilePath(), {"--upgrade-child", db, newer.database()});
            QVERIFY(child.waitForStarted());
            if (round == 0) {
                // The first upgrade runs whole, to learn how long one takes here.
                QVERIFY(child.waitForFinished(60000));
                whole = qMax<qint64>(clock.elapsed(), 4);
            } else {
                QTest::qWait(int(QRandomGenerator::global()->bounded(whole / 4, whole * 3 / 4)));
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
            Trap trap;
            app::prepareDataPlaces({dir, newer.path(), {}});
            QCOMPARE(scalar(db, "SELECT count(*) FROM domande7").toInt(), 20002);
            QCOMPARE(scalar(db, "SELECT count(*) FROM studenti").toInt(), 100);
            storage::setDataFolders({});
        }
        QVERIFY2(cutShort > 0, "no upgrade was cut short");
    }

    void qtSpeaksItalian()
    {
        WorkFolder folder;
        Trap trap;
        app::startUp({});
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Annulla");
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Save"), "Salva");
        QCOMPARE(QCoreApplication::translate("QFileDialog", "File &name:"), "&Nome del file:");
    }
};

// Started by anUpgradeCutShortLeavesTheOldFileWhole: one upgrade, to be killed.
static int upgradeChild(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const auto refreshed = storage::refreshCourse(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    std::printf("%s\n", refreshed ? "done" : qPrintable(refreshed.error()));
    return refreshed ? 0 : 1;
}

int main(int argc, char **argv)
{
    if (argc == 4 && qstrcmp(argv[1], "--upgrade-child") == 0)
        return upgradeChild(argc, argv);
    QApplication app(argc, argv);
    tst_datafolder t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_datafolder.moc"
