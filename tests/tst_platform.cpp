// The window layer where the windows' own tests do not reach it: window
// lifecycle by name, pictures by data-folder path, a print that fails, the
// random generator, a fault raised over and over, captions with returns.

#include "testsupport.h"

#include "platform/dialogs.h"
#include "platform/printer.h"
#include "platform/rnd.h"

#include <QProcess>

using namespace testing;
using namespace platform;

namespace {

int loads = 0;

class Probe : public Form
{
    Q_OBJECT
public:
    Probe() : Form("Probe") {}
    void Form_Load() override { ++loads; }
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

    void aPrintThatFailsSaysSo()
    {
        // Nothing printed is never reported as printed.
        PrintJob::setOutputFile("/nessuna/cartella/stampa.pdf");
        PrintJob job;
        for (int i = 0; i < 200; ++i) {
            job.text(QString("riga %1").arg(i));
            job.endLine();
        }
        QString error;
        QVERIFY(!job.endDoc(&error));
        QVERIFY(!error.isEmpty());
        PrintJob::setOutputFile({});
    }

    void randomStartsTheSameEveryRun()
    {
        // The same start, and uniform enough to draw ten questions: within the
        // range, and every tenth of it hit.
        resetRandom();
        const double first = rnd();
        QSet<int> hit;
        for (int i = 0; i < 200; ++i) {
            const double r = rnd();
            QVERIFY(r >= 0 && r < 1);
            hit << int(r * 10);
        }
        QCOMPARE(hit.size(), 10);
        resetRandom();
        QCOMPARE(rnd(), first);
    }

    void aFaultIsReportedOnce()
    {
        QProcess p;
        p.start(QCoreApplication::applicationFilePath(), {"--double-fault-child"});
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), FatalExitStatus);
        const QString said = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(said.count("BOX:") == 1 && said.contains("guasto 1") && !said.contains("guasto 2"), qPrintable(said));
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
    answerBoxesOnStdout(300);
    return app.exec();
}

TEST_MAIN_WITH_CHILD(tst_platform, "--double-fault-child", doubleFaultChild)
#include "tst_platform.moc"
