// The two archives as the teacher uses them, each test run on both: listings of
// the whole table and of one pupil in screens of 20 rows, the buttons of every
// state, the name search, the access code, deletions, printing on paper and to
// a PDF when the machine has no printer, the spreadsheet export, and the ways out.

#include "testsupport.h"

#include "archives/archivewindow.h"
#include "common/modvaldoria.h"
#include "common/windows.h"
#include "platform/printer.h"
#include "shell/fscelte.h"

#include <QDate>
#include <QAction>
#include <QProcess>
#include <QSqlQuery>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cmath>

using namespace testing;
using archives::ArchiveWindow;
namespace forms = platform::forms;
namespace M = Modvaldoria;

namespace {

const QString WrongCode = "Mi dispiace, o hai sbagliato a scrivere il codice, o non sei autorizzato a cancellare.";
const QString WholeQuestion = "SEI PROPRIO SICURO DI VOLER ELIMINARE TUTTO L'ARCHIVIO?";

bool summative(const QString &which) { return which == "FLIsomm"; }
QString tableOf(const QString &which) { return summative(which) ? "studsomm" : "studenti"; }

// Rows put straight into the table, as many pupils would have left them:
// "data" is the day of `date`.
void addRows(const QString &which, const QString &name, int n, const QDate &date = QDate(2026, 3, 9))
{
    QSqlQuery q(M::db->connection());
    q.exec("BEGIN");
    q.prepare(summative(which) ? "INSERT INTO studsomm (\"cognome e nome\", \"punteggio totale\", conscere, comprendere, "
                                 "applicare, valutazione, data) VALUES (?, ? % 101, 80, 77, 83, 'BUONO', ?)"
                               : "INSERT INTO studenti (\"cognome e nome\", argomento, punteggio, maxpunti, data) "
                                 "VALUES (?, 'ARIA E CALORE - ' || (? % 4 + 1), ? % 11, 10, ?)");
    for (int i = 1; i <= n; ++i) {
        q.addBindValue(name.contains("%1") ? name.arg(i) : name);
        for (int k = summative(which) ? 1 : 2; k > 0; --k)
            q.addBindValue(i);
        q.addBindValue(date.toString(Qt::ISODate));
        if (!q.exec())
            qWarning("cannot add a row");
    }
    q.exec("COMMIT");
}

int rows(const QString &which)
{
    QSqlQuery q(M::db->connection());
    q.exec("SELECT count(*) FROM " + tableOf(which));
    return q.next() ? q.value(0).toInt() : -1;
}

ArchiveWindow *openArchive(const QString &which)
{
    auto *menu = openMenu();
    click(summative(which) ? menu->CMDarchsomm : menu->CMDarchquest);
    auto *w = qobject_cast<ArchiveWindow *>(forms::existing(which));
    if (!w || !w->isVisible() || menu->isVisible())
        qWarning("the archive is not on show");
    return w;
}

QStringList names(ArchiveWindow *w) { return w->Listsomm[0]->items(); }

// The names a screen shows: `from` to `to` of "Alunno %1", then empty rows up to 20.
QStringList screen(int from, int to)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << QString("Alunno %1").arg(i);
    while (out.size() < 20)
        out << QString();
    return out;
}

// The buttons: tutto, selezione, continuo, stampa, elimina ('e' enabled, 'd' not).
QString buttons(ArchiveWindow *w)
{
    QString out;
    for (auto *b : {w->cmdtutto, w->cmdselezione, w->Cmdcontinuo, w->cmdstampa, w->cmdelimina})
        out += b->isEnabled() ? 'e' : 'd';
    return out;
}

void bothArchives()
{
    QTest::addColumn<QString>("which");
    QTest::newRow("questionnaires") << "frmRISUL";
    QTest::newRow("summative") << "FLIsomm";
}

// A line with each item starting at its character column (1-based).
QString at(const QList<QPair<int, QString>> &items)
{
    QString line;
    for (const auto &[column, text] : items)
        line = line.leftJustified(column - 1, ' ') + text;
    return line;
}

QString pdftotext(const QString &option, const QString &file)
{
    QProcess p;
    p.start("pdftotext", {option, file, "-"});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

QString pdfText(const QString &file) { return pdftotext("-layout", file); }

// The lines of a PDF, each word put back at its column: in a fixed-pitch face
// a word's column is its distance from the margin in character widths.
QStringList pdfColumns(const QString &file)
{
    static const QRegularExpression wordTag(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\"[^>]*>([^<]*)</word>");
    struct Word
    {
        double x0, y, x1;
        QString text;
    };
    QList<Word> all;
    for (auto it = wordTag.globalMatch(pdftotext("-bbox", file)); it.hasNext();) {
        const auto m = it.next();
        QString text = m.captured(4);
        text.replace("&apos;", "'").replace("&amp;", "&").replace("&quot;", "\"").replace("&lt;", "<").replace("&gt;", ">");
        all << Word{m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(), text};
    }
    double margin = all.isEmpty() ? 0 : all.first().x0, width = 0;
    for (const Word &w : all) {
        margin = std::min(margin, w.x0);
        width = std::max(width, (w.x1 - w.x0) / w.text.size());
    }
    std::stable_sort(all.begin(), all.end(), [](const Word &a, const Word &b) {
        return qRound(a.y) != qRound(b.y) ? a.y < b.y : a.x0 < b.x0;
    });
    QStringList lines;
    for (int i = 0, lastY = -1; i < all.size(); lastY = qRound(all[i++].y)) {
        if (qRound(all[i].y) != lastY)
            lines << QString();
        lines.last() = lines.last().leftJustified(int(std::lround((all[i].x0 - margin) / width)), ' ') + all[i].text;
    }
    return lines;
}

// Printing goes to a PDF file of the test's own, to be read back.
struct PrintedPdf
{
    QTemporaryDir dir;
    const QString file = dir.path() + "/stampa.pdf";
    PrintedPdf() { platform::PrintJob::setOutputFile(file); }
};

bool canReadPdf() { return !QStandardPaths::findExecutable("pdftotext").isEmpty(); }

} // namespace

class tst_archives : public QObject
{
    Q_OBJECT
    QTemporaryDir home_;

private slots:
    void initTestCase()
    {
        // The file box proposes the user's documents folder: here, a home of the test's own.
        qputenv("HOME", home_.path().toUtf8());
        QDir(home_.path()).mkpath("Documents");
    }

    void init()
    {
        freshProgram();
        platform::PrintJob::setOutputFile({}, true); // this machine has no printer unless a test says so
    }
    void cleanup() { platform::PrintJob::setOutputFile({}); }

    void listingScreens_data()
    {
        // Each step is the screen on show and the buttons then ("*": not
        // looked at); "end" is the listing run out, its rows emptied.
        QTest::addColumn<QString>("which");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("steps");
        for (const char *w : {"frmRISUL", "FLIsomm"}) {
            // The questionnaire archive gives the name search back at once; the
            // summative one only when the listing ends.
            const QString second = summative(w) ? "21-40 ddeee" : "21-40 deeee";
            QTest::addRow("%s, 45 rows", w) << w << 45 << QStringList{"1-20 ddeee", second, "41-45 *", "end eedee"};
            // Nineteen rows offer one more screen, of empty rows.
            QTest::addRow("%s, 19 rows", w) << w << 19 << QStringList{"1-19 ddeee", "1-0 *", "end eedee"};
            QTest::addRow("%s, 7 rows", w) << w << 7 << QStringList{"1-7 eedee"};
            QTest::addRow("%s, empty", w) << w << 0 << QStringList{"1-0 eedee"};
            // No limit on the length: 60 full screens, one of empty rows, the end.
            QStringList long_;
            for (int k = 0; k < 60; ++k)
                long_ << QString("%1-%2 *").arg(20 * k + 1).arg(20 * k + 20);
            QTest::addRow("%s, 1200 rows", w) << w << 1200 << (long_ << "1-0 *" << "end eedee");
        }
    }

    void listingScreens()
    {
        QFETCH(QString, which);
        QFETCH(int, count);
        QFETCH(QStringList, steps);
        WorkFolder folder;
        Trap trap;
        PrintedPdf printed;
        openMenu();
        addRows(which, "Alunno %1", count);
        ArchiveWindow *w = openArchive(which);
        QCOMPARE(buttons(w), "eeddd");
        click(w->cmdtutto);
        if (count == 1200 && canReadPdf()) {
            // Every listed row printed, not only the screen on show, with the heading on each page.
            click(w->cmdstampa);
            const QString text = pdfText(printed.file);
            const QStringList pages = text.split('\f', Qt::SkipEmptyParts);
            QVERIFY(pages.size() >= 15);
            for (const QString &page : pages)
                if (!page.trimmed().isEmpty())
                    QVERIFY(page.trimmed().startsWith("Nome"));
            for (int i = 1; i <= count; ++i)
                QVERIFY2(text.contains(QRegularExpression(QString("Alunno %1 +").arg(i))), qPrintable(QString::number(i)));
        }
        for (int i = 0; i < steps.size(); ++i) {
            if (i > 0)
                click(w->Cmdcontinuo);
            const QString shown = steps[i].section(' ', 0, 0), want = steps[i].section(' ', 1);
            if (shown == "end")
                QVERIFY(names(w).isEmpty());
            else
                QCOMPARE(names(w), screen(shown.section('-', 0, 0).toInt(), shown.section('-', 1).toInt()));
            if (want != "*")
                QCOMPARE(buttons(w), want);
            for (auto *list : w->Listsomm)
                QCOMPARE(list->count(), shown == "end" ? 0 : 20);
            if (i == 0 && count > 0) { // dates in the Italian short form; numbers as they are
                QCOMPARE(w->Listsomm.last()->items().first(), "09/03/2026");
                QCOMPARE(w->Listsomm[summative(which) ? 1 : 2]->items()[2], "3");
            }
        }
        QVERIFY(!w->Cmdcontinuo->isEnabled());
        QCOMPARE(w->dacancellare(), count);
        if (count == 0) {
            ModalAnswers boxes;
            boxes.press("OK");
            click(w->cmdelimina);
            QCOMPARE(boxes.texts, QStringList{"Non c'è nessun elenco da eliminare: scegli prima i dati da mostrare."});
        }
    }

    void onePupilsRows_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("typed");
        for (const char *w : {"frmRISUL", "FLIsomm"}) {
            QTest::addRow("%s, 3 rows, lower case", w) << w << 3 << "niccolò bruno";
            QTest::addRow("%s, 25 rows, capitals", w) << w << 25 << "NICCOLÒ BRUNO";
            QTest::addRow("%s, an apostrophe", w) << w << 2 << "D'AMICO LUCA";
        }
    }

    void onePupilsRows()
    {
        // The listing, then the search for one pupil: a name mistyped or with
        // a blank before it is not found, asked again, then given up; wrong
        // codes delete nothing; the right code deletes that pupil's rows alone.
        QFETCH(QString, which);
        QFETCH(int, count);
        QFETCH(QString, typed);
        WorkFolder folder;
        Trap trap;
        PrintedPdf printed;
        openMenu();
        const QString stored = typed.contains("'") ? "D'Amico Luca" : "Niccolò Bruno";
        addRows(which, "Rossi Maria", 4);
        ArchiveWindow *w = openArchive(which);
        click(w->cmdtutto);
        QCOMPARE(buttons(w), "eedee");
        ModalAnswers boxes;
        boxes.type(typed.chopped(1));
        boxes.press("OK"); // ask again
        boxes.type(" " + typed);
        boxes.press("Annulla");
        boxes.press("OK");
        click(w->cmdselezione);
        QCOMPARE(boxes.texts, (QStringList{"scrivi cognome e nome", "ATTENZIONE, non hai scritto bene il nome",
                                           "scrivi cognome e nome", "ATTENZIONE, non hai scritto bene il nome",
                                           "ABBANDONO QUESTA RICERCA"}));
        QCOMPARE(boxes.titles.first(), "Valdoria");
        // The search given up leaves nothing listed to print or delete.
        QVERIFY(names(w).isEmpty());
        QCOMPARE(buttons(w), "eeddd");
        boxes.type("", true);
        click(w->cmdselezione);
        QVERIFY(names(w).isEmpty());

        addRows(which, "Alunno %1", 30);
        addRows(which, stored, count);
        boxes.type(typed);
        click(w->cmdselezione);
        QCOMPARE(M::nomealunno, typed);
        QCOMPARE(w->modoelenco(), 0);
        QCOMPARE(w->dacancellare(), count);
        // Only that pupil's rows, the first 20 on show.
        QStringList first = QStringList(std::min(count, 20), stored);
        while (first.size() < 20)
            first << QString();
        QCOMPARE(names(w), first);
        QCOMPARE(buttons(w), count < 20 ? "eedee" : "ddeee");

        const QString askCode = "SE SEI AUTORIZZATO A CANCELLARE, scrivi il CODICE";
        const QList<std::tuple<QString, bool, QString>> wrong{
            {"LANTERNA", false, WrongCode}, {"lanterna ", false, WrongCode}, {"", false, askCode}, {"lanterna", true, askCode}};
        for (const auto &[code, cancel, said] : wrong) {
            boxes.type(code, cancel);
            if (said != askCode)
                boxes.press("OK");
            click(w->cmdelimina);
            QCOMPARE(boxes.texts.last(), said);
            QCOMPARE(rows(which), 34 + count);
            QCOMPARE(names(w), first);
        }
        // With the code all of that pupil's rows go, no question asked, and nobody else's.
        boxes.type("lanterna");
        click(w->cmdelimina);
        QCOMPARE(boxes.titles.last(), "CODICE PER LA CANCELLAZIONE");
        QCOMPARE(boxes.texts.last(), askCode);
        QCOMPARE(rows(which), 34);
        QVERIFY(names(w).isEmpty());
        QVERIFY(w->cmdselezione->isEnabled());
        QCOMPARE(w->cmdselezione->text(),
                 summative(which) ? "SELEZIONO i dati da mostrare" : "SELEZIONO i dati ");
        // A second deletion before a new listing deletes nothing.
        boxes.press("OK");
        click(w->cmdelimina);
        QCOMPARE(boxes.texts.last(), "Non c'è nessun elenco da eliminare: scegli prima i dati da mostrare.");
        QCOMPARE(rows(which), 34);
        // Printing then prints the rows that went.
        click(w->cmdstampa);
        if (canReadPdf())
            QCOMPARE(int(pdfText(printed.file).count(stored)), count);
    }

    void savedWithNoPrinterThenAllDeleted_data() { bothArchives(); }
    void savedWithNoPrinterThenAllDeleted()
    {
        QFETCH(QString, which);
        WorkFolder folder;
        Trap trap;
        openMenu();
        addRows(which, "Alunno %1", 12);
        QSqlQuery guard(M::db->connection());
        guard.exec(QString("CREATE TRIGGER guard BEFORE DELETE ON %1 WHEN old.\"cognome e nome\" = 'Alunno 7' "
                           "BEGIN SELECT RAISE(ABORT, 'protetto'); END")
                       .arg(tableOf(which)));
        ArchiveWindow *w = openArchive(which);
        click(w->cmdtutto);
        ModalAnswers boxes;
        // This machine has no printer. No: nothing printed, nothing lost.
        boxes.press("No");
        click(w->cmdstampa);
        QVERIFY(boxes.texts.last().startsWith("Su questo computer non c'è una stampante predefinita."));
        QCOMPARE(rows(which), 12);
        QCOMPARE(names(w), screen(1, 12));
        // Yes: a file box proposing a name in the documents folder.
        QTemporaryDir out;
        const QString pdf = out.path() + "/archivio.pdf";
        QString proposed;
        boxes.press("Sì");
        boxes.saveAs(pdf, &proposed);
        boxes.press("OK");
        click(w->cmdstampa);
        QVERIFY2(proposed.startsWith(home_.path() + "/Documents/"), qPrintable(proposed));
        QVERIFY2(proposed.endsWith(QString(summative(which) ? "risultati del test sommativo %1.pdf"
                                                           : "risultati dei questionari %1.pdf")
                                       .arg(QDate::currentDate().toString(Qt::ISODate))),
                 qPrintable(proposed));
        QVERIFY2(QFile::exists(pdf), qPrintable(boxes.texts.join(" | ")));
        QVERIFY(boxes.texts.last().contains("archivio.pdf"));
        if (canReadPdf())
            QVERIFY(pdfText(pdf).contains("Alunno 12"));
        // A file that cannot be written: told, and nothing else changes.
        QFile blocker(out.path() + "/occupato");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        boxes.press("Sì");
        boxes.saveAs(out.path() + "/occupato/elenco.pdf");
        boxes.press("OK");
        click(w->cmdstampa);
        QVERIFY(boxes.texts.last().startsWith("L'elenco non è stato salvato"));

        // The whole archive: asked once more, all or nothing.
        boxes.type("lanterna");
        boxes.press("No");
        click(w->cmdelimina);
        QCOMPARE(boxes.texts.last(), WholeQuestion);
        QCOMPARE(rows(which), 12);
        QCOMPARE(names(w), screen(1, 12));
        // One row that cannot go: none goes, and the listing stays to try again.
        boxes.type("lanterna");
        boxes.press("Sì");
        boxes.press("OK");
        click(w->cmdelimina);
        QVERIFY2(boxes.texts.last().contains("nessuna riga è stata cancellata"), qPrintable(boxes.texts.last()));
        QCOMPARE(rows(which), 12);
        QCOMPARE(names(w), screen(1, 12));
        QVERIFY(trap.endings.isEmpty());
        guard.exec("DROP TRIGGER guard");
        boxes.type("lanterna");
        boxes.press("Sì");
        click(w->cmdelimina);
        QCOMPARE(rows(which), 0);
        QVERIFY(names(w).isEmpty());
        // A row stored since the listing is not the teacher's to lose.
        addRows(which, "Nuovo Arrivo", 1);
        click(w->cmdtutto);
        QCOMPARE(names(w), QStringList{"Nuovo Arrivo"} + QStringList(19, QString()));
    }

    void printedAndExported_data() { bothArchives(); }
    void printedAndExported()
    {
        // Every word on paper stands at the character column its item was
        // given: the words are read back from the PDF with their positions.
        // The same rows exported for a spreadsheet, a formula and quotes in a
        // name made harmless.
        QFETCH(QString, which);
        WorkFolder folder;
        Trap trap;
        PrintedPdf printed;
        openMenu();
        const QString odd = "=Rossi; \"Maria\" Anna Lucia";
        addRows(which, "D'Amico Niccolò", 2, QDate(2026, 11, 30));
        addRows(which, odd, 1, QDate(2026, 12, 1));
        ArchiveWindow *w = openArchive(which);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        ModalAnswers boxes;
        // Nothing listed yet: nothing to export.
        boxes.press("OK");
        QTest::keyClick(w, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(boxes.texts.last(), "Non c'è nessun elenco da esportare: scegli prima i dati da mostrare.");
        click(w->cmdtutto);
        click(w->cmdstampa);
        QStringList expected;
        if (summative(which)) {
            expected << at({{1, "Nome"}, {23, "Tot"}, {27, "Valutazione"}, {45, "Con"}, {50, "Comp"}, {55, "App"}, {60, "Data"}});
            for (const char *n : {"1", "2"})
                expected << at({{1, "D'Amico Niccolò"}, {23, n}, {27, "BUONO"}, {45, "80"}, {50, "77"}, {55, "83"}, {60, "30/11/2026"}});
            // A name past column 23 pushes the rest of its row onto the next line.
            expected << at({{1, odd}}) << at({{23, "1"}, {27, "BUONO"}, {45, "80"}, {50, "77"}, {55, "83"}, {60, "01/12/2026"}});
        } else {
            // The heading's columns are not the rows' columns.
            expected << at({{1, "Nome"}, {18, "Tipo eserc."}, {38, "Risp. giuste"}, {51, "Max punti"}, {62, "Data"}});
            expected << at({{1, "D'Amico Niccolò"}, {23, "ARIA E CALORE - 2"}, {47, "1"}, {53, "10"}, {60, "30/11/2026"}});
            expected << at({{1, "D'Amico Niccolò"}, {23, "ARIA E CALORE - 3"}, {47, "2"}, {53, "10"}, {60, "30/11/2026"}});
            expected << at({{1, odd}}) << at({{23, "ARIA E CALORE - 2"}, {47, "1"}, {53, "10"}, {60, "01/12/2026"}});
        }
        if (canReadPdf())
            QCOMPARE(pdfColumns(printed.file), expected);

        QTemporaryDir out;
        const QString csv = out.path() + "/elenco.csv";
        QString proposed;
        boxes.saveAs(csv, &proposed);
        boxes.press("OK");
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keyClick(w, Qt::Key_E, Qt::ControlModifier);
        QVERIFY2(proposed.endsWith(".csv"), qPrintable(proposed));
        QVERIFY(boxes.texts.last().contains("elenco.csv"));
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(bytes.mid(3)).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        if (summative(which)) {
            QCOMPARE(lines[0], "NOME;TOTALE %;VALUTAZIONE;CONOSCENZE %;COMPRENS. %;ESTRAPOL. %;DATA");
            QCOMPARE(lines[1], "D'Amico Niccolò;1;BUONO;80;77;83;30/11/2026");
            QCOMPARE(lines[3], "\"'=Rossi; \"\"Maria\"\" Anna Lucia\";1;BUONO;80;77;83;01/12/2026");
        } else {
            QCOMPARE(lines[0], "NOME;TIPO ESERCIZIO;Risposte GIUSTE;MAX PUNTI;DATA");
            QCOMPARE(lines[1], "D'Amico Niccolò;ARIA E CALORE - 2;1;10;30/11/2026");
            QCOMPARE(lines[3], "\"'=Rossi; \"\"Maria\"\" Anna Lucia\";ARIA E CALORE - 2;1;10;01/12/2026");
        }
        // The same from the window's context menu.
        QCOMPARE(w->contextMenuPolicy(), Qt::ActionsContextMenu);
        QCOMPARE(w->actions().size(), 1);
        QVERIFY(w->actions().first()->text().startsWith("Esporta"));
    }

    void waysOut_data() { bothArchives(); }
    void waysOut()
    {
        QFETCH(QString, which);
        WorkFolder folder;
        Trap trap;
        auto *menu = openMenu();
        // A questionnaire left open behind the menu.
        click(menu->Command1[1]);
        forms::press(windows::FQuest, "cmdesercitazione");
        forms::existing(windows::FQuest)->hide();
        forms::existing("fargom")->hide();
        ArchiveWindow *w = openArchive(which);
        click(w->cmdcseltaarg);
        QVERIFY(!forms::isLoaded(which));
        QVERIFY(menu->isVisible());
        // Only the questionnaire archive closes the questionnaire too.
        QCOMPARE(forms::isLoaded(windows::FQuest), summative(which));

        w = openArchive(which);
        ModalAnswers boxes;
        if (summative(which)) {
            boxes.press("Annulla");
            click(w->cmduscita);
            QCOMPARE(boxes.texts.last(), "sei sicuro di voler uscire dal programma?");
            QVERIFY(trap.endings.isEmpty());
            boxes.press("OK");
        }
        click(w->cmduscita);
        QCOMPARE(trap.endings, QList<int>{0});
    }

};

QTEST_MAIN(tst_archives)
#include "tst_archives.moc"
