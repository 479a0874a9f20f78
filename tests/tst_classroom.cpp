// In a classroom: the design scaled to the screen, what a screen reader hears, a safe Enter.

#include "testsupport.h"
#include "assessment/fqimage.h"
#include "assessment/fquest.h"
#include "assessment/frisomma.h"
#include "common/windows.h"
#include "lessons/lessonlayouts.h"
#include "lessons/lessonwindow.h"
#include "shell/fscelte.h"

#include <QAccessible>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>

using namespace testing;
using platform::forms::get;

namespace {

// Started on a screen of a given size: the menu, a lesson page, the questionnaire
// and the labelling exercise, each grabbed to look at, and where known controls
// land and where their design puts them ("name x y w h left top width height pixelsize").
int showOnThisScreen(int argc, char **argv)
{
    QApplication app(argc, argv);
    freshProgram();
    WorkFolder folder;
    Trap trap;
    platform::scaleDefaultFont();
    auto show = [](QWidget *window, const char *name, QList<QWidget *> controls) {
        QDir().mkpath(VALDORIA_SCREENS_DIR);
        window->grab().save(QStringLiteral(VALDORIA_SCREENS_DIR "/classroom-%1-%2.png").arg(window->width()).arg(name));
        for (QWidget *c : controls) {
            const QRect g = c->geometry();
            const platform::TwRect d = platform::placement(c);
            std::printf("%s %d %d %d %d %d %d %d %d %d\n", qPrintable(c->objectName()), g.x(), g.y(), g.width(),
                        g.height(), d.left, d.top, d.width, d.height, c->fontInfo().pixelSize());
        }
    };
    platform::forms::show(windows::Fscelte); // shown and active, as at start: the focus ring is on from the first moment
    auto *menu = get<shell::Fscelte>(windows::Fscelte);
    QTest::qWait(50);
    show(menu, "menu", {menu->Command1[1]});
    click(menu->Command1[2]);
    auto *lesson = get<lessons::LessonWindow>(windows::lessonWindowOfCode(8));
    click(lesson->cmdAVANTI);
    show(lesson, "lezione", {lesson->cmdAVANTI, lesson->Labeltit});
    click(lesson->cmdscegli);
    assessment::FQuest *q = openQuestionnaire(2);
    click(q->cmdesercitazione);
    answerRows(q->Text1, q->Check1, q->Check2, "domande2", "wrrrrrrrrr");
    click(q->cmdRISULT);
    show(q, "questionario", {q->Check1[0]});
    click(q->cmdimage);
    auto *w = get<assessment::FQimage>(windows::FQimage);
    click(w->cmdRISULT);
    show(w, "immagine", {w->Label4[0], w->cmdRISULT});
    return 0;
}

QAccessibleInterface *reader(QWidget *w) { return QAccessible::queryAccessibleInterface(w); }

} // namespace

class tst_classroom : public QObject
{
    Q_OBJECT
private slots:
    void init() { freshProgram(); }

    void scaledToTheScreen_data()
    {
        QTest::addColumn<QSize>("screen");
        for (QSize size : {QSize(800, 600), QSize(1366, 768), QSize(1920, 1080)})
            QTest::addRow("%dx%d", size.width(), size.height()) << size;
    }

    void scaledToTheScreen()
    {
        QFETCH(QSize, screen);
        const int width = screen.width(), height = screen.height();
        QTemporaryDir dir;
        QFile config(dir.filePath("screen.json"));
        QVERIFY(config.open(QIODevice::WriteOnly)
                && config.write(QString(R"({"screens":[{"name":"s","x":0,"y":0,"width":%1,"height":%2,"logicalDpi":96,)"
                                        R"("logicalBaseDpi":96,"dpr":1}]})").arg(width).arg(height).toUtf8()) > 0);
        config.close();
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {"--screen"});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitCode(), 0);
        const double s = std::min(width / 800.0, height / 600.0);
        const int left = (width - qRound(800 * s)) / 2;
        const QStringList lines = QString::fromUtf8(child.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 6);
        for (const QString &line : lines) {
            const QStringList f = line.split(' ');
            const QRect at(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt());
            const QRect design = platform::TwRect{f[5].toInt(), f[6].toInt(), f[7].toInt(), f[8].toInt()}.px();
            const QRect expected(left + qRound(design.x() * s), qRound(design.y() * s), qRound(design.width() * s),
                                 qRound(design.height() * s));
            // At 800 x 600 nothing moves; on a larger screen it lands scaled, centred, from the top.
            QVERIFY(width != 800 || at == design);
            const bool small = width >= 1366 && f[0] != "Labeltit" && (at.width() < 24 || at.height() < 24);
            QVERIFY2((at.topLeft() - expected.topLeft()).manhattanLength() <= 2 && !small
                         && (at.bottomRight() - expected.bottomRight()).manhattanLength() <= 2, qPrintable(line));
        }
        QVERIFY(lines[2].section(' ', 9).toInt() >= qRound(19 * s) - 1); // the title's text at the scaled size
    }

    void aScreenReaderHearsWhatIsShown()
    {
        WorkFolder folder;
        Trap trap;
        assessment::FQuest *q = openQuestionnaire(1);
        click(q->cmdesercitazione);
        answerRows(q->Text1, q->Check1, q->Check2, "domande1", "wrrrrrrrrr");
        click(q->cmdRISULT);
        QCOMPARE(reader(q->Labrisult)->text(QAccessible::Name), "Risposte giuste: 9");
        QVERIFY(control<platform::Label>(q, "Mark(0)")->isVisible() && !control<platform::Label>(q, "Mark(1)")->isVisible());
        QCOMPARE(reader(q->Text1[0])->text(QAccessible::Name), "affermazione 1, sbagliata");
        QCOMPARE(reader(q->Text1[1])->text(QAccessible::Name), "affermazione 2");
        click(q->cmdimage);
        auto *w = get<assessment::FQimage>(windows::FQimage);
        const QString box = "casella: l'albero cresciuto nella spaccatura della rupe, ";
        QCOMPARE(reader(w->Label4[4])->text(QAccessible::Name), box + "vuota");
        click(w->Label3[0]); // "Alberi" where the tree in the crack is: wrong
        click(w->Label4[4]);
        click(w->cmdRISULT);
        QVERIFY(w->Label4[4]->isMarked());
        QCOMPARE(reader(w->Label4[4])->text(QAccessible::Name), box + "numero 1, sbagliata");

        for (const lessons::LessonLayout &l : lessons::lessonLayouts()) // every lesson picture says what it shows
            for (const lessons::Page &p : lessons::lessonPages(l.window()).pages)
                for (const QString &f : {p.picture, p.pictureBack})
                    QVERIFY2(f.isEmpty() || !lessons::pictureDescription(f).isEmpty(), qPrintable(f));
        auto *card = get<assessment::FRIsomma>(windows::FRIsomma);
        card->LABvaluta->setCaption("BUONO");
        QCOMPARE(reader(card->LABvaluta)->text(QAccessible::Name), "Valutazione: BUONO");
    }

    void enterOnTheExitBoxKeepsTheProgram()
    {
        WorkFolder folder;
        Trap trap;
        auto *menu = openMenu();
        QString harmless;
        QTimer enter;
        connect(&enter, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                harmless = box->defaultButton()->text();
                QTest::keyClick(box, Qt::Key_Return);
            }
        });
        enter.start(20);
        menu->cmduscita->click();
        QCOMPARE(harmless, "Annulla");
        QVERIFY(trap.endings.isEmpty() && menu->isVisible());
    }
};

TEST_MAIN_WITH_CHILD(tst_classroom, "--screen", showOnThisScreen)
#include "tst_classroom.moc"
