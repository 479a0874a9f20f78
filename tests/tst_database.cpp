// The recordset layer and the course database on real SQLite files: order,
// end of table, counts, appends that fill "data", the pupil selection, files
// that are not the archive, and the question files' faults.

#include "testsupport.h"

#include "assessment/coursebank.h"
#include "platform/dao.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QProcess>
#include <QSqlQuery>

#include <cstdio>

#include <unistd.h>

using namespace testing;
using platform::Database;

namespace {

void addResult(Database &db, const QString &name, const QString &topic, int score)
{
    auto rs = db.openRecordset("studenti");
    rs->addNew();
    rs->setField("punteggio", score);
    rs->setField("cognome e nome", name);
    rs->setField("argomento", topic);
    rs->setField("maxpunti", 10);
    rs->update();
}

QStringList names(platform::Recordset &rs)
{
    QStringList out;
    if (rs.recordCount() == 0)
        return out;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        out << rs.field("cognome e nome").toString();
    return out;
}

int countRows(const QString &file, const QString &table)
{
    const QString c = "count-" + table;
    int n = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", c);
        db.setDatabaseName(file);
        db.open();
        QSqlQuery q(db);
        if (q.exec("SELECT count(*) FROM " + table) && q.next())
            n = q.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(c);
    return n;
}

QByteArray fileBytes(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class tst_database : public QObject
{
    Q_OBJECT
private slots:
    void init() { freshProgram(); }

    void tableInItsOwnOrder()
    {
        WorkFolder folder;
        Trap trap;
        auto db = Database::open("pervaldoria\\valdoria.mdb");
        for (const QString &n : {"Verdi Anna", "Bianchi Marco", "Azzurri Sara"})
            addResult(*db, n, "IL VENTO.", 7);
        auto rs = db->openRecordset("studenti");
        QCOMPARE(names(*rs), (QStringList{"Verdi Anna", "Bianchi Marco", "Azzurri Sara"}));
        QVERIFY(rs->eof());
        rs->moveFirst();
        rs->moveLast();
        QCOMPARE(rs->recordCount(), 3);
        QCOMPARE(rs->field("COGNOME E NOME").toString(), "Azzurri Sara");
        QCOMPARE(rs->field(0).toString(), "Azzurri Sara");
        QCOMPARE(rs->field(2).toInt(), 7);
        QCOMPARE(rs->field("data").toString(), QDate::currentDate().toString(Qt::ISODate));
        rs->moveNext();
        QVERIFY(rs->eof());
        QVERIFY(expectFatal([&] { rs->field(0); }).contains("studenti"));
    }

    void pupilSelection_data()
    {
        QTest::addColumn<QString>("asked");
        QTest::addColumn<int>("found");
        QTest::newRow("capitals, accented letters too") << "NICCOLÒ BRUNO" << 2;
        QTest::newRow("apostrophe, other case") << "d'amico luca" << 1;
        QTest::newRow("blanks count") << " Niccolò Bruno" << 0;
        QTest::newRow("quote trick is only a name") << "x' OR '1'='1" << 0;
        QTest::newRow("nobody") << "Rossi Mario" << 0;
    }

    void pupilSelection()
    {
        QFETCH(QString, asked);
        QFETCH(int, found);
        WorkFolder folder;
        Trap trap;
        auto db = Database::open("pervaldoria\\valdoria.mdb");
        addResult(*db, "Niccolò Bruno", "IL VENTO.", 6);
        addResult(*db, "D'Amico Luca", "IL VENTO.", 8);
        addResult(*db, "Niccolò Bruno", "IL MARE", 9);
        addResult(*db, "Nicolo Bruno", "IL MARE", 9);
        auto rs = db->openPupilRows("studenti", asked);
        QCOMPARE(rs->recordCount(), found);
    }

    void failuresNameWhatFailed()
    {
        Trap trap;
        {
            WorkFolder folder(WorkFolder::NoDatabase);
            QVERIFY(expectFatal([] { Database::open("pervaldoria\\valdoria.mdb"); }).contains("valdoria.mdb"));
            QFile junk(folder.databaseFile());
            QVERIFY(junk.open(QIODevice::WriteOnly));
            junk.write(QByteArray(4096, 'x'));
            junk.close();
            QVERIFY(expectFatal([] { Database::open("pervaldoria\\valdoria.mdb"); }).contains("valdoria.mdb"));
        }
        WorkFolder folder;
        auto db = Database::open("PERVALDORIA\\VALDORIA.MDB");
        QVERIFY(expectFatal([&] { db->openRecordset("domande9"); }).contains("domande9"));
        auto rs = db->openRecordset("studenti");
        QCOMPARE(rs->recordCount(), 0);
        QVERIFY(rs->eof());
        QVERIFY(expectFatal([&] { rs->moveFirst(); }).contains("vuota"));
        rs->addNew();
        QVERIFY(expectFatal([&] { rs->setField("voto", 3); }).contains("voto"));
    }

    void readOnlyDatabaseIsRefused()
    {
        // The real program opens the file as a user who may read it but not
        // write it: as root, a child of this test runs as "nobody".
        WorkFolder folder;
        Trap trap;
        if (geteuid() != 0) {
            QFile::setPermissions(folder.databaseFile(), QFile::ReadOwner | QFile::ReadUser);
            QVERIFY(expectFatal([] { Database::open("pervaldoria\\valdoria.mdb"); }).contains("sola lettura"));
            return;
        }
        for (const QString &p : {folder.path(), folder.dataPath()})
            QFile::setPermissions(p, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                         | QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
        QFile::setPermissions(folder.databaseFile(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::ReadGroup);
        // A copy of this program where "nobody" may run it, wherever the build is.
        const QString program = folder.path() + "/tst_database";
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), program));
        QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther
                                           | QFile::ReadGroup | QFile::ExeGroup);
        QProcess child;
        child.setWorkingDirectory(folder.path());
        child.setChildProcessModifier([] {
            if (setgid(65534) != 0 || setuid(65534) != 0)
                _exit(97);
        });
        child.start(program, {"--open-child"});
        QVERIFY2(child.waitForStarted(20000), qPrintable(child.errorString()));
        if (child.state() != QProcess::NotRunning)
            QVERIFY(child.waitForFinished(20000));
        const QString said = QString::fromUtf8(child.readAllStandardOutput());
        QCOMPARE(child.exitCode(), platform::FatalExitStatus);
        QVERIFY2(said.contains("sola lettura") && said.contains("valdoria.mdb"), qPrintable(said));
    }

    void aRecordsetKeepsItsOwnDatabase()
    {
        // The program's database object may be replaced; a recordset opened on
        // it goes on reading and appending to its own file.
        WorkFolder folder;
        Trap trap;
        auto db = Database::open("pervaldoria\\valdoria.mdb");
        addResult(*db, "Primo Alunno", "IL VENTO.", 5);
        auto rs = db->openRecordset("studenti");
        db.reset();
        rs->moveFirst();
        QCOMPARE(rs->field("cognome e nome").toString(), "Primo Alunno");
        rs->addNew();
        rs->setField("cognome e nome", "Secondo Alunno");
        rs->update();
        QCOMPARE(rs->recordCount(), 2);
        rs->moveLast();
        QCOMPARE(rs->field("cognome e nome").toString(), "Secondo Alunno");
        rs.reset();
        QCOMPARE(countRows(folder.databaseFile(), "studenti"), 2);
    }

    void anAppendThatCannotBeReadBackFails()
    {
        // A row that is not there after the append is a failure, not a success
        // with a wrong count.
        WorkFolder folder;
        Trap trap;
        auto db = Database::open("pervaldoria\\valdoria.mdb");
        QSqlQuery q(db->connection());
        QVERIFY(q.exec("CREATE TRIGGER vanish AFTER INSERT ON studsomm BEGIN "
                       "DELETE FROM studsomm WHERE rowid = new.rowid; END"));
        auto rs = db->openRecordset("studsomm");
        rs->addNew();
        rs->setField("cognome e nome", "Verdi Anna");
        const QString message = expectFatal([&] { rs->update(); });
        QVERIFY2(message.contains("studsomm"), qPrintable(message));
        QCOMPARE(rs->recordCount(), 0);
    }

    void aFileThatIsNotTheArchiveIsLeftAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("complaint");
        QTest::newRow("not a database") << "junk" << "non è un archivio";
        QTest::newRow("no summative results table") << "no studsomm" << "studsomm";
        QTest::newRow("no questionnaire results table") << "no studenti" << "studenti";
    }

    void aFileThatIsNotTheArchiveIsLeftAlone()
    {
        QFETCH(QString, kind);
        QFETCH(QString, complaint);
        WorkFolder folder;
        Trap trap;
        if (kind == "junk") {
            QFile junk(folder.databaseFile());
            QVERIFY(junk.open(QIODevice::WriteOnly | QIODevice::Truncate));
            junk.write(QByteArray("Questo non è un archivio.\n").repeated(200));
        } else {
            const QString c = "drop";
            {
                QSqlDatabase raw = QSqlDatabase::addDatabase("QSQLITE", c);
                raw.setDatabaseName(folder.databaseFile());
                QVERIFY(raw.open());
                QSqlQuery q(raw);
                QVERIFY(q.exec("DROP TABLE " + kind.mid(3)));
            }
            QSqlDatabase::removeDatabase(c);
        }
        const QByteArray before = fileBytes(folder.databaseFile());
        const QString message = expectFatal([] { Database::open("pervaldoria\\valdoria.mdb"); });
        QVERIFY2(message.contains("pervaldoria\\valdoria.mdb") && message.contains(complaint), qPrintable(message));
        QCOMPARE(fileBytes(folder.databaseFile()), before);
        QVERIFY(!QFile::exists(folder.databaseFile() + "-journal"));
    }

    void questionFileFaults_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("complaint");
        QString nine = "set: A\n";
        for (int i = 0; i < 9; ++i)
            nine += "V frase\n";
        QTest::newRow("nine statements") << nine << "9 statements";
        QTest::newRow("no title") << QString("set:\nV frase\n") << "title";
        QTest::newRow("bad key") << QString("set: A\nX frase\n") << "V ";
        QTest::newRow("statement first") << QString("V frase\n") << "before";
        QTest::newRow("empty file") << QString() << "no question set";
    }

    void questionFileFaults()
    {
        QFETCH(QString, text);
        QFETCH(QString, complaint);
        QTemporaryDir dir;
        QFile f(dir.path() + "/domande1.txt");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
        f.close();
        QString error;
        QVERIFY(assessment::readQuestionFile(f.fileName(), &error).isEmpty());
        QVERIFY2(error.contains(complaint), qPrintable(error));
    }
};

// Started by readOnlyDatabaseIsRefused as another user: opens the database as
// the program does and says what happened.
static int openChild(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    platform::setFatalHandler([](const QString &what) {
        std::printf("%s\n", qPrintable(what));
        std::fflush(stdout);
        std::_Exit(platform::FatalExitStatus);
    });
    Database::open("pervaldoria\\valdoria.mdb");
    std::printf("opened\n");
    return 0;
}

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--open-child") == 0)
            return openChild(argc, argv);
    QApplication app(argc, argv);
    tst_database t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_database.moc"
