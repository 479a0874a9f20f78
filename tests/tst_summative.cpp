// The summative test as a pupil takes it from the menu: the name, the pages in
// table order, the two boxes of a row, the incomplete-page message, scoring by
// skill, the grade, the stored row and the result card; the grade rule on its
// own; and stored results that survive a machine switched off and two copies
// of the program writing at once.

#include "testsupport.h"

#include "assessment/frisomma.h"
#include "assessment/fsommati.h"
#include "common/modvaldoria.h"
#include "common/windows.h"
#include "storage/dao.h"
#include "shell/fscelte.h"

#include <QDate>
#include <QListWidget>
#include <QPushButton>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>

#include <csignal>
#include <cstdio>

using namespace testing;
using assessment::FRIsomma;
using assessment::FSommati;
namespace forms = platform::forms;
namespace M = Modvaldoria;

namespace {

const QString Incomplete = "Non hai fornito TUTTE LE RISPOSTE.  Prima di continuare, controlla e completa le risposte.";

// Keeps only the first `pages` pages of the summative table.
void keepPages(int pages)
{
    QSqlQuery q(M::db->connection());
    q.exec(QString("DELETE FROM sommativo WHERE rowid NOT IN (SELECT rowid FROM sommativo ORDER BY rowid LIMIT %1)")
               .arg(pages));
}

FSommati *openTest(const QString &name, ModalAnswers &boxes)
{
    boxes.type(name);
    click(openMenu()->sommativo);
    return qobject_cast<FSommati *>(forms::existing(windows::FSommati));
}

void answer(FSommati *w, const QString &pattern) { answerRows(w->Text1, w->Check1, w->Check2, "sommativo", pattern); }

struct Stored
{
    QString name;
    int total, knowledge, comprehension, application;
    QString grade, date;
};

QList<Stored> storedRows(const QSqlDatabase &db)
{
    QList<Stored> out;
    QSqlQuery q(db);
    q.exec("SELECT \"cognome e nome\", \"punteggio totale\", conscere, comprendere, applicare, valutazione, data "
           "FROM studsomm ORDER BY rowid");
    while (q.next())
        out << Stored{q.value(0).toString(), q.value(1).toInt(), q.value(2).toInt(), q.value(3).toInt(),
                      q.value(4).toInt(), q.value(5).toString(), q.value(6).toString()};
    return out;
}

QList<Stored> storedRows() { return storedRows(M::db->connection()); }

int rowsIn(const QString &file, QString *integrity)
{
    int n = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "check");
        db.setDatabaseName(file);
        db.open();
        QSqlQuery q(db);
        if (q.exec("PRAGMA integrity_check") && q.next())
            *integrity = q.value(0).toString();
        if (q.exec("SELECT count(*) FROM studsomm") && q.next())
            n = q.value(0).toInt();
    }
    QSqlDatabase::removeDatabase("check");
    return n;
}

} // namespace

class tst_summative : public QObject
{
    Q_OBJECT
private slots:
    void init() { freshProgram(); }

    void calcolavoto_data()
    {
        QTest::addColumn<int>("pages");
        QTest::addColumn<QList<int>>("points"); // total, knowledge, comprehension, application
        QTest::addColumn<QList<double>>("percent");
        QTest::addColumn<QString>("grade");
        QTest::newRow("one page all right") << 1 << QList<int>{10, 5, 3, 2} << QList<double>{100, 100, 100, 100}
                                            << "OTTIMO";
        QTest::newRow("all wrong") << 1 << QList<int>{0, 0, 0, 0} << QList<double>{0, 0, 0, 0} << "MOLTO INSUFF.";
        QTest::newRow("24 of 30") << 3 << QList<int>{24, 12, 7, 5} << QList<double>{80, 80, 77.78, 83.33} << "BUONO";
        QTest::newRow("exactly 34") << 5 << QList<int>{17, 9, 5, 3} << QList<double>{34, 36, 33.33, 30}
                                    << "MOLTO INSUFF.";
        QTest::newRow("exactly 55") << 2 << QList<int>{11, 5, 4, 2} << QList<double>{55, 50, 66.67, 50}
                                    << "NON SUFFICIENTE";
        QTest::newRow("exactly 75") << 2 << QList<int>{15, 8, 4, 3} << QList<double>{75, 80, 66.67, 75}
                                    << "SUFFICIENTE";
        QTest::newRow("exactly 85") << 2 << QList<int>{17, 9, 5, 3} << QList<double>{85, 90, 83.33, 75} << "BUONO";
        QTest::newRow("exactly 94") << 5 << QList<int>{47, 24, 14, 9} << QList<double>{94, 96, 93.33, 90}
                                    << "DISTINTO";
        QTest::newRow("94.5") << 20 << QList<int>{189, 95, 56, 38} << QList<double>{94.5, 95, 93.33, 95} << "OTTIMO";
        QTest::newRow("just over 34") << 3 << QList<int>{11, 6, 3, 2} << QList<double>{36.67, 40, 33.33, 33.33}
                                      << "NON SUFFICIENTE";
    }

    void calcolavoto()
    {
        QFETCH(int, pages);
        QFETCH(QList<int>, points);
        QFETCH(QList<double>, percent);
        QFETCH(QString, grade);
        M::numdomsomm = std::int16_t(pages);
        M::somma = points[0];
        M::conosci = points[1];
        M::comprendi = points[2];
        M::applica = points[3];
        M::valuta = QVariant();
        M::calcolavoto();
        const QList<double> got{M::somma.toDouble(), M::conosci.toDouble(), M::comprendi.toDouble(),
                                M::applica.toDouble()};
        for (int i = 0; i < 4; ++i)
            QVERIFY2(qAbs(got[i] - percent[i]) < 0.01, qPrintable(QString::number(got[i])));
        QCOMPARE(M::valuta.toString(), grade);
    }

    void onePage_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QList<int>>("stored");
        QTest::addColumn<QString>("grade");
        QTest::newRow("all right") << "r" << QList<int>{100, 100, 100, 100} << "OTTIMO";
        QTest::newRow("all wrong") << "w" << QList<int>{0, 0, 0, 0} << "MOLTO INSUFF.";
        QTest::newRow("knowledge only") << "rrrrrwwwww" << QList<int>{50, 100, 0, 0} << "NON SUFFICIENTE";
    }

    void onePage()
    {
        QFETCH(QString, pattern);
        QFETCH(QList<int>, stored);
        QFETCH(QString, grade);
        WorkFolder folder;
        Trap trap;
        openMenu();
        keepPages(1);
        ModalAnswers boxes;
        FSommati *w = openTest("Verdi Anna", boxes);
        QVERIFY(w && w->isVisible());
        QVERIFY(!forms::existing(windows::Fscelte)->isVisible());
        answer(w, pattern);
        click(w->cmdAVANTI);
        const QList<Stored> rows = storedRows();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].name, "Verdi Anna");
        QCOMPARE((QList<int>{rows[0].total, rows[0].knowledge, rows[0].comprehension, rows[0].application}), stored);
        QCOMPARE(rows[0].grade, grade);
        QCOMPARE(rows[0].date, QDate::currentDate().toString(Qt::ISODate));
        QCOMPARE(w->cmdAVANTI->text(), "IL TEST E' FINITO");
        QVERIFY(!w->cmdAVANTI->isEnabled());
        QVERIFY(w->cmdRISULT->isVisible());
    }

    void threePagesToBuono()
    {
        // 24 of 30: 12 of 15 knowledge, 7 of 9 comprehension, 5 of 6 application.
        WorkFolder folder;
        Trap trap;
        openMenu();
        keepPages(3);
        ModalAnswers boxes;
        FSommati *w = openTest("D'Amico Luca", boxes);
        const QStringList titles = bankTitles("sommativo");
        const QStringList pages{"wrrrrwrrwr", "wrrrrwrrrr", "wrrrrrrrrr"};
        for (int p = 0; p < 3; ++p) {
            QCOMPARE(w->Text2->text(), titles[p]);
            QCOMPARE(w->cmdAVANTI->text(), "  DOMANDE SUCCESSIVE");
            QVERIFY(!w->cmdRISULT->isVisible());
            for (int i = 0; i < FSommati::Rows; ++i)
                QCOMPARE(w->Text1[i]->text(), bankStatements("sommativo")[p][i]); // in table order
            answer(w, pages[p]);
            click(w->cmdAVANTI);
            QCOMPARE(int(M::numdomsomm), p + 1);
            if (p < 2)
                for (int i = 0; i < FSommati::Rows; ++i)
                    QVERIFY(!w->Check1[i]->isChecked() && !w->Check2[i]->isChecked());
        }
        const Stored row = storedRows().value(0);
        QCOMPARE((QList<int>{row.total, row.knowledge, row.comprehension, row.application}), (QList<int>{80, 80, 77, 83}));
        QCOMPARE(row.grade, "BUONO");

        // The card reads what was stored, each value in its blank stretch.
        click(w->cmdRISULT);
        QVERIFY(!forms::isLoaded(windows::FSommati));
        auto *card = forms::get<FRIsomma>(windows::FRIsomma);
        QVERIFY(card->isVisible());
        QCOMPARE(card->windowTitle(), "RISULTATO DEL TEST SOMMATIVO");
        QCOMPARE(card->Labnome->caption(), "D'Amico Luca");
        QCOMPARE(card->LABsomma->caption(), "80");
        QCOMPARE(card->LABconosci->caption(), "80");
        QCOMPARE(card->LABcomprendi->caption(), "77");
        QCOMPARE(card->LABapplica->caption(), "83");
        QCOMPARE(card->LABvaluta->caption(), "BUONO");
    }

    void anIncompletePageIsRefused()
    {
        WorkFolder folder;
        Trap trap;
        ModalAnswers boxes;
        FSommati *w = openTest("Bianchi Marco", boxes);
        const QString title = w->Text2->text();
        answer(w, "rrrrrrr-rr");
        boxes.press("OK");
        click(w->cmdAVANTI);
        QCOMPARE(boxes.texts.last(), Incomplete);
        QCOMPARE(int(M::numdomsomm), 0);
        QCOMPARE(M::somma.toInt(), 0);
        QCOMPARE(M::conosci.toInt(), 0);
        QCOMPARE(w->Text2->text(), title);
        QVERIFY(w->Check1[0]->isChecked() || w->Check2[0]->isChecked()); // the ticks given stay

        // V then F in a row: only F, answer false; a ticked box clicked again is cleared.
        tick(w->Check1[7]);
        tick(w->Check2[7]);
        QVERIFY(!w->Check1[7]->isChecked() && w->Check2[7]->isChecked());
        QCOMPARE(int(M::rispdate[8]), 0);
        tick(w->Check2[7]);
        QVERIFY(!w->Check2[7]->isChecked());
        boxes.press("OK");
        click(w->cmdAVANTI);
        QCOMPARE(boxes.texts.last(), Incomplete);
        QCOMPARE(int(M::numdomsomm), 0);
        tick(w->Check1[7]);
        click(w->cmdAVANTI);
        QCOMPARE(int(M::numdomsomm), 1);
        QCOMPARE(w->Text2->text(), bankTitles("sommativo")[1]);
    }

    void theMenuAbandonsTheTest()
    {
        WorkFolder folder;
        Trap trap;
        ModalAnswers boxes;
        FSommati *w = openTest("Verdi Anna", boxes);
        answer(w, "r");
        click(w->cmdAVANTI);
        click(w->Command1);
        QVERIFY(!forms::isLoaded(windows::FSommati));
        QVERIFY(forms::existing(windows::Fscelte)->isVisible());
        QVERIFY(storedRows().isEmpty());
        // A second test starts from zero.
        w = openTest("Verdi Anna", boxes);
        QCOMPARE(int(M::numdomsomm), 0);
        QCOMPARE(M::somma.toInt(), 0);
        QCOMPARE(w->Text2->text(), bankTitles("sommativo").first());
    }

    void theExitAsksFirst()
    {
        WorkFolder folder;
        Trap trap;
        ModalAnswers boxes;
        FSommati *w = openTest("Verdi Anna", boxes);
        boxes.press("Annulla");
        click(w->fine);
        QCOMPARE(boxes.texts.last(), "sei sicuro di voler uscire dal programma?");
        QVERIFY(trap.endings.isEmpty());
        boxes.press("OK");
        click(w->fine);
        QCOMPARE(trap.endings, QList<int>{0});
    }

    void aNameIsNeeded()
    {
        // Nothing typed: asked again, with a word of why. Cancelled: back to the menu.
        WorkFolder folder;
        Trap trap;
        ModalAnswers boxes;
        boxes.type("");
        boxes.press("OK");
        FSommati *w = openTest("  Niccolò Bruno ", boxes);
        QCOMPARE(boxes.texts, (QStringList{"Scrivi qui prima il cognome, poi il tuo nome",
                                           "Per cominciare il test scrivi il tuo cognome e il tuo nome.",
                                           "Scrivi qui prima il cognome, poi il tuo nome"}));
        QCOMPARE(M::nomealunno, "  Niccolò Bruno ");
        QVERIFY(w->isVisible());
        QVERIFY(!w->Text1[0]->text().isEmpty());
        click(w->Command1);

        boxes.type("Rossi", true);
        click(openMenu()->sommativo);
        QTRY_VERIFY(!forms::isLoaded(windows::FSommati));
        QVERIFY(forms::existing(windows::Fscelte)->isVisible());
        QVERIFY(storedRows().isEmpty());
    }

    void theCardsWaysOut()
    {
        WorkFolder folder;
        Trap trap;
        openMenu();
        keepPages(1);
        ModalAnswers boxes;
        FSommati *w = openTest("Verdi Anna", boxes);
        answer(w, "r");
        click(w->cmdAVANTI);
        click(w->cmdRISULT);
        auto *card = forms::get<FRIsomma>(windows::FRIsomma);
        boxes.press("Annulla");
        click(card->cmduscita);
        QCOMPARE(boxes.texts.last(), "sei sicuro di voler uscire dal programma?");
        click(card->cmdlista);
        QVERIFY(!forms::isLoaded(windows::FRIsomma));
        QVERIFY(forms::existing(windows::FLIsomm)->isVisible());
        QVERIFY(!forms::existing(windows::Fscelte)->isVisible());
        // There the new row is listed.
        auto *archive = forms::existing(windows::FLIsomm);
        click(archive->findChild<QPushButton *>("cmdtutto"));
        QCOMPARE(archive->findChild<QListWidget *>("Listsomm(0)")->item(0)->text(), "Verdi Anna");
        QCOMPARE(archive->findChild<QListWidget *>("Listsomm(1)")->item(0)->text(), "100");

        // And from another card, back to the menu.
        forms::unload(windows::FLIsomm);
        w = openTest("Bianchi Marco", boxes);
        answer(w, "w");
        click(w->cmdAVANTI);
        click(w->cmdRISULT);
        card = forms::get<FRIsomma>(windows::FRIsomma);
        click(card->cmdscegliarg);
        QVERIFY(!forms::isLoaded(windows::FRIsomma));
        QVERIFY(forms::existing(windows::Fscelte)->isVisible());
    }

    void cardValuesStandInTheirBlanks()
    {
        // Every value, up to "100" and the longest grade, sits between the words
        // of its line and what follows them, at the font on screen.
        WorkFolder folder;
        Trap trap;
        auto *card = forms::get<FRIsomma>(windows::FRIsomma);
        struct Line
        {
            platform::Label *fixed, *value;
            QString words;
        };
        const QList<Line> lines{{card->lblsomma, card->LABsomma, "Punteggio complessivo:"},
                                {card->lblconsci, card->LABconosci, "Conoscere:"},
                                {card->lblcomprendi, card->LABcomprendi, "Comprendere:"},
                                {card->lblapplica, card->LABapplica, "Applicare:"}};
        for (const Line &l : lines) {
            const QFontMetrics fixed(l.fixed->font()), value(l.value->font());
            const QString caption = l.fixed->caption();
            const int blanks = int(caption.indexOf(QRegularExpression("[^ ]", QRegularExpression::NoPatternOption),
                                                   l.words.size()));
            const int from = l.fixed->x() + fixed.horizontalAdvance(l.words);
            const int to = l.fixed->x() + fixed.horizontalAdvance(caption.left(blanks));
            for (const QString v : {"0", "8", "77", "100"}) {
                const int left = l.value->x(), right = l.value->x() + value.horizontalAdvance(v);
                QVERIFY2(left >= from + 2 && right <= to - 2,
                         qPrintable(QString("%1 %2: %3..%4 outside %5..%6").arg(l.words, v).arg(left).arg(right).arg(from).arg(to)));
            }
            QVERIFY(l.value->x() + value.horizontalAdvance("100") <= l.value->x() + l.value->width());
        }
        const QFontMetrics grade(card->LABvaluta->font());
        QVERIFY(card->lblvaluta->x() + QFontMetrics(card->lblvaluta->font()).horizontalAdvance("VALUTAZIONE:")
                < card->LABvaluta->x());
        QVERIFY(grade.horizontalAdvance("NON SUFFICIENTE") < card->LABvaluta->width());
    }

    void aSwitchedOffMachineLosesNoAcknowledgedRow()
    {
        // A child sets out to append far more results than it has time for and
        // says after each one that it is stored; it is killed at a random moment. The file is sound and holds every row
        // that was acknowledged.
        for (int round = 0; round < 5; ++round) {
            WorkFolder folder;
            QProcess child;
            child.setWorkingDirectory(folder.path());
            child.start(QCoreApplication::applicationFilePath(), {"--append-child", "1000000", "K"});
            QVERIFY(child.waitForStarted());
            QVERIFY(child.waitForReadyRead(10000)); // appending has begun
            QTest::qWait(QRandomGenerator::global()->bounded(100));
            if (child.state() == QProcess::Running && child.processId() > 0)
                ::kill(pid_t(child.processId()), SIGKILL);
            if (child.state() != QProcess::NotRunning)
                QVERIFY(child.waitForFinished(10000));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);
            const int acknowledged = int(child.readAllStandardOutput().count('\n'));
            QVERIFY(acknowledged > 0);
            QString integrity;
            const int rows = rowsIn(folder.databaseFile(), &integrity);
            QCOMPARE(integrity, "ok");
            QVERIFY2(rows >= acknowledged, qPrintable(QString("%1 rows, %2 acknowledged").arg(rows).arg(acknowledged)));
            QVERIFY(rows <= acknowledged + 1); // at most the one in flight
        }
    }

    void twoCopiesAppendAtOnce()
    {
        WorkFolder folder;
        QProcess a, b;
        for (QProcess *p : {&a, &b})
            p->setWorkingDirectory(folder.path());
        a.start(QCoreApplication::applicationFilePath(), {"--append-child", "500", "A"});
        b.start(QCoreApplication::applicationFilePath(), {"--append-child", "500", "B"});
        for (QProcess *p : {&a, &b}) {
            QVERIFY(p->waitForFinished(120000));
            QCOMPARE(p->exitCode(), 0);
            const QString said = QString::fromUtf8(p->readAllStandardError());
            QVERIFY2(!said.contains("locked"), qPrintable(said));
        }
        QString integrity;
        QCOMPARE(rowsIn(folder.databaseFile(), &integrity), 1000);
        QCOMPARE(integrity, "ok");
    }
};

// Started by the durability tests: appends `count` summative results as the
// test window does, saying "stored" after each one.
static int appendChild(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = QString::fromLatin1(argv[2]).toInt();
    const QString who = QString::fromLatin1(argv[3]);
    platform::setFatalHandler([](const QString &what) {
        std::fprintf(stderr, "%s\n", qPrintable(what));
        std::_Exit(platform::FatalExitStatus);
    });
    auto db = platform::must(storage::Database::open("pervaldoria\\valdoria.mdb"));
    for (int i = 0; i < count; ++i) {
        auto rs = platform::must(db->openRecordset("studsomm"));
        rs->addNew();
        rs->setField("cognome e nome", QString("Alunno %1 %2").arg(who).arg(i));
        rs->setField("punteggio totale", i % 101);
        rs->setField("conscere", i % 101);
        rs->setField("comprendere", i % 101);
        rs->setField("applicare", i % 101);
        rs->setField("valutazione", "SUFFICIENTE");
        platform::must(rs->update());
        std::printf("stored %d\n", i);
        std::fflush(stdout);
    }
    return 0;
}

int main(int argc, char **argv)
{
    if (argc >= 4 && qstrcmp(argv[1], "--append-child") == 0)
        return appendChild(argc, argv);
    QApplication app(argc, argv);
    tst_summative t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_summative.moc"
