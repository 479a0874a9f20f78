// The animation player opened from a lesson's animation page: frame order, the
// timer view that plays once and rests, the step view that wraps, the speed
// buttons at both limits, and the way back to the same lesson page.

#include "testsupport.h"

#include "animation/fanimaz.h"
#include "animation/sequences.h"
#include "lessons/lessonwindow.h"
#include "shell/fscelte.h"
#include "common/modvaldoria.h"
#include "common/windows.h"

using namespace testing;
using animation::Fanimaz;
using lessons::LessonWindow;
namespace forms = platform::forms;

namespace {

// Opens topic `topic` from the menu, walks to its animation page and presses
// the animation button, as a pupil does.
Fanimaz *openFromLesson(int topic)
{
    click(openMenu()->Command1[topic]);
    auto *lesson = forms::get<LessonWindow>(windows::lessonWindowOfCode(topic + 6));
    while (!lesson->cmdanimazione->isVisible())
        click(lesson->cmdAVANTI);
    click(lesson->cmdanimazione);
    auto *player = forms::get<Fanimaz>("Fanimaz");
    player->Timer1->setEnabled(false); // the test drives the ticks
    return player;
}

QString frameShown(platform::PictureBox *view) { return view->pictureName().section('\\', -1); }

} // namespace

class tst_animation : public QObject
{
    Q_OBJECT
private slots:
    void init() { freshProgram(); }

    void eachAnimationFromItsLesson_data()
    {
        QTest::addColumn<int>("topic");
        QTest::addColumn<QStringList>("frames");
        for (const animation::Sequence &seq : animation::sequences())
            QTest::addRow("%d %s", seq.number, seq.stem) << seq.number << seq.frames;
    }

    void eachAnimationFromItsLesson()
    {
        // Every frame of the sequence is drawn; both views start on frame 1, the
        // timer view plays to the last once and rests there, and plays again when
        // restarted; the step view wraps; back in the lesson the pupil is on the
        // same page, and entering it again starts afresh.
        QFETCH(int, topic);
        QFETCH(QStringList, frames);
        for (const QString &f : frames)
            QVERIFY2(QFile::exists(stagedDataDir() + "/" + f), qPrintable(f));
        WorkFolder folder;
        Trap trap;
        Fanimaz *p = openFromLesson(topic);
        auto *lesson = forms::get<LessonWindow>(windows::lessonWindowOfCode(topic + 6));
        const int page = lesson->pagina();
        QVERIFY(!lesson->isVisible());
        QVERIFY(p->isVisible());
        QCOMPARE(int(Modvaldoria::numanimazione), topic);
        QCOMPARE(p->numfotogrammi(), frames.size());
        QCOMPARE(frameShown(p->Image1), frames[0]);
        QCOMPARE(frameShown(p->Image2), frames[0]);
        QCOMPARE(p->Lab1->caption(), QString());
        for (int i = 2; i <= frames.size(); ++i) {
            p->Timer1->fire();
            QCOMPARE(frameShown(p->Image2), frames[i - 1]);
            QCOMPARE(p->Lab1->caption(), QString::number(i));
        }
        for (int i = 0; i < 3; ++i)
            p->Timer1->fire();
        QCOMPARE(frameShown(p->Image2), frames.last());
        QCOMPARE(p->indanim(), frames.size() + 3);
        QCOMPARE(p->Lab1->caption(), QString::number(frames.size()));
        // Restarted, the timer view plays from frame 1 again.
        click(p->Cmdanim);
        p->Timer1->fire();
        QCOMPARE(frameShown(p->Image2), frames[0]);
        QCOMPARE(p->Lab1->caption(), "1");
        p->Timer1->fire();
        QCOMPARE(frameShown(p->Image2), frames[1]);
        // The step view: the first click shows frame 1; after the last comes frame 1.
        for (int i = 1; i <= frames.size(); ++i) {
            click(p->Command1);
            QCOMPARE(p->Lab1->caption(), QString::number(i));
            QCOMPARE(frameShown(p->Image1), frames[i - 1]);
        }
        QCOMPARE(p->indpasso(), 0);
        click(p->Command1);
        QCOMPARE(frameShown(p->Image1), frames[0]);
        QCOMPARE(p->Lab1->caption(), "1");
        // The number box shows whichever view moved last.
        p->Timer1->fire();
        QCOMPARE(p->Lab1->caption(), "3");
        // The two views side by side, inside the window, above the step button.
        QVERIFY(!p->Image1->geometry().intersects(p->Image2->geometry()));
        QVERIFY(p->Image2->geometry().right() < 800);
        QVERIFY(p->Image1->geometry().bottom() < p->Command1->geometry().top());

        click(p->cmdmaxvel);
        click(p->Cmdtorna);
        QVERIFY(!forms::isLoaded("Fanimaz"));
        QVERIFY(lesson->isVisible());
        QCOMPARE(lesson->pagina(), page);
        QVERIFY(!lesson->cmdanimazione->isVisible());
        click(lesson->Cmdindietro);
        click(lesson->cmdAVANTI);
        QVERIFY(lesson->cmdanimazione->isVisible());
        click(lesson->cmdanimazione);
        auto *again = forms::get<Fanimaz>("Fanimaz");
        QCOMPARE(again->intervallo(), 701);
        QCOMPARE(again->Labvel->caption(), "11");
        QCOMPARE(again->indpasso(), 0);
    }

    void speedLimits_data()
    {
        // From the start (interval 701, level 11): + faster, - slower; which of
        // faster and slower is still on.
        QTest::addColumn<QString>("presses");
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("on");
        QTest::newRow("seven faster") << "+++++++" << 1 << 18 << "+-";
        QTest::newRow("eight faster") << "++++++++" << 1 << 19 << "-";
        QTest::newRow("then one slower") << "++++++++-" << 101 << 18 << "+-";
        QTest::newRow("ten slower") << "----------" << 1701 << 1 << "+-";
        QTest::newRow("eleven slower") << "-----------" << 1800 << 0 << "+";
        QTest::newRow("then one faster") << "-----------+" << 1700 << 1 << "+-";
    }

    void speedLimits()
    {
        QFETCH(QString, presses);
        QFETCH(int, interval);
        QFETCH(int, level);
        QFETCH(QString, on);
        WorkFolder folder;
        Trap trap;
        Fanimaz *p = openFromLesson(2);
        for (QChar c : presses)
            (c == '+' ? p->cmdmaxvel : p->cmdminvel)->press();
        QCOMPARE(p->Timer1->interval(), interval);
        QCOMPARE(p->Labvel->caption(), QString::number(level));
        QCOMPARE(p->cmdmaxvel->isEnabled(), on.contains('+'));
        QCOMPARE(p->cmdminvel->isEnabled(), on.contains('-'));
        if (presses == "++++++++") {
            // At full speed the timer plays by itself to the last frame.
            p->Timer1->setEnabled(true);
            QTRY_COMPARE_WITH_TIMEOUT(frameShown(p->Image2), QString("vento13a.jpg"), 5000);
        }
    }

    void aMissingFrameStopsWithItsName()
    {
        WorkFolder folder;
        Trap trap;
        folder.removePicture("ghiac2.jpg");
        Fanimaz *p = openFromLesson(5);
        const QString message = expectFatal([p] { p->Timer1_Timer(); });
        QVERIFY2(message.contains("pervaldoria\\ghiac2.jpg"), qPrintable(message));
    }
};

QTEST_MAIN(tst_animation)
#include "tst_animation.moc"
