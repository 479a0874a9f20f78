// Every answer kept with its result, through the windows a pupil uses, and
// deleted with it; a disk full while storing offered again until it is
// stored; and the teacher's view of the class read back from its tables.

#include "testsupport.h"

#include "archives/archivewindow.h"
#include "archives/fandamento.h"
#include "assessment/fqimage.h"
#include "assessment/fquest.h"
#include "assessment/fsommati.h"
#include "common/labeltopics.h"
#include "common/modvaldoria.h"
#include "common/windows.h"
#include "platform/ondemand.h"
#include "platform/printer.h"
#include "shell/fscelte.h"

#include <QDateEdit>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableWidget>

using namespace testing;
namespace forms = platform::forms;
namespace M = Modvaldoria;

namespace {

QStringList rows(const QString &sql)
{
    QStringList out;
    QSqlQuery q(M::db->connection());
    q.exec(sql);
    while (q.next()) {
        QStringList cells;
        for (int c = 0; c < q.record().count(); ++c)
            cells << q.value(c).toString();
        out << cells.join('|');
    }
    return out;
}

// Fills the file to its limit: the next store meets a full disk.
void fillTheDisk()
{
    QSqlQuery q(M::db->connection());
    q.exec("PRAGMA page_count");
    q.next();
    q.exec(QString("PRAGMA max_page_count = %1").arg(q.value(0).toInt()));
    while (q.exec("INSERT INTO risposte (prova, insieme) VALUES ('riempitivo', '" + QString(200, 'x') + "')")) {
    }
}

QString cell(QTableWidget *t, int row, int column) { return t->item(row, column) ? t->item(row, column)->text() : QString(); }

} // namespace

class tst_andamento : public QObject
{
    Q_OBJECT
private slots:
    void init() { freshProgram(); }

    void everyAnswerKeptWithItsResult()
    {
        WorkFolder folder;
        Trap trap;
        assessment::FQuest *q = openQuestionnaire(1);
        ModalAnswers boxes;
        boxes.type("D'Amico Luca");
        click(q->cmdquestionario);
        // The first set meets a full disk: told why, offered again, stored once.
        fillTheDisk();
        answerRows(q->Text1, q->Check1, q->Check2, "domande1", "rrrwwrrrwr");
        boxes.press("Riprova");
        boxes.press("Riprova", [] { QSqlQuery(M::db->connection()).exec("PRAGMA max_page_count = 1000000"); });
        click(q->cmdRISULT);
        QVERIFY2(boxes.texts.last().contains("NON è stato registrato"), qPrintable(boxes.texts.last()));
        const QStringList set1 = bankStatements("domande1").first();
        const QString title = bankTitles("domande1").first();
        QCOMPARE(rows("SELECT count(*) FROM studenti"), QStringList{"1"});
        // Each answer at the statement's stored position, right or wrong as the key says.
        const QStringList answers = rows("SELECT numero, risposta, giusta FROM risposte WHERE prova = 'domande1' AND "
                                         "\"cognome e nome\" = 'D''Amico Luca' AND insieme = '" + title + "' ORDER BY numero");
        QCOMPARE(answers.size(), 10);
        int right = 0;
        for (int k = 0; k < 10; ++k) {
            const QStringList a = answers[k].split('|');
            QCOMPARE(a[0].toInt(), k + 1);
            const int key = bankAnswer("domande1", set1[k]);
            QCOMPARE(a[2].toInt(), int(a[1].toInt() == key));
            right += a[2].toInt();
        }
        QCOMPARE(right, 7);
        for (int s = 1; s < bankTitles("domande1").size(); ++s) {
            click(q->cmdmostradomande);
            answerRows(q->Text1, q->Check1, q->Check2, "domande1", "r");
            click(q->cmdRISULT);
        }
        // The picture: one answer a box, the number placed or none.
        click(q->cmdimage);
        auto *img = forms::get<assessment::FQimage>(windows::FQimage);
        const auto &t = *common::labelTopic(7);
        int used = 0, first = -1;
        for (int i = 0; i < common::DropBoxCount; ++i)
            if (t.attesi[i]) {
                ++used;
                first = first < 0 ? i : first;
            }
        click(img->Label3[t.attesi[first] - 1]);
        click(img->Label4[first]);
        click(img->cmdRISULT);
        QCOMPARE(rows("SELECT count(*), sum(giusta), sum(risposta > 0) FROM risposte WHERE prova = 'immagine1'"),
                 QStringList{QString("%1|1|1").arg(used)});
        // A summative test of one page: its ten answers with its row.
        QSqlQuery(M::db->connection()).exec("DELETE FROM sommativo WHERE rowid > 1");
        boxes.type("D'Amico Luca");
        forms::show(windows::FSommati);
        auto *s = forms::get<assessment::FSommati>(windows::FSommati);
        answerRows(s->Text1, s->Check1, s->Check2, "sommativo", "w");
        click(s->cmdAVANTI);
        QCOMPARE(rows("SELECT count(*), sum(giusta) FROM risposte WHERE prova = 'sommativo'"), QStringList{"10|0"});
        QCOMPARE(rows("SELECT count(*) FROM studsomm"), QStringList{"1"});
        // The pupil's questionnaire results deleted: their answers go with them,
        // the summative test's stay.
        auto *archive = forms::get<archives::ArchiveWindow>(windows::frmRISUL);
        boxes.type("d'amico luca");
        click(archive->cmdselezione);
        boxes.type("lanterna");
        click(archive->cmdelimina);
        QCOMPARE(rows("SELECT prova, count(*) FROM risposte WHERE prova <> 'riempitivo' GROUP BY prova"),
                 QStringList{"sommativo|10"});
        QVERIFY(trap.endings.isEmpty());
    }

    void theClassView()
    {
        WorkFolder folder;
        Trap trap;
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        const QString old = QDate::currentDate().addDays(-60).toString(Qt::ISODate);
        const QString title = bankTitles("domande1").first();
        QSqlQuery q(QSqlDatabase::addDatabase("QSQLITE", "seed"));
        {
            QSqlDatabase seed = QSqlDatabase::database("seed");
            seed.setDatabaseName(folder.databaseFile());
            seed.open();
            q = QSqlQuery(seed);
            q.prepare("INSERT INTO risposte (\"cognome e nome\", prova, insieme, numero, risposta, giusta, data) "
                      "VALUES (?, 'domande1', ?, ?, ?, ?, ?)");
            // Statement 3 wrong for three pupils of four, statement 5 for one;
            // Verdi Anna tries statement 3 again and gets it right; old answers
            // fall outside the last 30 days.
            const QList<QVariantList> answers{
                {"Verdi Anna", 3, 0, 0, today},   {"Bianchi Marco", 3, 0, 0, today}, {"Neri Sara", 3, 0, 0, today},
                {"Rossi Ugo", 3, 1, 1, today},    {"Verdi Anna", 5, 1, 0, today},    {"Bianchi Marco", 5, 0, 1, today},
                {"Verdi Anna", 3, 1, 1, today},   {"Rossi Ugo", 7, 0, 0, old}};
            for (const QVariantList &a : answers) {
                for (const QVariant &v : {a[0], QVariant(title), a[1], a[2], a[3], a[4]})
                    q.addBindValue(v);
                q.exec();
            }
            q.exec("INSERT INTO studsomm (\"cognome e nome\", \"punteggio totale\", valutazione, data) VALUES "
                   "('Verdi Anna', 80, 'BUONO', '" + today + "'), ('Neri Sara', 82, 'BUONO', '" + today + "'), "
                   "('Rossi Ugo', 40, 'NON SUFFICIENTE', '" + old + "')");
            q.exec("INSERT INTO studenti (\"cognome e nome\", argomento, punteggio, maxpunti, data) VALUES "
                   "('Verdi Anna', '" + title + "', 6, 10, '" + today + "')");
        }
        q = QSqlQuery();
        QSqlDatabase::removeDatabase("seed");
        click(openMenu()->CMDandamento);
        auto *v = forms::get<archives::FAndamento>(windows::FAndamento);
        QVERIFY(v->isVisible());
        QTableWidget *t = v->tabellaDOMANDE;
        // Hardest first, with its text; shares are of answers.
        QCOMPARE(t->rowCount(), 2);
        QCOMPARE(cell(t, 0, 1), bankStatements("domande1").first()[2]);
        QCOMPARE(cell(t, 0, 3), "5");
        QCOMPARE(cell(t, 0, 4), "60 %");
        QCOMPARE(cell(t, 1, 4), "50 %");
        t->selectRow(0);
        QVERIFY(v->lblRIPARTIZIONE->caption().startsWith("Risposte: vero 2, falso 3 (su 5)"));
        // Only the first attempt: Verdi Anna's second try is not counted.
        v->chkPRIMO->setValue(1);
        QCOMPARE(cell(t, 0, 3), "4");
        QCOMPARE(cell(t, 0, 4), "75 %");
        // A longer period takes the old answer in; one pupil alone.
        v->dtDAL->setDate(QDate::currentDate().addDays(-90));
        QCOMPARE(t->rowCount(), 3);
        QCOMPARE(cell(v->tabellaVOTI, 1, 1), "1"); // NON SUFFICIENTE
        QCOMPARE(cell(v->tabellaVOTI, 3, 1), "2"); // BUONO
        QCOMPARE(cell(v->tabellaPUNTEGGI, 0, 7), "1"); // topic 1, one set scored 6
        v->txtALUNNO->setText("  VERDI anna ");
        click(v->cmdAGGIORNA);
        QCOMPARE(t->rowCount(), 2);
        QCOMPARE(v->tabellaALUNNO->rowCount(), 2);
        QCOMPARE(cell(v->tabellaALUNNO, 0, 2), "60 %");
        QCOMPARE(cell(v->tabellaSBAGLIATE, 0, 0), bankStatements("domande1").first()[2]);
        // Out: every answer for a spreadsheet, and the view printed with its charts.
        ModalAnswers boxes;
        const QString csv = folder.path() + "/risposte.csv";
        boxes.saveAs(csv);
        boxes.press("OK");
        click(v->cmdESPORTA);
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        QVERIFY2(text.contains("Verdi Anna;domande1;" + title + ";3;") && text.contains(";0;0;" +
                     QDate::currentDate().toString("dd/MM/yyyy")), qPrintable(text));
        QCOMPARE(text.count("\r\n"), 3); // the heading and Verdi Anna's first answers
        platform::PrintJob::setOutputFile(folder.path() + "/andamento.pdf");
        click(v->cmdSTAMPA);
        platform::PrintJob::setOutputFile({});
        QVERIFY(QFile(folder.path() + "/andamento.pdf").size() > 20000); // the charts are pictures
        // A program installed without its on-demand module: the tables stand,
        // each chart says why it is missing, and the listing still prints.
        platform::ondemand::setPlaces({folder.path()});
        forms::unload(windows::FAndamento);
        v = forms::get<archives::FAndamento>(windows::FAndamento);
        QVERIFY2(qobject_cast<platform::Label *>(v->chartVOTI)->caption().contains("libvaldoria_ondemand.so"),
                 qPrintable(qobject_cast<platform::Label *>(v->chartVOTI)->caption()));
        QCOMPARE(cell(v->tabellaVOTI, 3, 1), "2");
        platform::PrintJob::setOutputFile(folder.path() + "/senza grafici.pdf");
        click(v->cmdSTAMPA);
        platform::PrintJob::setOutputFile({});
        platform::ondemand::setPlaces({});
        QVERIFY(QFile(folder.path() + "/senza grafici.pdf").size() > 1000);
        click(v->cmdMENU);
        QVERIFY(forms::existing(windows::Fscelte)->isVisible());
    }
};

QTEST_MAIN(tst_andamento)
#include "tst_andamento.moc"
