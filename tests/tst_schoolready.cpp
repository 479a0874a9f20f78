// What a school meets in its first week, walked whole: names, the tests' ways
// out, the command line, a shared folder, file modes, spreadsheet cells.

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
#include "storage/datapath.h"

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

// Runs a command to its end ("timeout 3 ..." for the program's windows):
// its exit status, and what it printed.
int run(QStringList command, QString *said = nullptr, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(command.takeFirst(), command);
    p.waitForFinished(60000);
    if (said)
        *said = QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
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
        const ulong t0 = QTest::lastMouseTimestamp += 1000;
        for (auto [type, ms] : {std::pair{QEvent::MouseButtonPress, 0}, {QEvent::MouseButtonRelease, 60},
                                {QEvent::MouseButtonPress, 150}, {QEvent::MouseButtonDblClick, 150},
                                {QEvent::MouseButtonRelease, 210}}) {
            QMouseEvent e(type, at, at, Qt::LeftButton, type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
            e.setTimestamp(t0 + ulong(ms));
            QApplication::sendEvent(w->cmdAVANTI, &e);
        }
        QTest::lastMouseTimestamp += 1000;
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

    void theResultsFileIsKeptFromOtherAccounts()
    {
        // The user's own folder: the owner alone; a folder the school names: its group too.
        for (const bool named : {false, true}) {
            QTemporaryDir home;
            app::DataPlaces places{home.filePath("dati"), Course, {}, named};
            QDir().mkpath(places.writable);
            app::prepareDataPlaces(places);
            QCOMPARE(mode(places.writable + "/valdoria.mdb"), named ? 0660 : 0600);
        }
        storage::setDataFolders({});
    }

    void theCommandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status"); // -1: still running, or at its error box
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
        QDir().mkpath(folder.path() + "/conf/valdoria");
        QFile conf(folder.path() + "/conf/valdoria/valdoria.conf");
        QVERIFY(conf.open(QIODevice::WriteOnly));
        if (args.removeAll("CONF"))
            conf.write("[dati]\ncartella /srv/valdoria\n");
        conf.close();
        args.replaceInStrings("DIR", folder.path());
        said.replace("DIR", folder.path());
        QString out;
        QDir::setCurrent(QDir::tempPath()); // no pervaldoria where it starts
        const int ended = run(QStringList{"timeout", "3", Program} + args, &out, env);
        QDir::setCurrent(folder.path());
        QCOMPARE(ended, status < 0 ? 124 : status); // 124: still on show when stopped
        QVERIFY2(out.contains(said) && (status != 0 && !said.isEmpty()) == out.contains("valdoria:"), qPrintable(out));
    }

    // Two pupils' accounts of one group, and one outside it, on a folder the
    // administrator prepared: each pupil stores, the other account is told why not.
    void aSharedFolderForTwoPupils()
    {
        if (geteuid() != 0)
            QSKIP("needs root: it makes three accounts and runs as them (runuser)");
        auto sh = [](const QString &cmd) { return QProcess::execute("sh", {"-c", "{ " + cmd + "; } >/dev/null 2>&1"}); };
        const QString gone = "userdel vd-anna; userdel vd-luca; userdel vd-ospite; groupdel vd-alunni";
        sh(gone);
        QCOMPARE(sh("(getent group vd-alunni || groupadd vd-alunni) && useradd -M -N -G vd-alunni vd-anna "
                    "&& useradd -M -N -G vd-alunni vd-luca && useradd -M -N vd-ospite"), 0);
        QTemporaryDir root; // the program as installed: bin/valdoria beside share/valdoria
        ::chmod(QFile::encodeName(root.path()).constData(), 0755);
        QDir().mkpath(root.filePath("share/valdoria"));
        QDir().mkpath(root.filePath("bin"));
        QVERIFY(QFile::copy(Program, root.filePath("bin/valdoria")));
        QVERIFY(QFile::copy(Course + "/valdoria.mdb", root.filePath("share/valdoria/valdoria.mdb")));
        const QString shared = root.filePath("srv/valdoria"), db = shared + "/valdoria.mdb";
        QString said;
        QCOMPARE(run({root.filePath("bin/valdoria"), "--prepara-cartella", shared, "--gruppo", "vd-alunni"}, &said), 0);
        QVERIFY2(said.contains("(gruppo vd-alunni), permessi rwxrws--- (2770)"), qPrintable(said));
        QCOMPARE(mode(db), 0660);
        const QString me = QCoreApplication::applicationFilePath();
        auto store = [&](const QString &user, QString *why = nullptr) {
            return run({"runuser", "-u", user, "--", me, "--aggiungi", shared, user}, why);
        };
        QCOMPARE(store("vd-anna"), 0);
        QCOMPARE(store("vd-luca"), 0);
        QVERIFY(store("vd-ospite", &said) != 0);
        QVERIFY2(said.contains(shared) && said.contains("l'utente vd-ospite") && said.contains("gruppo vd-alunni"),
                 qPrintable(said));
        // The first start on an empty shared folder makes the file the group's.
        QFile::remove(db);
        run({"runuser", "-u", "vd-anna", "--", "timeout", "3", root.filePath("bin/valdoria"), "--data", shared});
        QCOMPARE(mode(db), 0660);
        QVERIFY(storage::ownership(db).contains("(gruppo vd-alunni)"));
        QCOMPARE(store("vd-luca"), 0);
        sh(gone);
    }

    void cellsASpreadsheetWouldRun_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("written");
        QTest::newRow("formula") << "=1+1" << "'=1+1";
        QTest::newRow("minus and a digit") << "-2+3+cmd|' /C calc'!A0" << "'-2+3+cmd|' /C calc'!A0";
        QTest::newRow("tab") << "\t=1" << "'\t=1";
        QTest::newRow("carriage return") << "\r=1" << "\"'\r=1\"";
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
    storage::Status stored = db ? storage::Status() : storage::Status(storage::Error{db.error()});
    if (db) {
        auto rs = platform::must(db.value()->openRecordset("studenti"));
        rs->addNew();
        rs->setField(storage::Database::NameColumn, name);
        stored = rs->update();
    }
    std::fprintf(stderr, "%s\n", qPrintable(stored.error()));
    return stored ? 0 : 1;
}

int main(int argc, char **argv)
{
    if (argc == 4 && qstrcmp(argv[1], "--aggiungi") == 0) {
        QCoreApplication app(argc, argv);
        return storeAs(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    QApplication app(argc, argv);
    SchoolReady test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_schoolready.moc"
