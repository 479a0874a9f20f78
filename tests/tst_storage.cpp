// Storage on its own, with no window and no display: the course database
// opened, appended to, read back and deleted from in one transaction, and
// every failure returned with its reason while the file stays as it was.

#include "storage/coursebank.h"
#include "storage/dao.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

#include <unistd.h>

using storage::Database;

namespace {

// A data folder with a freshly installed course.
struct Course
{
    QTemporaryDir dir;
    Course()
    {
        const storage::Status s = storage::installCourseDatabase(
            file(), VALDORIA_SOURCE_DIR "/data/schema.sql", VALDORIA_SOURCE_DIR "/data/questions");
        if (!s)
            qFatal("cannot install the course: %s", qPrintable(s.error()));
    }
    QString file() const { return dir.filePath("valdoria.mdb"); }
    QByteArray bytes() const
    {
        QFile f(file());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // A statement on the file behind the program's back.
    void exec(const QString &sql) const
    {
        auto db = Database::open(file());
        QSqlQuery q(db.value()->connection());
        if (!q.exec(sql))
            qFatal("%s", qPrintable(sql));
    }
};

std::unique_ptr<Database> open(const Course &c)
{
    auto db = Database::open(c.file());
    if (!db)
        qFatal("%s", qPrintable(db.error()));
    return db.take();
}

storage::Status addResult(Database &db, const QString &name, int score)
{
    auto rs = db.openRecordset("studenti");
    if (!rs)
        return storage::Error{rs.error()};
    rs.value()->addNew();
    rs.value()->setField("cognome e nome", name);
    rs.value()->setField("argomento", "IL VENTO.");
    rs.value()->setField("punteggio", score);
    rs.value()->setField("maxpunti", 10);
    return rs.value()->update();
}

QStringList names(storage::Recordset &rs)
{
    QStringList out;
    for (rs.moveTo(0); !rs.eof(); (void)rs.moveNext())
        out << rs.field("cognome e nome").value().toString();
    return out;
}

} // namespace

class tst_storage : public QObject
{
    Q_OBJECT
private slots:
    void appendReadBackAndDelete()
    {
        Course c;
        auto db = open(c);
        for (const QString &n : {"Verdi Anna", "D'Amico Luca", "Niccolò Bruno"})
            QVERIFY(addResult(*db, n, 7).ok());
        auto rs = db->openRecordset("studenti").take();
        QCOMPARE(names(*rs), (QStringList{"Verdi Anna", "D'Amico Luca", "Niccolò Bruno"}));
        QVERIFY(rs->moveLast().ok());
        QCOMPARE(rs->field("COGNOME E NOME").value().toString(), "Niccolò Bruno");
        QCOMPARE(rs->field(2).value().toInt(), 7);
        QCOMPARE(rs->field("data").value().toString(), QDate::currentDate().toString(Qt::ISODate));
        QVERIFY(rs->moveNext().ok());
        QVERIFY(rs->field(0).error().contains("studenti"));
        QVERIFY(rs->moveNext().error().contains("studenti"));

        // One pupil's rows go in one transaction; a row stored after the
        // listing was opened stays.
        auto pupil = db->openPupilRows("studenti", "d'amico LUCA").take();
        QCOMPARE(pupil->recordCount(), 1);
        QVERIFY(addResult(*db, "D'Amico Luca", 9).ok());
        QVERIFY(pupil->deleteAll().ok());
        QCOMPARE(db->openPupilRows("studenti", "D'Amico Luca").value()->recordCount(), 1);

        // A deletion the file refuses deletes nothing and says why.
        c.exec("CREATE TRIGGER keep BEFORE DELETE ON studenti WHEN old.punteggio = 9 "
               "BEGIN SELECT RAISE(ABORT, 'kept'); END");
        auto all = db->openRecordset("studenti").take();
        const storage::Status refused = all->deleteAll();
        QVERIFY(refused.error().contains("nessuna riga"));
        QCOMPARE(db->openRecordset("studenti").value()->recordCount(), 3);
    }

    void pupilSelection_data()
    {
        QTest::addColumn<QString>("asked");
        QTest::addColumn<int>("found");
        QTest::newRow("capitals, accented letters too") << "NICCOLÒ BRUNO" << 2;
        QTest::newRow("apostrophe, other case") << "d'amico luca" << 1;
        QTest::newRow("quote trick is only a name") << "x' OR '1'='1" << 0;
        QTest::newRow("nobody") << "Rossi Mario" << 0;
    }

    void pupilSelection()
    {
        QFETCH(QString, asked);
        QFETCH(int, found);
        Course c;
        auto db = open(c);
        for (const QString &n : {"Niccolò Bruno", "D'Amico Luca", "Niccolò Bruno", "Nicolo Bruno"})
            QVERIFY(addResult(*db, n, 6).ok());
        QCOMPARE(db->openPupilRows("studenti", asked).value()->recordCount(), found);
    }

    void failuresAreReturnedAndTheFileLeftAlone_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing file") << "missing" << "Manca il file";
        QTest::newRow("damaged file") << "junk" << "non è un archivio";
        QTest::newRow("no questionnaire results") << "DROP TABLE studenti" << "\"studenti\"";
        QTest::newRow("no summative results") << "DROP TABLE studsomm" << "\"studsomm\"";
        QTest::newRow("missing column") << "ALTER TABLE studenti DROP COLUMN maxpunti" << "maxpunti";
        QTest::newRow("missing question table") << "DROP TABLE domande3" << "domande3";
        QTest::newRow("append not there after") << "CREATE TRIGGER vanish AFTER INSERT ON studenti BEGIN "
                                                   "DELETE FROM studenti WHERE rowid = new.rowid; END"
                                                << "non si ritrova";
    }

    void failuresAreReturnedAndTheFileLeftAlone()
    {
        QFETCH(QString, fault);
        QFETCH(QString, reason);
        Course c;
        if (fault == "missing") {
            QFile::remove(c.file());
        } else if (fault == "junk") {
            QFile junk(c.file());
            QVERIFY(junk.open(QIODevice::WriteOnly | QIODevice::Truncate));
            junk.write(QByteArray("Questo non è un archivio.\n").repeated(200));
        } else {
            c.exec(fault);
        }
        const QByteArray before = c.bytes();
        QString said;
        if (auto db = Database::open(c.file()); !db) {
            said = db.error();
        } else if (auto rs = db.value()->openRecordset("domande3"); !rs) {
            said = rs.error();
        } else if (const storage::Status s = addResult(*db.value(), "Verdi Anna", 5); !s) {
            said = s.error();
        }
        QVERIFY2(said.contains(reason), qPrintable(said));
        if (!fault.startsWith("CREATE"))
            QCOMPARE(c.bytes(), before);
    }

    void aReadOnlyFileIsRefused()
    {
        // The program opens the file as a user who may read it but not write
        // it: run as root, a child of this test does so as "nobody".
        Course c;
        QFile::setPermissions(c.file(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        if (geteuid() != 0) {
            QVERIFY(Database::open(c.file()).error().contains("sola lettura"));
            return;
        }
        const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                          | QFile::ReadOther | QFile::ExeOther;
        QFile::setPermissions(c.dir.path(), open);
        const QString program = c.dir.filePath("tst_storage");
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), program));
        QFile::setPermissions(program, open);
        QProcess child;
        child.setChildProcessModifier([] {
            if (setgid(65534) != 0 || setuid(65534) != 0)
                _exit(97);
        });
        child.start(program, {"--open-child", c.file()});
        QVERIFY(child.waitForFinished(20000));
        const QString said = QString::fromUtf8(child.readAllStandardOutput());
        QVERIFY2(said.contains("sola lettura") && said.contains("valdoria.mdb"), qPrintable(said));
    }

    void aRecordsetKeepsItsOwnDatabase()
    {
        Course c;
        auto db = open(c);
        QVERIFY(addResult(*db, "Primo Alunno", 5).ok());
        auto rs = db->openRecordset("studenti").take();
        db.reset();
        rs->addNew();
        rs->setField("cognome e nome", "Secondo Alunno");
        QVERIFY(rs->update().ok());
        QCOMPARE(names(*rs), (QStringList{"Primo Alunno", "Secondo Alunno"}));
    }

    void questionFileFaults_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("complaint");
        QTest::newRow("nine statements") << "set: A\n" + QString("V frase\n").repeated(9) << "9 statements";
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
        QFile f(dir.filePath("domande1.txt"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
        f.close();
        const auto read = storage::readQuestionFile(f.fileName());
        QVERIFY2(read.error().contains(complaint), qPrintable(read.error()));
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--open-child") == 0) {
        auto db = Database::open(QString::fromLocal8Bit(argv[2]));
        std::printf("%s\n", db ? "opened" : qPrintable(db.error()));
        return 0;
    }
    tst_storage t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_storage.moc"
