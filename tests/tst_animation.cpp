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
    auto *menu = forms::get<shell::Fscelte>("Fscelte");
    menu->show();
    click(menu->Command1[topic]);
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

    void framesInPlayedOrder_data()
    {
        QTest::addColumn<int>("topic");
        QTest::addColumn<QStringList>("frames");
        for (const animation::Sequence &seq : animation::sequences())
            QTest::addRow("%d %s", seq.number, seq.stem) << seq.number << seq.frames;
    }

    void framesInPlayedOrder()
    {
        QFETCH(int, topic);
        QFETCH(QStringList, frames);
        WorkFolder folder;
        Trap trap;
        Fanimaz *p = openFromLesson(topic);
        QCOMPARE(int(Modvaldoria::numanimazione), topic);
        QCOMPARE(p->numfotogrammi(), frames.size());
        // Both views start on frame 1, the number box empty.
        QCOMPARE(frameShown(p->Image1), frames[0]);
        QCOMPARE(frameShown(p->Image2), frames[0]);
        QCOMPARE(p->Lab1->caption(), QString());
        QCOMPARE(p->Labvel->caption(), "11");
        QCOMPARE(p->Timer1->interval(), 701);
        // The timer view plays frames 2 to the last once, then rests on the last.
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
        // Every distinct frame is a picture of the same size, side by side in the window.
        QCOMPARE(p->Image2->size(), QSize(300, 240));
        QVERIFY(!p->Image1->geometry().intersects(p->Image2->geometry()));
        QVERIFY(p->Image2->geometry().right() < 800);
        QVERIFY(p->Image1->geometry().bottom() < p->Command1->geometry().top());
    }

    void sequencesThatRepeatFrames()
    {
        // What the pupil sees of the two sequences that show a frame more than once.
        const auto all = animation::sequences();
        const QStringList granit = all[0].frames, terraz = all[2].frames;
        for (int i = 1; i <= 10; ++i)
            QCOMPARE(granit[i], i % 2 ? "granit2.jpg" : "granit3.jpg");
        QCOMPARE(granit.mid(11), QStringList({"granit5.jpg", "granit4.jpg"}));
        QCOMPARE(terraz.count("terraz6.jpg"), 2);
        QCOMPARE(terraz.count("terraz7.jpg"), 2);
        QCOMPARE(terraz.size(), 16);
    }

    void restartAndStepByHand()
    {
        WorkFolder folder;
        Trap trap;
        Fanimaz *p = openFromLesson(3);
        const int n = p->numfotogrammi();
        for (int i = 0; i < n + 5; ++i)
            p->Timer1->fire();
        click(p->Cmdanim);
        p->Timer1->fire();
        QCOMPARE(frameShown(p->Image2), "terraz1.jpg");
        QCOMPARE(p->Lab1->caption(), "1");
        p->Timer1->fire();
        QCOMPARE(frameShown(p->Image2), "terraz2.jpg");

        // The step view: the first click shows frame 1; after the last comes frame 1.
        for (int i = 1; i <= n; ++i) {
            click(p->Command1);
            QCOMPARE(p->Lab1->caption(), QString::number(i));
            QCOMPARE(frameShown(p->Image1), p->fotogramma(i).section('\\', -1));
        }
        QCOMPARE(p->indpasso(), 0);
        click(p->Command1);
        QCOMPARE(frameShown(p->Image1), "terraz1.jpg");
        QCOMPARE(p->Lab1->caption(), "1");
        // The number box shows whichever view moved last.
        p->Timer1->fire();
        QCOMPARE(p->Lab1->caption(), "3");
    }

    void speedLimits_data()
    {
        QTest::addColumn<QString>("presses"); // + faster, - slower
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("fasterOn");
        QTest::addColumn<bool>("slowerOn");
        QTest::newRow("seven faster") << "+++++++" << 1 << 18 << true << true;
        QTest::newRow("eight faster") << "++++++++" << 1 << 19 << false << true;
        QTest::newRow("then one slower") << "++++++++-" << 101 << 18 << true << true;
        QTest::newRow("ten slower") << "----------" << 1701 << 1 << true << true;
        QTest::newRow("eleven slower") << "-----------" << 1800 << 0 << true << false;
        QTest::newRow("then one faster") << "-----------+" << 1700 << 1 << true << true;
    }

    void speedLimits()
    {
        QFETCH(QString, presses);
        QFETCH(int, interval);
        QFETCH(int, level);
        QFETCH(bool, fasterOn);
        QFETCH(bool, slowerOn);
        WorkFolder folder;
        Trap trap;
        Fanimaz *p = openFromLesson(2);
        for (QChar c : presses)
            (c == '+' ? p->cmdmaxvel : p->cmdminvel)->press();
        QCOMPARE(p->intervallo(), interval);
        QCOMPARE(p->Timer1->interval(), interval);
        QCOMPARE(p->Labvel->caption(), QString::number(level));
        QCOMPARE(p->cmdmaxvel->isEnabled(), fasterOn);
        QCOMPARE(p->cmdminvel->isEnabled(), slowerOn);
    }

    void theTimerPlaysByItself()
    {
        WorkFolder folder;
        Trap trap;
        Fanimaz *p = openFromLesson(6);
        for (int i = 0; i < 8; ++i)
            click(p->cmdmaxvel);
        QCOMPARE(p->Timer1->interval(), 1);
        p->Timer1->setEnabled(true);
        QTRY_COMPARE_WITH_TIMEOUT(frameShown(p->Image2), QString("fales17.jpg"), 5000);
    }

    void backToTheSamePage_data()
    {
        QTest::addColumn<int>("topic");
        for (int t = 1; t <= 6; ++t)
            QTest::addRow("topic %d", t) << t;
    }

    void backToTheSamePage()
    {
        QFETCH(int, topic);
        WorkFolder folder;
        Trap trap;
        Fanimaz *p = openFromLesson(topic);
        const QString name = windows::lessonWindowOfCode(topic + 6);
        auto *lesson = forms::get<LessonWindow>(name);
        const int page = lesson->pagina();
        QVERIFY(!lesson->isVisible());
        QVERIFY(p->isVisible());
        click(p->cmdmaxvel);
        click(p->Cmdtorna);
        QVERIFY(!forms::isLoaded("Fanimaz"));
        QVERIFY(lesson->isVisible());
        QCOMPARE(lesson->pagina(), page);
        QVERIFY(!lesson->cmdanimazione->isVisible());
        // Entering the page again offers the animation again, from the start.
        click(lesson->Cmdindietro);
        click(lesson->cmdAVANTI);
        QVERIFY(lesson->cmdanimazione->isVisible());
        click(lesson->cmdanimazione);
        auto *again = forms::get<Fanimaz>("Fanimaz");
        QCOMPARE(again->intervallo(), 701);
        QCOMPARE(again->Labvel->caption(), "11");
        QCOMPARE(again->indpasso(), 0);
    }

    void graniteViewsMoveApart()
    {
        WorkFolder folder;
        Trap trap;
        Fanimaz *p = openFromLesson(1);
        // Moved, then sized by the frame it shows.
        QCOMPARE(platform::placement(p->Image2), (platform::TwRect{6280, 960, 4500, 3600}));
        QCOMPARE(p->Image1->pos(), QPoint(64, 64));
        QVERIFY(!p->Image1->geometry().intersects(p->Image2->geometry()));
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

    void everySequenceHasItsFrames()
    {
        // The renderer and the player read one table; every frame it names is drawn.
        int distinct = 0;
        QSet<QString> seen;
        for (const auto &s : animation::sequences())
            for (const QString &f : s.frames)
                if (!seen.contains(f)) {
                    seen.insert(f);
                    ++distinct;
                    QVERIFY2(QFile::exists(stagedDataDir() + "/" + f), qPrintable(f));
                }
        QCOMPARE(distinct, 98);
    }
};

QTEST_MAIN(tst_animation)
#include "tst_animation.moc"
