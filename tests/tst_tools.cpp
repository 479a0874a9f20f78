// The build's own tools as a school's install runs them: the database installer
// that refreshes the questions and never touches a result, and the picture
// renderer that reports every file it could not write.

#include "testsupport.h"

#include "storage/coursebank.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

using namespace testing;

namespace {

int run(const QString &program, const QStringList &args, QString *said)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return -1;
    *said = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

int mkdb(const QString &schema, const QString &bank, const QString &db, QString *said)
{
    return run(QStringLiteral(VALDORIA_BINARY_DIR "/tools/mkdb/mkdb"), {"--schema", schema, "--questions", bank, "--db", db}, said);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

int rows(const QString &file, const QString &table)
{
    const QVariant n = sqlOnFile(file, {"SELECT count(*) FROM \"" + table + "\""});
    return n.isValid() ? n.toInt() : -1;
}

} // namespace

class tst_tools : public QObject
{
    Q_OBJECT
private slots:
    void installerNeverReplacesResults_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("questionnaire results") << "studenti.txt";
        QTest::newRow("summative results") << "studsomm.txt";
        QTest::newRow("anything else") << "appunti.txt";
    }

    void installerNeverReplacesResults()
    {
        // A file in the bank named like a result table is refused, whole
        // install included, and the stored results stay.
        QFETCH(QString, file);
        QTemporaryDir work, bank;
        copyQuestionBank(bank.path());
        const QString db = work.path() + "/valdoria.mdb";
        QString said;
        QCOMPARE(mkdb(sourceDir() + "/data/schema.sql", bank.path(), db, &said), 0);
        sqlOnFile(db, {"INSERT INTO studenti (\"cognome e nome\", punteggio) VALUES ('Verdi Anna', 7)",
                       "INSERT INTO studsomm (\"cognome e nome\", valutazione) VALUES ('Verdi Anna', 'BUONO')"});
        QCOMPARE(rows(db, "studenti"), 1);
        QVERIFY(writeFile(bank.path() + "/" + file, "set: RISULTATI\n" + QByteArray("V Una frase\n").repeated(10)));
        QCOMPARE(mkdb(sourceDir() + "/data/schema.sql", bank.path(), db, &said), 1);
        QVERIFY2(said.contains(file) && said.contains("not a question table"), qPrintable(said));
        QCOMPARE(rows(db, "studenti"), 1);
        QCOMPARE(rows(db, "studsomm"), 1);
    }

    void aFailedFirstInstallLeavesNoFile()
    {
        QTemporaryDir work, bank;
        copyQuestionBank(bank.path());
        QVERIFY(writeFile(bank.path() + "/domande3.txt", "set: ROTTA\nV una sola affermazione\n"));
        const QString db = work.path() + "/nuovo/valdoria.mdb";
        QString said;
        QCOMPARE(mkdb(sourceDir() + "/data/schema.sql", bank.path(), db, &said), 1);
        QVERIFY2(said.contains("domande3.txt:2"), qPrintable(said));
        QVERIFY(!QFile::exists(db));

        // A schema the engine refuses fails after the file was created: it goes too.
        QVERIFY(writeFile(work.path() + "/schema.sql", "CREATE TABLE IF NOT EXISTS studenti (x);\nNOT SQL AT ALL;\n"));
        QFile::remove(bank.path() + "/domande3.txt");
        QVERIFY(QFile::copy(sourceDir() + "/data/questions/domande3.txt", bank.path() + "/domande3.txt"));
        QCOMPARE(mkdb(work.path() + "/schema.sql", bank.path(), db, &said), 1);
        QVERIFY(!QFile::exists(db));
    }

    void rendererReportsWhatItCouldNotWrite()
    {
        // Contact sheets that cannot be written make the build fail, as pictures do.
        QTemporaryDir out;
        QVERIFY(writeFile(out.path() + "/fogli", {})); // a file where the sheets' folder should be
        QString said;
        QCOMPARE(run(QStringLiteral(VALDORIA_BINARY_DIR "/tools/picrender/picrender"),
                     {"--svg", sourceDir() + "/data/pictures", "--out", out.path() + "/pervaldoria", "--sheets", out.path() + "/fogli"},
                     &said),
                 1);
        QVERIFY2(said.contains("cannot write"), qPrintable(said));
        QVERIFY(QFile::exists(out.path() + "/pervaldoria/vento.jpg"));
    }
};

// install.sh asks how many rows a table of an installed database holds.
static int countRows(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::printf("%d\n", rows(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3])));
    return 0;
}

TEST_MAIN_WITH_CHILD(tst_tools, "--count", countRows)
#include "tst_tools.moc"
