// The window layer: window lifecycle by name, controls that code can drive,
// pictures by data-folder path, modal boxes, the printer's columns and the
// random generator.

#include "testsupport.h"

#include "platform/dialogs.h"
#include "platform/printer.h"
#include "platform/rnd.h"

#include <QAccessible>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QDrag>
#include <QMessageBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QTimer>

#include <cstdio>

using namespace testing;
using namespace platform;

namespace {

int loads = 0;

class Probe : public Form
{
    Q_OBJECT
public:
    Probe() : Form("Probe") {}
    void Form_Load() override
    {
        ++loads;
        button = new CommandButton(this, "cmdProva", "Prova", {120, 240, 1500, 495});
    }
    CommandButton *button = nullptr;
};

} // namespace

class tst_platform : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        installFontSubstitutes();
        forms::registerForm("Probe", [] { return new Probe; });
    }
    void init()
    {
        forms::unloadAll();
        loads = 0;
    }

    void windowsExistOnceAndReloadAfterUnload()
    {
        Form *a = forms::load("Probe");
        QCOMPARE(forms::load("Probe"), a); // loading an existing window does nothing
        QCOMPARE(loads, 1);
        QVERIFY(!a->isVisible());
        a->setVisible(true);
        a->setVisible(false);
        QCOMPARE(loads, 1); // hiding keeps it

        QPointer<Form> old = a;
        forms::unload("Probe");
        QVERIFY(!forms::isLoaded("Probe"));
        QVERIFY(old); // still alive until the current event is over
        Form *b = forms::get<Probe>("Probe"); // touching it loads it anew, hidden
        QCOMPARE(loads, 2);
        QVERIFY(!b->isVisible());
        QTRY_VERIFY(!old);
    }

    void twips()
    {
        QCOMPARE(tw(4510), 301); // odd twips round to the nearest pixel
        auto *probe = forms::get<Probe>("Probe");
        place(probe->button, {4440, 720, 6255, 4575});
        QCOMPARE(placement(probe->button), (TwRect{4440, 720, 6255, 4575}));
        QCOMPARE(arrayName("Check1", 3), "Check1(3)");
    }

    void buttonsPressedFromCode()
    {
        auto *probe = forms::get<Probe>("Probe");
        QSignalSpy clicks(probe->button, &CommandButton::Click);
        probe->button->press(); // the window is hidden
        probe->button->setEnabled(false);
        probe->button->press();
        QCOMPARE(clicks.count(), 2);
        probe->show();
        click(probe->button); // a disabled button ignores the mouse
        QCOMPARE(clicks.count(), 2);
        probe->button->setEnabled(true);
        click(probe->button);
        QCOMPARE(clicks.count(), 3);
    }

    void clickAreasReactOnlyWhileEnabled()
    {
        auto *probe = forms::get<Probe>("Probe");
        probe->show();
        auto *area = new ClickArea(probe, "cmdAVANTI", {9360, 6600, 1455, 615}, "Pagina successiva");
        area->show();
        QSignalSpy clicks(area, &ClickArea::Click);
        click(area);
        QCOMPARE(clicks.count(), 1);
        area->setEnabled(false);
        click(area);
        area->click();
        QCOMPARE(clicks.count(), 1);

        QAccessibleInterface *ai = QAccessible::queryAccessibleInterface(area);
        QVERIFY(ai);
        QCOMPARE(ai->role(), QAccessible::Button);
        QCOMPARE(ai->text(QAccessible::Name), "Pagina successiva");
        area->setEnabled(true);
        QVERIFY(ai->actionInterface());
        ai->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(clicks.count(), 2);
    }

    void checkBoxesRaiseClickWhenCodeChangesThem()
    {
        auto *probe = forms::get<Probe>("Probe");
        probe->show();
        auto *box = new CheckBox(probe, "Check1(0)", "1", {9600, 840, 495, 375});
        box->show();
        QSignalSpy clicks(box, &CheckBox::Click);
        box->setValue(1);
        QCOMPARE(box->value(), 1);
        box->setValue(1); // no change, no event
        QCOMPARE(clicks.count(), 1);
        click(box);
        QCOMPARE(box->value(), 0);
        QCOMPARE(clicks.count(), 2);
    }

    void picturesByDataFolderPath()
    {
        WorkFolder folder;
        Trap trap;
        auto *probe = forms::get<Probe>("Probe");
        auto *unscaled = new PictureBox(probe, "Image1", {1320, 720, 3000, 2250});
        unscaled->loadPicture("PERVALDORIA\\Vento.JPG"); // letter case does not matter
        QCOMPARE(unscaled->size(), QSize(200, 150));
        QCOMPARE(unscaled->pos(), QPoint(88, 48));
        auto *scaled = new PictureBox(probe, "Image1", {1320, 960, 5175, 4095}, true);
        scaled->loadPicture("pervaldoria\\vento.jpg");
        QCOMPARE(scaled->size(), QSize(345, 273));
        const QString message = expectFatal([&] { unscaled->loadPicture("pervaldoria\\nessuna.jpg"); });
        QVERIFY(message.contains("pervaldoria\\nessuna.jpg"));
        QCOMPARE(unscaled->pictureName(), "PERVALDORIA\\Vento.JPG");
    }

    void messageBoxes()
    {
        ModalAnswers answers;
        answers.press("OK");
        answers.press("Annulla");
        answers.press("No");
        answers.type("  Rossi Mario ");
        answers.type("Bianchi", true);
        QCOMPARE(msgBox("Primo messaggio"), Answer::Ok);
        QCOMPARE(msgBox("Secondo?", Buttons::OkCancel, "Titolo"), Answer::Cancel);
        QCOMPARE(msgBox("Terzo?", Buttons::YesNo), Answer::No);
        QCOMPARE(inputBox("Nome?"), "  Rossi Mario ");
        QCOMPARE(inputBox("Nome?"), QString());
        QCOMPARE(answers.titles, (QStringList{"Valdoria", "Titolo", "Valdoria", "Valdoria", "Valdoria"}));
        QCOMPARE(answers.texts.first(), "Primo messaggio");
        QCOMPARE(answers.pending(), 0);
    }

    void printerColumns_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("columns") << QStringList{"T1", "Nome", "T18", "Tipo", "E"}
                                 << QStringList{"Nome             Tipo"};
        QTest::newRow("past the column goes to the next line")
            << QStringList{"T1", "Un nome davvero lungo", "T10", "x"}
            << QStringList{"Un nome davvero lungo", "         x"};
        QTest::newRow("rows without end of line") << QStringList{"T1", "a", "T5", "b", "T1", "c", "T5", "d"}
                                                  << QStringList{"a   b", "c   d"};
    }

    void printerColumns()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, expected);
        PrintJob job;
        for (const QString &step : lines) {
            if (step == "E")
                job.endLine();
            else if (step.startsWith('T') && step.size() > 1 && step[1].isDigit())
                job.tab(step.mid(1).toInt());
            else
                job.text(step);
        }
        QCOMPARE(job.lines(), expected);
    }

    void printingToAFile()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext is not installed");
        QTemporaryDir dir;
        PrintJob::setOutputFile(dir.path() + "/stampa.pdf");
        PrintJob job;
        job.text("Nome");
        job.tab(18);
        job.text("Tipo eserc.");
        job.endLine();
        job.tab(1);
        job.text("D'Amico Luca");
        job.tab(23);
        job.text("IL VENTO.");
        QString error;
        QVERIFY2(job.endDoc(&error), qPrintable(error));
        PrintJob::setOutputFile({});
        QProcess p;
        p.start("pdftotext", {"-layout", dir.path() + "/stampa.pdf", "-"});
        QVERIFY(p.waitForFinished());
        const QString text = QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
        // The columns themselves are checked above; here, that the page carries them.
        QVERIFY2(text.contains(QRegularExpression("Nome +Tipo eserc\\.")), qPrintable(text));
        QVERIFY2(text.contains(QRegularExpression("D'Amico Luca +IL VENTO\\.")), qPrintable(text));
    }

    void aPrintThatFailsSaysSo()
    {
        // Nothing printed is never reported as printed.
        for (const QString &file : {QString("/nessuna/cartella/stampa.pdf")}) {
            PrintJob::setOutputFile(file);
            PrintJob job;
            for (int i = 0; i < 200; ++i) {
                job.text(QString("riga %1").arg(i));
                job.endLine();
            }
            QString error;
            QVERIFY2(!job.endDoc(&error), qPrintable(file));
            QVERIFY(!error.isEmpty());
        }
        PrintJob::setOutputFile({});
    }

    void randomStartsTheSameEveryRun()
    {
        resetRandom();
        QList<double> first;
        for (int i = 0; i < 20; ++i) {
            const double r = rnd();
            QVERIFY(r >= 0 && r < 1);
            first << r;
        }
        resetRandom();
        for (int i = 0; i < 20; ++i)
            QCOMPARE(rnd(), first[i]);
        randomize(12345);
        QList<double> seeded;
        for (int i = 0; i < 20; ++i)
            seeded << rnd();
        QVERIFY(seeded != first);
        // Uniform enough to draw ten questions: every tenth is hit.
        resetRandom();
        QSet<int> hit;
        for (int i = 0; i < 200; ++i)
            hit << int(rnd() * 10 + 1);
        QCOMPARE(hit.size(), 10);
    }

    void labelsDragOntoLabels()
    {
        // A real drag with the mouse: pressed on the tile, moved onto the box and
        // released there; and a drop anywhere else does nothing.
        auto *probe = forms::get<Probe>("Probe");
        probe->show();
        auto *tile = new Label(probe, "Label3(4)", "5", {7680, 2520, 375, 495});
        auto *box = new Label(probe, "Label4(2)", {}, {6480, 1320, 495, 495});
        auto *elsewhere = new Label(probe, "Label2", "istruzioni", {7200, 5760, 2655, 1215});
        for (Label *l : {tile, box, elsewhere})
            l->show();
        tile->setDragSource(true);
        box->setDropTarget(true);
        QList<Label *> dropped;
        connect(box, &Label::DragDrop, box, [&dropped](Label *source) { dropped << source; });

        // The desktop's drag loop is replaced by one that carries the drag to
        // `target` and drops it there with the events the desktop would send.
        QWidget *target = nullptr;
        Label::setDragRunner([&target](QDrag *drag) {
            const QPoint at = target->rect().center();
            QDragEnterEvent enter(at, Qt::MoveAction, drag->mimeData(), Qt::LeftButton, {});
            QApplication::sendEvent(target, &enter);
            if (!enter.isAccepted())
                return;
            QDropEvent drop(at, Qt::MoveAction, drag->mimeData(), Qt::LeftButton, {});
            QApplication::sendEvent(target, &drop);
        });
        auto dragTo = [&](QWidget *where) {
            target = where;
            const QPoint start = tile->rect().center();
            QTest::mousePress(tile, Qt::LeftButton, {}, start);
            QTest::mouseMove(tile, start + QPoint(QApplication::startDragDistance() + 2, 0));
            QTest::mouseRelease(tile, Qt::LeftButton, {}, start);
        };
        dragTo(box);
        QCOMPARE(dropped, QList<Label *>{tile});
        dragTo(elsewhere); // not a drop target
        QCOMPARE(dropped.size(), 1);
        QTest::mouseClick(tile, Qt::LeftButton); // a click without moving is no drag
        QCOMPARE(dropped.size(), 1);
        box->setDropTarget(false);
        dragTo(box);
        QCOMPARE(dropped.size(), 1);
        Label::setDragRunner({});

        std::unique_ptr<QMimeData> data(Label::encodeDrag(tile));
        QCOMPARE(Label::decodeDrop(data.get(), probe), tile);
        QMimeData other;
        other.setText("5");
        QCOMPARE(Label::decodeDrop(&other, probe), nullptr);
    }

    void aFaultIsReportedOnce()
    {
        QProcess p;
        p.start(QCoreApplication::applicationFilePath(), {"--double-fault-child"});
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), FatalExitStatus);
        const QString said = QString::fromUtf8(p.readAllStandardOutput());
        QCOMPARE(said, QString("BOX:guasto 1\n"));
    }

    void captionsKeepCarriageReturnsAndBlanks()
    {
        auto *probe = forms::get<Probe>("Probe");
        auto *label = new Label(probe, "Label1", {}, {0, 0, 3000, 2000});
        label->setCaption(QString("\r\r  riga") + QChar(13) + " due");
        QCOMPARE(label->caption(), QString("\r\r  riga\r due"));
        QCOMPARE(label->text(), QString("\n\n  riga\n due"));
    }
};

// A timer that faults on every tick, as a broken window could: the first fault
// is reported once, and no second box is stacked on it.
static int doubleFaultChild(int argc, char **argv)
{
    QApplication app(argc, argv);
    int faults = 0;
    Timer ticking(nullptr, "Timer1", 1);
    QObject::connect(&ticking, &Timer::Tick, [&faults] { fatal(QString("guasto %1").arg(++faults)); });
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            std::printf("BOX:%s\n", qPrintable(box->text().section("\n", 2, 2)));
            std::fflush(stdout);
            box->accept();
        }
    });
    answer.start(300);
    QTimer::singleShot(10000, [] { std::_Exit(99); });
    return app.exec();
}

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--double-fault-child") == 0)
            return doubleFaultChild(argc, argv);
    }
    QApplication app(argc, argv);
    tst_platform t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_platform.moc"
