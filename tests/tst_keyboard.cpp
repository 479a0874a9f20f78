// Every window used with the keyboard alone, as a pupil without a mouse: keys
// are sent only to the control that has the focus, from the menu through a
// lesson, its animation, the questionnaire and the labelling exercise, the
// summative test and its card, and both archives. And every window read as a
// screen reader reads it: no control a pupil uses without a name.

#include "testsupport.h"

#include "common/modvaldoria.h"
#include "common/windows.h"
#include "lessons/lessonwindow.h"
#include "platform/printer.h"
#include "app/startup.h"

#include <QAccessible>
#include <QCheckBox>
#include <QListWidget>
#include <QSqlQuery>

using namespace testing;
namespace forms = platform::forms;
namespace M = Modvaldoria;

namespace {

QString focusName()
{
    QCoreApplication::processEvents();
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString("(nessuno)");
}

// A key to whatever has the focus, as the keyboard gives it.
void key(Qt::Key k)
{
    QCoreApplication::processEvents(); // as the desktop would between two keys
    QWidget *w = QApplication::focusWidget();
    if (!w)
        w = QApplication::activeWindow();
    if (!w) {
        QTest::qFail("no window has the keyboard", __FILE__, __LINE__);
        return;
    }
    QTest::keyClick(w, k);
}

// Tab until the focus is on `name`; false if it never gets there.
bool tabTo(const QString &name)
{
    for (int i = 0; i < 80; ++i) {
        if (focusName() == name)
            return true;
        key(Qt::Key_Tab);
    }
    return false;
}

platform::Form *window(const QString &name)
{
    platform::Form *w = forms::existing(name);
    if (w && w->isVisible()) {
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w))
            qWarning("%s never became the active window", qPrintable(name));
    }
    return w;
}

#define TAB_TO(name) QVERIFY2(tabTo(name), qPrintable(QString("cannot reach %1, focus on %2").arg(name, focusName())))
// Tabs to a control and presses Return on it.
#define PRESS(name) do { TAB_TO(name); key(Qt::Key_Return); } while (0)
// Presses Return on the control that should have the focus already.
#define PRESS_HERE(name) do { QCOMPARE(focusName(), name); key(Qt::Key_Return); } while (0)

// Ticks every row right with Space. From the first box Tab goes along each
// row, true then false, and down the rows in reading order.
void tabThroughRows(QWidget *w, const QString &table)
{
    TAB_TO("Check1(0)");
    for (int i = 0; i < 10; ++i) {
        const bool isTrue = bankAnswer(table, w->findChild<QLineEdit *>(platform::arrayName("Text1", i))->text()) == 1;
        QCOMPARE(focusName(), platform::arrayName("Check1", i));
        if (isTrue)
            key(Qt::Key_Space);
        key(Qt::Key_Tab);
        QCOMPARE(focusName(), platform::arrayName("Check2", i));
        if (!isTrue)
            key(Qt::Key_Space);
        key(Qt::Key_Tab);
    }
}

// Every interface below `root` that a pupil acts on, with no name to read.
QStringList unnamed(QAccessibleInterface *root)
{
    static const QList<QAccessible::Role> acted{QAccessible::Button, QAccessible::CheckBox, QAccessible::RadioButton,
                                                QAccessible::ComboBox, QAccessible::EditableText, QAccessible::List,
                                                QAccessible::Slider, QAccessible::SpinBox, QAccessible::Link};
    QStringList out;
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface *child = root->child(i);
        if (!child || child->state().invisible)
            continue;
        if (acted.contains(child->role()) && child->text(QAccessible::Name).trimmed().isEmpty())
            out << (child->object() ? child->object()->objectName() : QString("?"));
        if (child->role() != QAccessible::List)
            out << unnamed(child);
    }
    return out;
}

// Reads the window as a screen reader and fails on a nameless control.
void readable(const QString &name)
{
    platform::Form *w = forms::existing(name);
    QVERIFY(w);
    const QStringList missing = unnamed(QAccessible::queryAccessibleInterface(w));
    QVERIFY2(missing.isEmpty(), qPrintable(name + ": no name for " + missing.join(", ")));
}

void app_start()
{
    app::startUp({});
    window(windows::Fscelte);
}

} // namespace

class tst_keyboard : public QObject
{
    Q_OBJECT

private slots:
    void init() { freshProgram(); }

    void everyLessonToItsEnd()
    {
        // Each lesson from the menu to its end page and back by Escape; in
        // lesson 2 also its animation, the arrow keys and start again.
        WorkFolder folder;
        Trap trap;
        app_start();
        QCOMPARE(focusName(), "Command1(1)");
        readable(windows::Fscelte);
        for (int topic = 1; topic <= 7; ++topic) {
            window(windows::Fscelte);
            PRESS(platform::arrayName("Command1", topic));
            const QString name = windows::lessonWindowOfCode(topic + 6);
            const QString forward = topic == 1 ? "Labavanti" : "cmdAVANTI";
            platform::Form *lesson = window(name);
            QVERIFY(lesson && lesson->isVisible());
            QCOMPARE(focusName(), forward);
            readable(name);
            if (topic == 2) {
                key(Qt::Key_Return); // page 2
                key(Qt::Key_Space);  // page 3, the animation
                PRESS("cmdanimazione");
                QVERIFY(window(windows::Fanimaz)->isVisible());
                readable(windows::Fanimaz);
                QCOMPARE(focusName(), "Command1");
                key(Qt::Key_Space);
                PRESS("cmdmaxvel");
                key(Qt::Key_Escape); // back to the lesson, same page
                QVERIFY(!forms::isLoaded(windows::Fanimaz));
                QVERIFY(window(name)->isVisible());
                // The arrow and page keys turn pages, and stop where the buttons do.
                auto *pages = static_cast<lessons::LessonWindow *>(lesson);
                TAB_TO("cmdAVANTI");
                key(Qt::Key_Right);
                key(Qt::Key_PageDown);
                QCOMPARE(pages->pagina(), 5);
                for (Qt::Key k : {Qt::Key_Left, Qt::Key_PageUp, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left})
                    key(k);
                QCOMPARE(pages->pagina(), 1); // the last Left only disabled back, and the one after did nothing
                QVERIFY(!pages->Cmdindietro->isEnabled());
                for (int i = 0; i < 20; ++i)
                    key(Qt::Key_Right);
                QCOMPARE(pages->pagina(), pages->pages().count());
                PRESS("Cmdrivedi"); // start again
                lesson = window(name);
                TAB_TO(forward);
            }
            for (int p = 0; p < 25 && focusName() == forward; ++p)
                key(Qt::Key_Return);
            // On the end page forward is off, and the focus has moved on.
            QVERIFY(!lesson->findChild<QWidget *>(forward)->isEnabled());
            key(Qt::Key_Escape);
            QVERIFY(!forms::isLoaded(name));
            QVERIFY(forms::existing(windows::Fscelte)->isVisible());
        }
    }

    void questionnaireAndPicture()
    {
        WorkFolder folder;
        Trap trap;
        app_start();
        PRESS_HERE("Command1(1)"); // topic 1
        auto *fargom = window("fargom");
        TAB_TO("labquest");
        key(Qt::Key_Space);
        auto *q = window(windows::FQuest);
        QVERIFY(q && q->isVisible());
        PRESS_HERE("cmdesercitazione"); // practice
        readable(windows::FQuest);
        tabThroughRows(q, "domande1");
        PRESS("cmdRISULT");
        QCOMPARE(q->findChild<QLabel *>("Labrisult")->text(), "10");
        // The test, under a name typed at the keyboard.
        ModalAnswers boxes;
        boxes.type("D'Amico Luca");
        PRESS("cmdquestionario");
        for (int s = 0; s < int(bankTitles("domande1").size()); ++s) {
            tabThroughRows(q, "domande1");
            PRESS("cmdRISULT");
            if (s + 1 < bankTitles("domande1").size()) {
                PRESS("cmdmostradomande");
            }
        }
        PRESS("cmdimage");
        auto *w = window(windows::FQimage);
        QVERIFY(w && w->isVisible());
        readable(windows::FQimage);
        // Tile 3 on the top-left box, then the result.
        TAB_TO("Label3(2)");
        key(Qt::Key_Space);
        PRESS("Label4(4)");
        QCOMPARE(w->findChild<platform::Label *>("Label4(4)")->caption(), "3");
        key(Qt::Key_Escape); // locked in the test: nothing happens
        QVERIFY(w->isVisible());
        PRESS("cmdRISULT");
        QSqlQuery rows(M::db->connection());
        rows.exec("SELECT argomento, punteggio FROM studenti ORDER BY rowid DESC LIMIT 1");
        QVERIFY(rows.next());
        QCOMPARE(rows.value(0).toString(), "LA DISGREGAZIONE (immagine)");
        QCOMPARE(rows.value(1).toInt(), 1);
        PRESS("cmdarchivio");
        QVERIFY(window(windows::frmRISUL)->isVisible());
    }

    void summativeAndCard()
    {
        WorkFolder folder;
        Trap trap;
        app_start();
        TAB_TO("sommativo");
        ModalAnswers boxes;
        boxes.type("Verdi Anna");
        key(Qt::Key_Return);
        auto *w = window(windows::FSommati);
        QVERIFY(w && w->isVisible());
        readable(windows::FSommati);
        for (int p = 0; p < int(bankTitles("sommativo").size()); ++p) {
            tabThroughRows(w, "sommativo");
            PRESS("cmdAVANTI");
        }
        PRESS_HERE("cmdRISULT");
        auto *card = window(windows::FRIsomma);
        QVERIFY(card && card->isVisible());
        readable(windows::FRIsomma);
        QCOMPARE(card->findChild<platform::Label *>("LABsomma")->caption(), "100");
        PRESS_HERE("cmdlista");
        QVERIFY(window(windows::FLIsomm)->isVisible());
    }

    void bothArchives()
    {
        WorkFolder folder;
        Trap trap;
        platform::PrintJob::setOutputFile(folder.path() + "/stampa.pdf");
        app_start();
        QSqlQuery q(M::db->connection());
        for (int i = 0; i < 25; ++i) {
            q.exec(QString("INSERT INTO studenti (\"cognome e nome\", argomento, punteggio, maxpunti) "
                           "VALUES ('Alunno %1', 'ARIA E CALORE - 1', 7, 10)").arg(i));
            q.exec(QString("INSERT INTO studsomm (\"cognome e nome\", \"punteggio totale\", valutazione) "
                           "VALUES ('Alunno %1', 80, 'BUONO')").arg(i));
        }
        for (const QString which : {"CMDarchquest", "CMDarchsomm"}) {
            window(windows::Fscelte);
            PRESS(which);
            const QString name = which == "CMDarchquest" ? windows::frmRISUL : windows::FLIsomm;
            auto *a = window(name);
            QVERIFY(a && a->isVisible());
            PRESS_HERE("cmdtutto");
            readable(name);
            PRESS_HERE("Cmdcontinuo");
            QCOMPARE(a->findChild<QListWidget *>("Listsomm(0)")->item(0)->text(), "Alunno 20");
            PRESS("cmdstampa");
            QVERIFY(QFile::exists(folder.path() + "/stampa.pdf"));
            QFile::remove(folder.path() + "/stampa.pdf");
            // To the end of the listing: the summative archive gives the name
            // search back only there.
            PRESS("Cmdcontinuo");
            QCOMPARE(focusName(), "cmdtutto");
            ModalAnswers boxes;
            boxes.type("Alunno 3");
            PRESS("cmdselezione");
            boxes.type("lanterna");
            PRESS("cmdelimina");
            key(Qt::Key_Escape); // back to the menu
            QVERIFY(!forms::isLoaded(name));
        }
        q.exec("SELECT (SELECT count(*) FROM studenti WHERE \"cognome e nome\" = 'Alunno 3') + "
               "(SELECT count(*) FROM studsomm WHERE \"cognome e nome\" = 'Alunno 3')");
        q.next();
        QCOMPARE(q.value(0).toInt(), 0);
        platform::PrintJob::setOutputFile({});
    }

    void theReaderCheckFindsAGap()
    {
        // The check above would see a control with nothing to read.
        QWidget w;
        auto *box = new platform::CheckBox(&w, "Check2(0)", {}, {0, 0, 375, 375});
        new platform::CheckBox(&w, "Check1(0)", "1", {400, 0, 495, 375});
        w.show();
        QCOMPARE(unnamed(QAccessible::queryAccessibleInterface(&w)), QStringList{"Check2(0)"});
        box->setAccessibleName("affermazione 1, falso");
        QVERIFY(unnamed(QAccessible::queryAccessibleInterface(&w)).isEmpty());
    }
};

QTEST_MAIN(tst_keyboard)
#include "tst_keyboard.moc"
