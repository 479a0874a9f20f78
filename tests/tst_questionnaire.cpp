// The true/false questionnaire as a pupil meets it: from the menu into a lesson
// and on to its questionnaire, practice and test, the two boxes of each row, the
// incomplete-answer message, the score and the red rows, the stored rows of the
// test, the random order and its fixed first drawing, and the ways out.

#include "testsupport.h"

#include "assessment/fquest.h"
#include "common/modvaldoria.h"
#include "common/windows.h"
#include "lessons/lessonwindow.h"
#include "shell/fscelte.h"

#include <QDate>
#include <QProcess>
#include <QSqlQuery>

using namespace testing;
using assessment::FQuest;
namespace forms = platform::forms;
namespace M = Modvaldoria;

namespace {

const QString Incomplete = "Non hai fornito TUTTE LE RISPOSTE.  Prima di continuare, controlla e completa le risposte.";
const QColor Red(255, 0, 0);

QString table(int topic) { return QString("domande%1").arg(topic); }

void answer(FQuest *q, int topic, const QString &pattern)
{
    answerRows(q->Text1, q->Check1, q->Check2, table(topic), pattern);
}

QColor rowColor(FQuest *q, int i) { return q->Text1[i]->palette().color(QPalette::Base); }

int redRows(FQuest *q)
{
    int n = 0;
    for (int i = 0; i < FQuest::Rows; ++i)
        n += rowColor(q, i) == Red;
    return n;
}

// The five buttons of the lifecycle: '-' hidden, 'd' shown and disabled, 'e'
// shown and enabled; in the order practice, test, show, result, picture.
QString buttons(FQuest *q)
{
    QString out;
    for (auto *b : {q->cmdesercitazione, q->cmdquestionario, q->cmdmostradomande, q->cmdRISULT, q->cmdimage})
        out += !b->isVisibleTo(q) ? '-' : b->isEnabled() ? 'e' : 'd';
    return out;
}

// The stored rows, each as "name|topic|score|max|date".
QStringList storedRows()
{
    QStringList rows;
    QSqlQuery q(M::db->connection());
    q.exec("SELECT \"cognome e nome\" || '|' || argomento || '|' || punteggio || '|' || maxpunti || '|' || data "
           "FROM studenti ORDER BY rowid");
    while (q.next())
        rows << q.value(0).toString();
    return rows;
}

QStringList shownOrder(FQuest *q)
{
    QStringList out;
    for (auto *t : q->Text1)
        out << t->text();
    return out;
}

} // namespace

class tst_questionnaire : public QObject
{
    Q_OBJECT
private slots:
    void init() { freshProgram(); }

    void practiceThenTheTest_data()
    {
        // Practice goes round every set once and on to the second; the test
        // then starts from the first. Without practice the picture button
        // stays hidden until the test is over.
        QTest::addColumn<int>("topic");
        QTest::addColumn<bool>("practice");
        QTest::addColumn<QString>("name");
        for (int t = 1; t <= 6; ++t)
            QTest::addRow("topic %d", t) << t << (t % 2 == 1) << (t % 3 ? "D'Amico Luca" : "Niccolò Bruno");
    }

    void practiceThenTheTest()
    {
        QFETCH(int, topic);
        QFETCH(bool, practice);
        QFETCH(QString, name);
        WorkFolder folder;
        Trap trap;
        FQuest *q = openQuestionnaire(topic);
        QVERIFY(q && q->isVisible());
        QCOMPARE(buttons(q), "ee---");
        QCOMPARE(M::modotest.toInt(), 0);
        // The lesson went back to page 1, hidden.
        auto *lesson = forms::get<lessons::LessonWindow>(windows::lessonWindowOfCode(topic + 6));
        QVERIFY(!lesson->isVisible());
        QCOMPARE(lesson->pagina(), 1);
        const QStringList titles = bankTitles(table(topic));

        if (practice) {
            click(q->cmdesercitazione);
            // Every statement of the first set is shown once, each with its two empty boxes.
            QStringList shown = shownOrder(q), first = bankStatements(table(topic)).first();
            shown.sort();
            first.sort();
            QCOMPARE(shown, first);
            for (int i = 0; i < FQuest::Rows; ++i)
                QVERIFY(!q->Check1[i]->isChecked() && !q->Check2[i]->isChecked());
            const QStringList patterns{"r", "w", "rrwrrwrrwr"};
            const QList<int> scores{10, 0, 7};
            for (int s = 0; s <= titles.size(); ++s) {
                QCOMPARE(q->Text2->text(), titles[s % titles.size()]);
                QCOMPARE(buttons(q), "-edee");
                const QString pattern = patterns[s % 3];
                answer(q, topic, pattern);
                click(q->cmdRISULT);
                QCOMPARE(q->Labrisult->caption(), QString::number(scores[s % 3]));
                for (int i = 0; i < FQuest::Rows; ++i)
                    QCOMPARE(rowColor(q, i) == Red, (pattern.size() > 1 ? pattern[i] : pattern[0]) == 'w');
                QCOMPARE(buttons(q), "-eede");
                QVERIFY(storedRows().isEmpty());
                // The next set comes on "MOSTRA DOMANDE", with the rows cleared.
                click(q->cmdmostradomande);
                QCOMPARE(redRows(q), 0);
                QCOMPARE(q->Labrisult->caption(), QString());
            }
        }

        ModalAnswers boxes;
        boxes.type(name);
        click(q->cmdquestionario);
        QCOMPARE(boxes.texts, QStringList{"Scrivi qui prima il cognome, poi il tuo nome"});
        QCOMPARE(M::modotest.toInt(), 1);
        const QString picture = practice ? "d" : "-";
        const QStringList patterns{"r", "rrrrrwwwww", "w", "rwrwrwrwrw", "rrrrrrrrrw"};
        const QList<int> scores{10, 5, 0, 5, 9};
        QStringList expected;
        for (int s = 0; s < titles.size(); ++s) {
            QCOMPARE(q->Text2->text(), titles[s]);
            QCOMPARE(buttons(q), "--de" + picture);
            answer(q, topic, patterns[s % patterns.size()]);
            click(q->cmdRISULT);
            const int score = scores[s % scores.size()];
            QCOMPARE(q->Labrisult->caption(), QString::number(score));
            expected << QString("%1|%2|%3|10|%4").arg(name, titles[s]).arg(score).arg(QDate::currentDate().toString(Qt::ISODate));
            if (s + 1 < titles.size()) {
                QCOMPARE(buttons(q), "--ed" + picture);
                click(q->cmdmostradomande);
            }
        }
        // The test part is over: on to the picture, the pointer back on the first set.
        QCOMPARE(buttons(q), "--dde");
        QCOMPARE(M::rsdomande->position(), 0);
        QCOMPARE(M::modotest.toInt(), 1);
        QCOMPARE(storedRows(), expected);
    }

    void theTwoBoxesOfARowAndTheName()
    {
        WorkFolder folder;
        Trap trap;
        FQuest *q = openQuestionnaire(3);
        click(q->cmdesercitazione);
        tick(q->Check1[4]);
        QCOMPARE(int(M::rispdate[5]), 1);
        tick(q->Check2[4]); // "F" after "V": only "F" stays, and the answer is false
        QVERIFY(!q->Check1[4]->isChecked());
        QVERIFY(q->Check2[4]->isChecked());
        QCOMPARE(int(M::rispdate[5]), 0);
        tick(q->Check1[4]);
        QVERIFY(!q->Check2[4]->isChecked());
        QCOMPARE(int(M::rispdate[5]), 1);
        tick(q->Check1[4]); // a ticked box clicked again: the row has no answer
        QVERIFY(!q->Check1[4]->isChecked() && !q->Check2[4]->isChecked());

        answer(q, 3, "rrrr-rrrrr");
        ModalAnswers boxes;
        boxes.press("OK");
        click(q->cmdRISULT);
        QCOMPARE(boxes.texts, QStringList{Incomplete});
        QCOMPARE(boxes.titles, QStringList{"Valdoria"});
        QCOMPARE(q->Labrisult->caption(), QString());
        QCOMPARE(redRows(q), 0);
        QCOMPARE(M::rsdomande->position(), 0);
        QCOMPARE(buttons(q), "-edee");

        // No name (an empty one is asked again), or cancelled: practice goes
        // on as it was.
        const QStringList before = shownOrder(q);
        for (bool cancel : {false, true}) {
            if (!cancel) {
                boxes.type("");
                boxes.press("OK");
            }
            boxes.type("Rossi", true);
            click(q->cmdquestionario);
            QCOMPARE(M::modotest.toInt(), 0);
            QCOMPARE(buttons(q), "-edee");
            QCOMPARE(shownOrder(q), before);
        }

        // In the test an unanswered row stores nothing.
        boxes.type("Rossi Maria");
        click(q->cmdquestionario);
        answer(q, 3, "rrrrrrrrr-");
        boxes.press("OK");
        click(q->cmdRISULT);
        QCOMPARE(boxes.texts.last(), Incomplete);
        QVERIFY(storedRows().isEmpty());
        QCOMPARE(M::rsdomande->position(), 0);
    }

    void aTableOfOneSetWithAWrongKey()
    {
        // A key that is neither true nor false counts wrong whatever is ticked;
        // one set comes round again in a new order; the test stores one row.
        WorkFolder folder;
        Trap trap;
        openMenu();
        QSqlQuery bank(M::db->connection());
        bank.exec("DELETE FROM domande2 WHERE rowid > (SELECT min(rowid) FROM domande2)");
        bank.exec("UPDATE domande2 SET ris1 = 2");
        FQuest *q = openQuestionnaire(2);
        click(q->cmdesercitazione);
        const QStringList first = shownOrder(q);
        const QString broken = bankStatements(table(2)).first().first();
        answer(q, 2, "r");
        click(q->cmdRISULT);
        QCOMPARE(q->Labrisult->caption(), "9");
        for (int i = 0; i < FQuest::Rows; ++i)
            QCOMPARE(rowColor(q, i) == Red, q->Text1[i]->text() == broken);
        click(q->cmdmostradomande);
        QCOMPARE(q->Text2->text(), bankTitles(table(2)).first());
        QStringList again = shownOrder(q);
        QVERIFY2(again != first, "a new order each time");
        again.sort();
        QStringList sorted = first;
        sorted.sort();
        QCOMPARE(again, sorted);

        ModalAnswers boxes;
        boxes.type("Solo Una");
        click(q->cmdquestionario);
        answer(q, 2, "r");
        click(q->cmdRISULT);
        QCOMPARE(storedRows().size(), 1);
        QVERIFY(storedRows().first().startsWith("Solo Una|" + bankTitles(table(2)).first() + "|9|10|"));
        QCOMPARE(buttons(q), "--dde");
    }

    void anEmptyStatementIsAFaultNotAHang()
    {
        WorkFolder folder;
        Trap trap;
        openMenu();
        QSqlQuery(M::db->connection()).exec("UPDATE domande3 SET dom7 = ''");
        FQuest *q = openQuestionnaire(3);
        const QString message = expectFatal([q] { q->cmdesercitazione_Click(); });
        QVERIFY2(message.contains("domande3") && message.contains(bankTitles(table(3)).first()), qPrintable(message));
    }

    void theFirstOrderIsTheSameOnEveryStart()
    {
        // Two starts of the program show the first set in the same order; the
        // orders after the first come from the clock.
        QStringList runs[2];
        for (auto &run : runs) {
            QProcess p;
            p.start(QCoreApplication::applicationFilePath(), {"--orders-child"});
            QVERIFY(p.waitForFinished(30000));
            QCOMPARE(p.exitCode(), 0);
            run = QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
            QCOMPARE(run.size(), 2);
        }
        QCOMPARE(runs[0][0], runs[1][0]);
        QVERIFY(runs[0][1] != runs[1][1]);
        QVERIFY(runs[0][0] != runs[0][1]);
    }

    void helpAndWaysOut()
    {
        WorkFolder folder;
        Trap trap;
        FQuest *q = openQuestionnaire(1);
        ModalAnswers boxes;
        boxes.press("OK");
        click(q->Cmdhelp);
        QVERIFY(boxes.texts.last().startsWith("Hai DUE possibilità"));
        boxes.press("Annulla");
        click(q->cmduscita);
        QCOMPARE(boxes.texts.last(), "sei sicuro di voler uscire dal programma?");
        QVERIFY(trap.endings.isEmpty());
        QVERIFY(q->isVisible());
        click(q->cmdesercitazione);
        const int position = M::rsdomande->position();
        click(q->cmdscegli);
        QVERIFY(!forms::isLoaded(windows::FQuest));
        QVERIFY(!forms::isLoaded(windows::FQimage));
        QVERIFY(forms::existing(windows::Fscelte)->isVisible());
        QCOMPARE(M::rsdomande->position(), position);
    }
};

// Started twice by theFirstOrderIsTheSameOnEveryStart: a fresh program shows
// topic 1's first set, then the next; prints both orders.
static int ordersChild(int argc, char **argv)
{
    QApplication app(argc, argv);
    freshProgram();
    WorkFolder folder;
    FQuest *q = openQuestionnaire(1);
    q->cmdesercitazione_Click();
    std::printf("%s\n", qPrintable(shownOrder(q).join('|')));
    for (int i = 0; i < FQuest::Rows; ++i)
        q->Check1[i]->setValue(1);
    q->cmdRISULT_Click();
    q->cmdmostradomande_Click();
    std::printf("%s\n", qPrintable(shownOrder(q).join('|')));
    std::fflush(stdout);
    platform::forms::unloadAll();
    M::reset();
    return 0;
}

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--orders-child") == 0)
            return ordersChild(argc, argv);
    QApplication app(argc, argv);
    tst_questionnaire t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_questionnaire.moc"
