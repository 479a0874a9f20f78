// Start-up, the topic menu and the shared routines, driven as a pupil does.

#include "testsupport.h"

#include "lessons/lessonwindow.h"
#include "shell/fscelte.h"
#include "common/modvaldoria.h"
#include "common/windows.h"
#include "app/startup.h"

#include <QCloseEvent>
#include <QMessageBox>
#include <QProcess>
#include <QSqlQuery>

using namespace testing;
using shell::Fscelte;
namespace forms = platform::forms;

class tst_shell : public QObject
{
    Q_OBJECT

private slots:
    void init() { freshProgram(); }

    void startsOnTheMenuWithTheDatabaseOpen()
    {
        WorkFolder folder;
        Trap trap;
        Fscelte *menu = openMenu();
        QVERIFY(Modvaldoria::db);
        QCOMPARE(menu->windowTitle(), "scelta dell'argomento");
        QCOMPARE(menu->frameGeometry().topLeft(), QPoint(0, 0));
        QCOMPARE(menu->size(), QGuiApplication::primaryScreen()->geometry().size());
        QVERIFY(!Modvaldoria::numargomento.isValid());
    }

    void withoutTheDatabaseItStopsAndSaysWhy()
    {
        // The real program in a folder with no pervaldoria: one clear message,
        // answered here, then a non-zero exit.
        WorkFolder folder(WorkFolder::NoData);
        QProcess p;
        p.setWorkingDirectory(folder.path());
        p.start(QCoreApplication::applicationFilePath(), {"--startup-child"});
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), platform::FatalExitStatus);
        const QString said = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        QVERIFY2(said.contains(folder.path() + "/pervaldoria/valdoria.mdb"), qPrintable(said));
        QVERIFY2(said.contains("BOX:Valdoria - errore"), qPrintable(said));
    }

    void everyButtonShowsItsWholeCaption()
    {
        WorkFolder folder;
        Trap trap;
        const auto buttons = openMenu()->findChildren<platform::CommandButton *>();
        QCOMPARE(buttons.size(), 11);
        for (const auto *b : buttons)
            QVERIFY2(QFontMetrics(b->font()).horizontalAdvance(b->text()) < b->width() - 8, qPrintable(b->text()));
    }

    void topicButtonsOpenLessonAndFirstSet_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 1; i <= 6; ++i)
            QTest::addRow("topic %d", i) << i;
    }

    void topicButtonsOpenLessonAndFirstSet()
    {
        QFETCH(int, index);
        WorkFolder folder;
        Trap trap;
        Fscelte *menu = openMenu();
        click(menu->Command1[index]);
        QCOMPARE(Modvaldoria::numargomento.toInt(), index + 6);
        const QString lesson = windows::lessonWindowOfCode(index + 6);
        QVERIFY(forms::isLoaded(lesson));
        auto *window = forms::get<lessons::LessonWindow>(lesson);
        QVERIFY(window->isVisible());
        QCOMPARE(window->pagina(), 1);
        QVERIFY(!menu->isVisible());
        QCOMPARE(Modvaldoria::rsdomande->table(), QString("domande%1").arg(index));

        auto rs = platform::must(Modvaldoria::db->openRecordset(QString("domande%1").arg(index)));
        platform::must(rs->moveFirst());
        QCOMPARE(Modvaldoria::titolo, platform::must(rs->field("argomento")).toString());
        for (int k = 1; k <= 10; ++k) {
            QCOMPARE(Modvaldoria::testodomande[k].toString(), platform::must(rs->field(k + 1)).toString());
            QCOMPARE(int(Modvaldoria::rispesatte[k]), platform::must(rs->field(k + 11)).toInt());
        }
    }

    void topicSevenLeavesTheQuestionsAlone()
    {
        WorkFolder folder;
        Trap trap;
        Fscelte *menu = openMenu();
        click(menu->Command1[3]);
        const QString title = Modvaldoria::titolo;
        const QVariant first = Modvaldoria::testodomande[1];
        forms::get<lessons::LessonWindow>("farg3")->cmdscegli_Click();
        QVERIFY(menu->isVisible());
        click(menu->Command1[7]);
        QCOMPARE(Modvaldoria::numargomento.toInt(), 13);
        QVERIFY(forms::get<lessons::LessonWindow>("farg7")->isVisible());
        QVERIFY(menu->isVisible()); // stays under the synthesis lesson
        QCOMPARE(Modvaldoria::rsdomande->table(), "domande3");
        QCOMPARE(Modvaldoria::titolo, title);
        QCOMPARE(Modvaldoria::testodomande[1], first);

        // With the menu brought to the front, another topic opens beside it.
        click(menu->Command1[2]);
        QCOMPARE(Modvaldoria::numargomento.toInt(), 8);
        QVERIFY(forms::isLoaded("farg7"));
        QVERIFY(forms::get<lessons::LessonWindow>("farg2")->isVisible());
    }

    void sameTopicTwiceStartsAtPageOne()
    {
        WorkFolder folder;
        Trap trap;
        Fscelte *menu = openMenu();
        click(menu->Command1[1]);
        auto *lesson = forms::get<lessons::LessonWindow>("fargom");
        lesson->cmdAVANTI_Click();
        lesson->cmdAVANTI_Click();
        QCOMPARE(lesson->pagina(), 3);
        click(lesson->cmdscegli);
        QVERIFY(!forms::isLoaded("fargom"));
        click(menu->Command1[1]);
        QCOMPARE(forms::get<lessons::LessonWindow>("fargom")->pagina(), 1);
    }

    void exitConfirmation_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("ends");
        QTest::newRow("OK") << "OK" << true;
        QTest::newRow("Annulla") << "Annulla" << false;
    }

    void exitConfirmation()
    {
        QFETCH(QString, answer);
        QFETCH(bool, ends);
        WorkFolder folder;
        Trap trap;
        Fscelte *menu = openMenu();
        ModalAnswers answers;
        answers.press(answer);
        click(menu->cmduscita);
        QCOMPARE(answers.titles, QStringList{"USCITA MsgBox"});
        QCOMPARE(answers.texts, QStringList{"sei sicuro di voler uscire dal programma?"});
        QCOMPARE(trap.endings, ends ? QList<int>{0} : QList<int>{});
        QCOMPARE(Modvaldoria::titolo, "USCITA MsgBox");
        QVERIFY(menu->isVisible());
    }

    void closingAWindowAsksToo()
    {
        WorkFolder folder;
        Trap trap;
        app::startUp();
        Fscelte *menu = forms::get<Fscelte>("Fscelte");
        ModalAnswers answers;
        answers.press("Annulla");
        QCloseEvent close;
        QApplication::sendEvent(menu, &close);
        QCOMPARE(answers.texts, QStringList{"sei sicuro di voler uscire dal programma?"});
        QVERIFY(trap.endings.isEmpty());
        QVERIFY(forms::isLoaded("Fscelte"));
    }

    void namePrompt_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("stored");
        QTest::newRow("blanks around dropped") << "  D'Amico Niccolò " << false << "D'Amico Niccolò";
        QTest::newRow("cancelled") << "Rossi" << true << "";
    }

    void namePrompt()
    {
        QFETCH(QString, typed);
        QFETCH(bool, cancel);
        QFETCH(QString, stored);
        ModalAnswers answers;
        answers.type(typed, cancel);
        Modvaldoria::nomealunno = "prima";
        Modvaldoria::chiedinome();
        QCOMPARE(Modvaldoria::nomealunno, stored);
        QCOMPARE(answers.titles, QStringList{"Valdoria"});
        QCOMPARE(answers.texts, QStringList{"Scrivi qui prima il cognome, poi il tuo nome"});
    }

    void noTopicShowsNoLesson()
    {
        WorkFolder folder;
        Trap trap;
        for (const QVariant &code : {QVariant(), QVariant(6), QVariant(14), QVariant("x")}) {
            Modvaldoria::numargomento = code;
            Modvaldoria::mostraargomento();
        }
        for (const auto &layout : lessons::lessonLayouts())
            QVERIFY(!forms::isLoaded(layout.window()));
    }

    void questionsOfNoTopicAreAFault()
    {
        // Opening the questions without a valid topic must not carry on with the
        // table of an earlier topic.
        WorkFolder folder;
        Trap trap;
        openMenu();
        Modvaldoria::numargomento = 8;
        Modvaldoria::apridomande();
        QCOMPARE(Modvaldoria::rsdomande->table(), "domande2");
        for (const QVariant &code : {QVariant(), QVariant(14), QVariant("x")}) {
            Modvaldoria::numargomento = code;
            QVERIFY(expectFatal([] { Modvaldoria::apridomande(); }).contains("nessun argomento"));
        }
    }

    void anEmptyQuestionTableStopsWithAClearMessage()
    {
        WorkFolder folder;
        Trap trap;
        openMenu();
        {
            QSqlQuery q(Modvaldoria::db->connection());
            QVERIFY(q.exec("DELETE FROM domande4"));
        }
        Modvaldoria::numargomento = 10;
        const QString message = expectFatal([] { Modvaldoria::apridomande(); });
        QVERIFY2(message.contains("domande4"), qPrintable(message));
    }
};

// Started by withoutTheDatabaseItStopsAndSaysWhy: the program's own start-up,
// with its error box read and answered as a user would.
static int startupChild(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            std::printf("BOX:%s\n%s\n", qPrintable(box->windowTitle()), qPrintable(box->text()));
            std::fflush(stdout);
            box->accept();
        }
    });
    answer.start(20);
    QTimer::singleShot(10000, [] { std::_Exit(99); });
    QTimer::singleShot(0, [] { app::startUp(); });
    return app.exec();
}

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--startup-child") == 0)
            return startupChild(argc, argv);
    QApplication app(argc, argv);
    tst_shell t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_shell.moc"
