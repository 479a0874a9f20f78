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

QString tool(const char *path) { return QStringLiteral(VALDORIA_BINARY_DIR "/tools/") + path; }

int run(const QString &program, const QStringList &args, QString *said)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return -1;
    *said = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
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
        const QStringList args{"--schema", sourceDir() + "/data/schema.sql", "--questions", bank.path(), "--db", db};
        QString said;
        QCOMPARE(run(tool("mkdb/mkdb"), args, &said), 0);
        sqlOnFile(db, {"INSERT INTO studenti (\"cognome e nome\", punteggio) VALUES ('Verdi Anna', 7)",
                       "INSERT INTO studsomm (\"cognome e nome\", valutazione) VALUES ('Verdi Anna', 'BUONO')"});
        QCOMPARE(rows(db, "studenti"), 1);
        QFile bad(bank.path() + "/" + file);
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("set: RISULTATI\n");
        for (int i = 0; i < 10; ++i)
            bad.write("V Una frase\n");
        bad.close();
        QCOMPARE(run(tool("mkdb/mkdb"), args, &said), 1);
        QVERIFY2(said.contains(file) && said.contains("not a question table"), qPrintable(said));
        QCOMPARE(rows(db, "studenti"), 1);
        QCOMPARE(rows(db, "studsomm"), 1);
    }

    void aFailedFirstInstallLeavesNoFile()
    {
        QTemporaryDir work, bank;
        copyQuestionBank(bank.path());
        QFile broken(bank.path() + "/domande3.txt");
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("set: ROTTA\nV una sola affermazione\n");
        broken.close();
        const QString db = work.path() + "/nuovo/valdoria.mdb";
        QString said;
        QCOMPARE(run(tool("mkdb/mkdb"),
                     {"--schema", sourceDir() + "/data/schema.sql", "--questions", bank.path(), "--db", db}, &said),
                 1);
        QVERIFY2(said.contains("domande3.txt:2"), qPrintable(said));
        QVERIFY(!QFile::exists(db));

        // A schema the engine refuses fails after the file was created: it goes too.
        QFile schema(work.path() + "/schema.sql");
        QVERIFY(schema.open(QIODevice::WriteOnly));
        schema.write("CREATE TABLE IF NOT EXISTS studenti (x);\nNOT SQL AT ALL;\n");
        schema.close();
        QFile::remove(bank.path() + "/domande3.txt");
        QVERIFY(QFile::copy(sourceDir() + "/data/questions/domande3.txt", bank.path() + "/domande3.txt"));
        QCOMPARE(run(tool("mkdb/mkdb"), {"--schema", schema.fileName(), "--questions", bank.path(), "--db", db}, &said),
                 1);
        QVERIFY(!QFile::exists(db));
    }

    void rendererReportsWhatItCouldNotWrite()
    {
        // Contact sheets that cannot be written make the build fail, as pictures do.
        QTemporaryDir out;
        QFile blocker(out.path() + "/fogli");
        QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the sheets' folder should be
        blocker.close();
        QString said;
        const int status = run(tool("picrender/picrender"),
                               {"--svg", sourceDir() + "/data/pictures", "--out", out.path() + "/pervaldoria",
                                "--sheets", blocker.fileName()},
                               &said);
        QCOMPARE(status, 1);
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
