// The picture-labelling exercise as a pupil meets it after the questionnaire:
// each topic's picture, terms and boxes; numbers put on the boxes by dragging,
// by a click on the tile and a click on the box, or by the keyboard alone; the
// score with the red boxes, RIPROVO, the stored row of the test, and the ways
// back to the questionnaire, to the menu and out.

#include "testsupport.h"

#include "assessment/fqimage.h"
#include "assessment/fquest.h"
#include "common/labeltopics.h"
#include "common/modvaldoria.h"
#include "common/windows.h"
#include "shell/fscelte.h"

#include <QAccessible>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QSqlQuery>

using namespace testing;
using assessment::FQimage;
using assessment::FQuest;
using platform::Label;
namespace forms = platform::forms;
namespace M = Modvaldoria;

namespace {

const QColor Red(255, 0, 0);
const QColor Box(255, 224, 192);
const QColor Tile(192, 192, 192);
const QColor Placed(255, 255, 128);

QColor colorOf(QWidget *w) { return w->palette().color(QPalette::Window); }

// To the picture in practice.
FQimage *openInPractice(int topic)
{
    FQuest *q = openQuestionnaire(topic);
    click(q->cmdesercitazione);
    click(q->cmdimage);
    return forms::get<FQimage>(windows::FQimage);
}

// A click on the tile, then a click on the box, as a pupil without a steady
// hand does it.
void put(FQimage *w, int tile, int box)
{
    click(w->Label3[tile - 1]);
    click(w->Label4[box]);
}

// Puts `n` tiles (all by default) right, from the last box used back.
void putRight(FQimage *w, const common::LabelTopic &topic, int n = common::DropBoxCount)
{
    for (int b = common::DropBoxCount - 1; b >= 0 && n > 0; --b)
        if (topic.attesi[b]) {
            put(w, topic.attesi[b], b);
            --n;
        }
}

// '-' hidden, 'd' disabled, 'e' enabled: RISULTATO, RIPROVO, back to practice,
// test, menu, exit, archive.
QString buttons(FQimage *w)
{
    QString out;
    for (auto *b : {w->cmdRISULT, w->cmdriprovo, w->Cmdtorna, w->cmdtest, w->cmdscegliarg, w->cmduscita,
                    w->cmdarchivio})
        out += !b->isVisibleTo(w) ? '-' : b->isEnabled() ? 'e' : 'd';
    return out;
}

// The stored rows, each as "name|topic|score|max".
QStringList storedRows()
{
    QStringList rows;
    QSqlQuery q(M::db->connection());
    q.exec("SELECT \"cognome e nome\" || '|' || argomento || '|' || punteggio || '|' || maxpunti FROM studenti "
           "ORDER BY rowid");
    while (q.next())
        rows << q.value(0).toString();
    return rows;
}

} // namespace

class tst_labelling : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        freshProgram();
        Label::releasePicked();
    }

    void eachTopicInPractice_data()
    {
        QTest::addColumn<int>("topic");
        for (int t = 1; t <= 6; ++t)
            QTest::addRow("topic %d", t) << t;
    }

    void eachTopicInPractice()
    {
        // The topic's picture, terms and boxes; nothing placed is all red,
        // every box right is all counted; RIPROVO clears each time; nothing stored.
        QFETCH(int, topic);
        WorkFolder folder;
        Trap trap;
        FQimage *w = openInPractice(topic);
        const auto &t = *common::labelTopic(topic + 6);
        QVERIFY(w->isVisible());
        QVERIFY(!forms::existing(windows::FQuest)->isVisible());
        QCOMPARE(w->txtTITOLO->text(), t.title);
        QCOMPARE(w->Image1->pictureName(), "pervaldoria\\" + t.picture);
        for (int round = 0;; ++round) {
            for (int i = 0; i < common::DropBoxCount; ++i) {
                const bool used = i < t.terms.size();
                QCOMPARE(w->Label3[i]->isVisibleTo(w), used);
                QCOMPARE(w->Label1[i]->caption(), used ? t.terms[i] : QString());
                QCOMPARE(w->Label4[i]->isVisibleTo(w), t.attesi[i] != 0);
                QCOMPARE(w->Label4[i]->caption(), QString());
                QCOMPARE(colorOf(w->Label4[i]), Box);
                QCOMPARE(colorOf(w->Label3[i]), Tile);
            }
            QCOMPARE(w->txtrisult->text(), QString());
            QCOMPARE(buttons(w), "edeeeed");
            if (round == 2)
                break;
            if (round == 1) {
                putRight(w, t);
                for (int i = 0; i < t.terms.size(); ++i)
                    QCOMPARE(colorOf(w->Label3[i]), Placed);
            }
            click(w->cmdRISULT);
            QCOMPARE(w->txtrisult->text(), QString::number(round ? t.terms.size() : 0));
            for (int i = 0; i < common::DropBoxCount; ++i)
                QCOMPARE(colorOf(w->Label4[i]) == Red, round == 0 && t.attesi[i] != 0);
            QCOMPARE(buttons(w), "deeeeed");
            QVERIFY(storedRows().isEmpty());
            click(w->cmdriprovo);
        }
    }

    void oneTileOnTwoBoxesABoxFilledTwiceAndOut()
    {
        WorkFolder folder;
        Trap trap;
        FQimage *w = openInPractice(5);
        // Tile 2 belongs to box 0: put on boxes 0 and 1, it shows in both.
        put(w, 2, 0);
        put(w, 2, 1);
        QCOMPARE(w->Label4[0]->caption(), "2");
        QCOMPARE(w->Label4[1]->caption(), "2");
        // Box 2 gets 1, then 9: it keeps 9, and tile 1 stays marked as placed.
        put(w, 1, 2);
        put(w, 9, 2);
        QCOMPARE(w->Label4[2]->caption(), "9");
        QCOMPARE(colorOf(w->Label3[0]), Placed);
        click(w->cmdRISULT);
        QCOMPARE(w->txtrisult->text(), "2"); // box 0 (2) and box 2 (9)
        QVERIFY(colorOf(w->Label4[0]) != Red);
        QCOMPARE(colorOf(w->Label4[1]), Red);
        QVERIFY(colorOf(w->Label4[2]) != Red);
        // The ways out: the exit asks first; the menu closes the questionnaire too.
        ModalAnswers boxes;
        boxes.press("Annulla");
        click(w->cmduscita);
        QCOMPARE(boxes.texts, QStringList{"sei sicuro di voler uscire dal programma?"});
        QVERIFY(trap.endings.isEmpty());
        click(w->cmdscegliarg);
        QVERIFY(!forms::isLoaded(windows::FQimage));
        QVERIFY(!forms::isLoaded(windows::FQuest));
        QVERIFY(forms::existing(windows::Fscelte)->isVisible());
    }

    void theTestStoresItsRow_data()
    {
        // Through practice, the picture's window comes back for the test: it
        // is then locked like a window created for it.
        QTest::addColumn<int>("topic");
        QTest::addColumn<bool>("practice");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("placed"); // boxes filled right
        QTest::newRow("topic 1, through practice") << 1 << true << "LA DISGREGAZIONE (immagine)" << 8 << 7;
        QTest::newRow("topic 2") << 2 << false << "IL VENTO. (immagine)" << 6 << 5;
        QTest::newRow("topic 3, through practice") << 3 << true << "I FIUMI. (immagine)" << 8 << 8;
        QTest::newRow("topic 4") << 4 << false << "I FENOMENI CARSICI (immagine)" << 10 << 9;
        QTest::newRow("topic 5") << 5 << false << "I GHIACCIAI (immagine)" << 10 << 9;
        QTest::newRow("topic 6, two blanks, nothing placed") << 6 << false << " IL MARE  (immagine)" << 7 << 0;
    }

    void theTestStoresItsRow()
    {
        QFETCH(int, topic);
        QFETCH(bool, practice);
        QFETCH(QString, stored);
        QFETCH(int, max);
        QFETCH(int, placed);
        WorkFolder folder;
        Trap trap;
        const auto &t = *common::labelTopic(topic + 6);
        int firstBox = 0;
        while (!t.attesi[firstBox])
            ++firstBox;
        ModalAnswers boxes;
        boxes.type("D'Amico Luca");
        FQimage *before = nullptr;
        FQuest *q = nullptr;
        if (practice) {
            before = openInPractice(topic);
            q = forms::get<FQuest>(windows::FQuest);
            put(before, 1, firstBox);
            click(before->cmdRISULT);
            // Back to the questionnaire's practice: the set on show, boxes cleared.
            click(before->Cmdtorna);
            QVERIFY(q->isVisible());
            QVERIFY(!before->isVisible());
            QCOMPARE(M::modotest.toInt(), 0);
            QVERIFY(!q->cmdesercitazione->isVisibleTo(q));
            QCOMPARE(before->Label4[firstBox]->caption(), QString());
            QCOMPARE(before->txtrisult->text(), QString());
            click(q->cmdimage);
            QCOMPARE(forms::get<FQimage>(windows::FQimage), before); // shown again, not created anew
            QVERIFY(before->cmdRISULT->isEnabled());
            // To the test: the name, the sets from the first, then the picture again.
            click(before->cmdtest);
            QVERIFY(!before->isVisible());
            QCOMPARE(M::modotest.toInt(), 1);
            QCOMPARE(q->Text2->text(), bankTitles(QString("domande%1").arg(topic)).first());
        } else {
            q = openQuestionnaire(topic);
            click(q->cmdquestionario);
        }
        // Every set of the test answered, all right, until the picture button is on.
        while (!q->cmdimage->isEnabled() || !q->cmdimage->isVisible()) {
            answerRows(q->Text1, q->Check1, q->Check2, QString("domande%1").arg(topic), "r");
            click(q->cmdRISULT);
            if (q->cmdmostradomande->isEnabled())
                click(q->cmdmostradomande);
        }
        click(q->cmdimage);
        auto *w = forms::get<FQimage>(windows::FQimage);
        QVERIFY(!practice || w == before);
        QCOMPARE(buttons(w), "edddddd");
        putRight(w, t, placed);
        click(w->cmdRISULT);
        QCOMPARE(w->txtrisult->text(), QString::number(placed));
        const QStringList rows = storedRows();
        QCOMPARE(rows.size(), bankTitles(QString("domande%1").arg(topic)).size() + 1);
        QCOMPARE(rows.last(), QString("D'Amico Luca|%1|%2|%3").arg(stored).arg(placed).arg(max));
        QCOMPARE(M::modotest.toInt(), 0);
        QCOMPARE(buttons(w), "ddddeee");
        click(w->cmdarchivio);
        QVERIFY(!forms::isLoaded(windows::FQimage));
        QVERIFY(forms::existing(windows::frmRISUL)->isVisible());
    }

    void pickedWithTheMouseOrTheKeyboard()
    {
        // Tab, Space and Enter through the exercise: tst_keyboard::questionnaireAndPicture.
        WorkFolder folder;
        Trap trap;
        FQimage *w = openInPractice(1);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        // A click picks the tile; a second click lets it go.
        click(w->Label3[2]);
        QCOMPARE(Label::picked(), w->Label3[2]);
        click(w->Label3[2]);
        QCOMPARE(Label::picked(), nullptr);
        // A box clicked with nothing picked stays empty.
        click(w->Label4[4]);
        QCOMPARE(w->Label4[4]->caption(), QString());
        // The arrows go along the tiles too.
        w->Label3[1]->setFocus();
        QTest::keyClick(w->Label3[1], Qt::Key_Right);
        QCOMPARE(QApplication::focusWidget(), w->Label3[2]);
        // Escape lets a picked tile go; the box then takes nothing.
        QTest::keyClick(w->Label3[7], Qt::Key_Space);
        QCOMPARE(Label::picked(), w->Label3[7]);
        QTest::keyClick(w->Label3[7], Qt::Key_Escape);
        QCOMPARE(Label::picked(), nullptr);
        QTest::keyClick(w->Label4[1], Qt::Key_Space);
        QCOMPARE(w->Label4[1]->caption(), QString());
        // The keyboard goes round the boxes clockwise from the top left.
        w->Label4[4]->setFocus();
        QStringList round;
        for (int i = 0; i < 8; ++i) {
            round << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(round, (QStringList{"Label4(4)", "Label4(3)", "Label4(2)", "Label4(1)", "Label4(0)", "Label4(9)",
                                     "Label4(8)", "Label4(5)"}));
    }

    void aScreenReaderCanPlaceToo()
    {
        WorkFolder folder;
        Trap trap;
        FQimage *w = openInPractice(4);
        QAccessibleInterface *tile = QAccessible::queryAccessibleInterface(w->Label3[8]);
        QAccessibleInterface *box = QAccessible::queryAccessibleInterface(w->Label4[0]);
        QCOMPARE(tile->role(), QAccessible::Button);
        QCOMPARE(tile->text(QAccessible::Name), "numero 9");
        QCOMPARE(tile->text(QAccessible::Description), "Stalattiti e stalagmiti");
        QCOMPARE(box->text(QAccessible::Name), "casella: la grotta con le colonne che scendono e salgono, vuota");
        tile->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(tile->state().checked);
        box->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(w->Label4[0]->caption(), "9");
    }

    void draggedWithTheMouse()
    {
        WorkFolder folder;
        Trap trap;
        FQimage *w = openInPractice(6);
        QWidget *target = w->Label4[6];
        Label::setDragRunner([&target](QDrag *drag) {
            const QPoint at = target->rect().center();
            QDragEnterEvent enter(at, Qt::MoveAction, drag->mimeData(), Qt::LeftButton, {});
            QApplication::sendEvent(target, &enter);
            if (enter.isAccepted()) {
                QDropEvent drop(at, Qt::MoveAction, drag->mimeData(), Qt::LeftButton, {});
                QApplication::sendEvent(target, &drop);
            }
        });
        auto drag = [](QWidget *tile) {
            const QPoint from = tile->rect().center();
            QTest::mousePress(tile, Qt::LeftButton, {}, from);
            QTest::mouseMove(tile, from + QPoint(0, QApplication::startDragDistance() + 3));
            QTest::mouseRelease(tile, Qt::LeftButton, {}, from);
        };
        drag(w->Label3[0]); // the cliff, on the middle box of the left
        target = w->txtTITOLO; // not a box
        drag(w->Label3[1]);
        Label::setDragRunner({});
        QCOMPARE(w->Label4[6]->caption(), "1");
        QCOMPARE(colorOf(w->Label3[0]), Placed);
        QCOMPARE(colorOf(w->Label3[1]), Tile);
    }

    void aMissingPictureStopsWithItsName()
    {
        WorkFolder folder;
        Trap trap;
        folder.removePicture("control4.jpg");
        FQuest *q = openQuestionnaire(4);
        click(q->cmdesercitazione);
        const QString message = expectFatal([q] { q->cmdimage_Click(); });
        QVERIFY2(message.contains("pervaldoria\\control4.jpg"), qPrintable(message));
    }
};

QTEST_MAIN(tst_labelling)
#include "tst_labelling.moc"
