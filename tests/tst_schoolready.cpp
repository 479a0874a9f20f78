// What a school meets in its first week: names typed with blanks, the
// questionnaire's test that Escape cannot drop, a double click on the
// summative test's next page, the command line, the shared data folder used
// by two pupils of one group, the results file's modes, a damaged archive
// found at start-up, and cells a spreadsheet would run.

#include "testsupport.h"

#include "app/datafolder.h"
#include "app/startup.h"
#include "archives/archivewindow.h"
#include "assessment/fquest.h"
#include "assessment/fsommati.h"
#include "common/modvaldoria.h"
#include "common/windows.h"
#include "platform/csvfile.h"
#include "shell/fscelte.h"
#include "storage/dao.h"
#include "storage/datapath.h"

#include <QFileInfo>
#include <QMouseEvent>
#include <QProcess>
#include <QSqlQuery>

#include <sys/stat.h>
#include <unistd.h>

using namespace testing;
namespace M = Modvaldoria;

namespace {

const QString Program = QStringLiteral(VALDORIA_BINARY_DIR "/src/valdoria");
const QString Course = QStringLiteral(VALDORIA_BINARY_DIR "/course");

int run(const QString &program, const QStringList &args, QString *said = nullptr)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    if (said)
        *said = QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// Started as `user` (or as is), the program for a few seconds: what it said.
QString startFor(const QString &user, const QString &program, const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    const QStringList timed = QStringList{"3", program} + args;
    p.start(user.isEmpty() ? "timeout" : "runuser", user.isEmpty() ? timed : QStringList{"-u", user, "--", "timeout"} + timed);
    p.waitForFinished(20000);
    return QString::fromLocal8Bit(p.readAllStandardError());
}

int mode(const QString &path)
{
    struct stat st{};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

} // namespace

class SchoolReady : public QObject
{
    Q_OBJECT
private slots:
    void init() { freshProgram(); }

    void namesAreStoredAndFoundWithoutBlanks_data()
    {
        QTest::addColumn<QStringList>("typed"); // in turn, until a name is taken
        QTest::addColumn<QString>("stored");
        QTest::newRow("blanks around") << QStringList{" Verdi Paolo "} << "Verdi Paolo";
        QTest::newRow("blanks only, then a name") << QStringList{"   ", "\tVerdi Anna"} << "Verdi Anna";
    }
    void namesAreStoredAndFoundWithoutBlanks()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, stored);
        WorkFolder folder;
        assessment::FQuest *q = openQuestionnaire(1);
        ModalAnswers boxes;
        for (const QString &t : typed) {
            boxes.type(t);
            if (t.trimmed().isEmpty())
                boxes.press("OK");
        }
        click(q->cmdquestionario);
        QCOMPARE(boxes.texts.count(M::NameNeeded), typed.size() - 1);
        // In the test Escape is no way out: the sets still to come are kept.
        QTest::keyClick(q, Qt::Key_Escape);
        QVERIFY(q->isVisible());
        answerRows(q->Text1, q->Check1, q->Check2, "domande1", "r");
        click(q->cmdRISULT);
        QSqlQuery rows(M::db->connection());
        QVERIFY(rows.exec("SELECT \"cognome e nome\" FROM studenti") && rows.next());
        QCOMPARE(rows.value(0).toString(), stored);
        // The teacher finds the pupil with blanks typed around the name too.
        auto *archive = platform::forms::get<archives::ArchiveWindow>(windows::frmRISUL);
        boxes.type("  " + stored.toUpper() + " ");
        archive->cmdselezione->press();
        QCOMPARE(archive->dacancellare(), 1);
    }

    void aDoubleClickTurnsOnePage()
    {
        WorkFolder folder;
        ModalAnswers boxes;
        boxes.type("Verdi Anna");
        click(openMenu()->sommativo);
        auto *w = qobject_cast<assessment::FSommati *>(platform::forms::existing(windows::FSommati));
        const QString first = w->Text2->text();
        answerRows(w->Text1, w->Check1, w->Check2, "sommativo", "r");
        // As the window system delivers a double click: the second press comes
        // before the pupil could see the page the first one brought.
        const QPointF at = w->cmdAVANTI->rect().center();
        const ulong t0 = QTest::lastMouseTimestamp + 1000;
        for (auto [type, ms] : {std::pair{QEvent::MouseButtonPress, 0}, {QEvent::MouseButtonRelease, 60},
                                {QEvent::MouseButtonPress, 150}, {QEvent::MouseButtonDblClick, 150},
                                {QEvent::MouseButtonRelease, 210}}) {
            QMouseEvent e(type, at, w->cmdAVANTI->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
            e.setTimestamp(t0 + ulong(ms));
            QApplication::sendEvent(w->cmdAVANTI, &e);
        }
        QTest::lastMouseTimestamp = int(t0) + 1000;
        QCOMPARE(M::numdomsomm, 1);
        QVERIFY(w->Text2->text() != first);
        QCOMPARE(boxes.texts.size(), 1); // the name only: no "TUTTE LE RISPOSTE"
    }

    void aMissingResultColumnStopsTheStart()
    {
        WorkFolder folder;
        {
            auto db = platform::must(storage::Database::open(storage::dataFile(M::DatabaseFile)));
            QVERIFY(QSqlQuery(db->connection()).exec("ALTER TABLE studsomm DROP COLUMN applicare"));
        }
        const QString said = expectFatal([] { app::startUp(); });
        QVERIFY2(said.contains("\"applicare\"") && said.contains(folder.databaseFile()), qPrintable(said));
    }

    void theResultsFileIsKeptFromOtherAccounts_data()
    {
        QTest::addColumn<bool>("named");
        QTest::addColumn<int>("expected");
        QTest::newRow("the user's own folder") << false << 0600;
        QTest::newRow("a folder the school names") << true << 0660;
    }
    void theResultsFileIsKeptFromOtherAccounts()
    {
        QFETCH(bool, named);
        QFETCH(int, expected);
        QTemporaryDir home;
        app::DataPlaces places{home.filePath("dati"), Course, {}, named};
        QDir().mkpath(named ? places.writable : home.path());
        app::prepareDataPlaces(places);
        QCOMPARE(mode(places.writable + "/valdoria.mdb"), expected);
        storage::setDataFolders({});
    }

    void theCommandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status"); // -1: still running, or stopped at its error box
        QTest::addColumn<QString>("said");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "--scala N            fattore di scala del disegno; 1 = disegno originale";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "valdoria " + QString(VALDORIA_VERSION_TEXT);
        QTest::newRow("unknown option") << QStringList{"--dati", "x"} << 2 << "opzione sconosciuta: --dati";
        QTest::newRow("no value") << QStringList{"--data"} << 2 << "all'opzione --data manca il valore";
        QTest::newRow("scale not a number") << QStringList{"--scala", "grande"} << 2 << "--scala vuole un numero positivo";
        QTest::newRow("half of the preparation") << QStringList{"--gruppo", "alunni"} << 2 << "vanno dati insieme";
        QTest::newRow("a folder holding pervaldoria") << QStringList{"--data=DIR"} << -1 << "--data DIR/pervaldoria";
        QTest::newRow("a missing folder") << QStringList{"--data", "DIR/nuova"} << -1 << "Il programma non la crea da sé";
        QTest::newRow("--data=") << QStringList{"--data=DIR/pervaldoria"} << -1 << "";
        QTest::newRow("a config not understood") << QStringList{"CONF"} << -1 << "non si capisce alla riga 2";
    }
    void theCommandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, said);
        WorkFolder folder;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", folder.path() + "/conf");
        if (args == QStringList{"CONF"}) {
            QDir().mkpath(folder.path() + "/conf/valdoria");
            QFile conf(folder.path() + "/conf/valdoria/valdoria.conf");
            QVERIFY(conf.open(QIODevice::WriteOnly));
            conf.write("[dati]\ncartella /srv/valdoria\n");
            args.clear();
        }
        args.replaceInStrings("DIR", folder.path());
        said.replace("DIR", folder.path());
        QString out;
        if (status >= 0) {
            QCOMPARE(run(Program, args, &out), status);
        } else {
            QDir::setCurrent(QDir::tempPath()); // no pervaldoria where it starts
            out = startFor({}, Program, args, env);
            QDir::setCurrent(folder.path());
            QVERIFY2(said.isEmpty() != out.contains("valdoria:"), qPrintable(out));
        }
        QVERIFY2(out.contains(said), qPrintable(out));
    }

    // Two pupils' accounts of one group, and one outside it, on a folder the
    // administrator prepared: each pupil stores, the other account is told why not.
    void aSharedFolderForTwoPupils()
    {
        if (geteuid() != 0)
            QSKIP("needs root: it makes three accounts and runs as them (runuser)");
        auto sh = [](const QString &cmd) { return QProcess::execute("sh", {"-c", "{ " + cmd + "; } >/dev/null 2>&1"}); };
        sh("userdel vd-anna; userdel vd-luca; userdel vd-ospite; groupdel vd-alunni");
        QCOMPARE(sh("(getent group vd-alunni || groupadd vd-alunni) && useradd -M -N -G vd-alunni vd-anna "
                    "&& useradd -M -N -G vd-alunni vd-luca && useradd -M -N vd-ospite"), 0);
        QTemporaryDir root;
        ::chmod(QFile::encodeName(root.path()).constData(), 0755);
        // The program as installed: bin/valdoria beside share/valdoria.
        QDir().mkpath(root.filePath("share/valdoria"));
        QDir().mkpath(root.filePath("bin"));
        QVERIFY(QFile::copy(Program, root.filePath("bin/valdoria")));
        QVERIFY(QFile::copy(Course + "/valdoria.mdb", root.filePath("share/valdoria/valdoria.mdb")));
        const QString shared = root.filePath("srv/valdoria"), db = shared + "/valdoria.mdb";
        QString said;
        QCOMPARE(run(root.filePath("bin/valdoria"), {"--prepara-cartella", shared, "--gruppo", "vd-alunni"}, &said), 0);
        QVERIFY2(said.contains("(gruppo vd-alunni), permessi rwxrws--- (2770)"), qPrintable(said));
        QCOMPARE(mode(db), 0660);
        const QString me = QCoreApplication::applicationFilePath();
        auto store = [&](const QString &user, QString *why = nullptr) {
            return run("runuser", {"-u", user, "--", me, "--aggiungi", shared, user}, why);
        };
        QCOMPARE(store("vd-anna"), 0);
        QCOMPARE(store("vd-luca"), 0);
        QVERIFY(store("vd-ospite", &said) != 0);
        QVERIFY2(said.contains(shared) && said.contains("l'utente vd-ospite") && said.contains("gruppo vd-alunni"),
                 qPrintable(said));
        // The first start on an empty shared folder makes the file the group's.
        QFile::remove(db);
        startFor("vd-anna", root.filePath("bin/valdoria"), {"--data", shared});
        QCOMPARE(mode(db), 0660);
        QVERIFY(storage::ownership(db).contains("(gruppo vd-alunni)"));
        QCOMPARE(store("vd-luca"), 0);
        sh("userdel vd-anna; userdel vd-luca; userdel vd-ospite; groupdel vd-alunni");
    }

    void cellsASpreadsheetWouldRun_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("written");
        QTest::newRow("formula") << "=1+1" << "'=1+1";
        QTest::newRow("minus and a digit") << "-2+3+cmd|' /C calc'!A0" << "'-2+3+cmd|' /C calc'!A0";
        QTest::newRow("tab") << "\t=1" << "'\t=1";
        QTest::newRow("carriage return") << "\r=1" << "\"'\r=1\"";
        QTest::newRow("plus") << "+39 333" << "'+39 333";
        QTest::newRow("at") << "@SOMMA(A1)" << "'@SOMMA(A1)";
        QTest::newRow("a negative number") << "-7,5" << "-7,5";
        QTest::newRow("a name") << "D'Amico Luca" << "D'Amico Luca";
    }
    void cellsASpreadsheetWouldRun()
    {
        QFETCH(QString, cell);
        QFETCH(QString, written);
        const QString text = QString::fromUtf8(platform::csvText({"nome"}, {{cell}}).mid(3));
        QCOMPARE(text, "nome\r\n" + written + "\r\n");
    }
};

// Run as a pupil's account by aSharedFolderForTwoPupils: stores one result
// in the shared folder through the program's storage, or says why not.
static int storeAs(const QString &folder, const QString &name)
{
    storage::setDataFolders({folder});
    auto db = storage::Database::open(storage::dataFile(M::DatabaseFile));
    if (!db) {
        std::fprintf(stderr, "%s\n", qPrintable(db.error()));
        return 1;
    }
    auto rs = platform::must(db.value()->openRecordset("studenti"));
    rs->addNew();
    rs->setField(storage::Database::NameColumn, name);
    const storage::Status s = rs->update();
    if (!s)
        std::fprintf(stderr, "%s\n", qPrintable(s.error()));
    return s ? 0 : 1;
}

int main(int argc, char **argv)
{
    if (argc == 4 && qstrcmp(argv[1], "--aggiungi") == 0) {
        QCoreApplication app(argc, argv);
        return storeAs(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    QApplication app(argc, argv);
    SchoolReady t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_schoolready.moc"
