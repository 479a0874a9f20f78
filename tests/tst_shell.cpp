// Start-up, the topic menu and the shared routines, driven as a pupil does.

#include "testsupport.h"

#include "lessons/lessonwindow.h"
#include "shell/fscelte.h"
#include "common/modvaldoria.h"
#include "common/windows.h"
#include "app/startup.h"

#include <QCloseEvent>
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

    void theProgramStartsOnTheMenuInItalian()
    {
        WorkFolder folder;
        Trap trap;
        app::startUp();
        Fscelte *menu = openMenu();
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Annulla");
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Save"), "Salva");
        QCOMPARE(QCoreApplication::translate("QFileDialog", "File &name:"), "&Nome del file:");
        QVERIFY(Modvaldoria::db);
        QVERIFY(!Modvaldoria::numargomento.isValid());
        QCOMPARE(menu->frameGeometry().topLeft(), QPoint(0, 0));
        QCOMPARE(menu->size(), QGuiApplication::primaryScreen()->geometry().size());
        for (const auto *b : menu->findChildren<platform::CommandButton *>()) {
            const QRect room = b->rect().adjusted(2, 1, -2, -1);
            const QRect needs = QFontMetrics(b->font()).boundingRect(room, Qt::TextWordWrap, b->text());
            QVERIFY2(b->wordWrap() ? room.contains(needs) : needs.width() < b->width() - 8, qPrintable(b->text()));
        }
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
        auto *window = forms::get<lessons::LessonWindow>(windows::lessonWindowOfCode(index + 6));
        QVERIFY(window->isVisible());
        QCOMPARE(window->pagina(), 1);
        QVERIFY(!menu->isVisible());
        const QString table = QString("domande%1").arg(index);
        QCOMPARE(Modvaldoria::rsdomande->table(), table);
        // The first set of the bank, its statements and their answers.
        QCOMPARE(Modvaldoria::titolo, bankTitles(table).first());
        for (int k = 1; k <= 10; ++k) {
            QCOMPARE(Modvaldoria::testodomande[k].toString(), bankStatements(table).first()[k - 1]);
            QCOMPARE(int(Modvaldoria::rispesatte[k]), bankAnswer(table, bankStatements(table).first()[k - 1]));
        }
    }

    void backToTheMenuAndOnToTheSynthesis()
    {
        // The same topic again starts at page 1; the synthesis lesson (topic 7)
        // keeps the questions of the topic before and opens over the menu.
        WorkFolder folder;
        Trap trap;
        Fscelte *menu = openMenu();
        click(menu->Command1[3]);
        auto *lesson = forms::get<lessons::LessonWindow>("farg3");
        click(lesson->cmdAVANTI);
        click(lesson->cmdAVANTI);
        QCOMPARE(lesson->pagina(), 3);
        click(lesson->cmdscegli);
        QVERIFY(menu->isVisible());
        QVERIFY(!forms::isLoaded("farg3"));
        click(menu->Command1[3]);
        QCOMPARE(forms::get<lessons::LessonWindow>("farg3")->pagina(), 1);
        const QString title = Modvaldoria::titolo;
        const QVariant first = Modvaldoria::testodomande[1];
        click(forms::get<lessons::LessonWindow>("farg3")->cmdscegli);
        click(menu->Command1[7]);
        QCOMPARE(Modvaldoria::numargomento.toInt(), 13);
        QVERIFY(forms::get<lessons::LessonWindow>("farg7")->isVisible());
        QVERIFY(menu->isVisible());
        QCOMPARE(Modvaldoria::rsdomande->table(), "domande3");
        QCOMPARE(Modvaldoria::titolo, title);
        QCOMPARE(Modvaldoria::testodomande[1], first);
        // With the menu brought to the front, another topic opens beside it.
        click(menu->Command1[2]);
        QCOMPARE(Modvaldoria::numargomento.toInt(), 8);
        QVERIFY(forms::isLoaded("farg7"));
        QVERIFY(forms::get<lessons::LessonWindow>("farg2")->isVisible());
    }

    void exitAsksFirst_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("closed"); // by the window's own close button
        QTest::addColumn<QString>("answer");
        QTest::newRow("menu, OK") << "Fscelte" << false << "OK";
        QTest::newRow("menu, Annulla") << "Fscelte" << false << "Annulla";
        QTest::newRow("menu closed, Annulla") << "Fscelte" << true << "Annulla";
        QTest::newRow("lesson, OK") << "fargom" << false << "OK";
        QTest::newRow("lesson, Annulla") << "fargom" << false << "Annulla";
    }

    void exitAsksFirst()
    {
        QFETCH(QString, window);
        QFETCH(bool, closed);
        QFETCH(QString, answer);
        WorkFolder folder;
        Trap trap;
        app::startUp();
        if (window == "fargom")
            click(openMenu()->Command1[1]);
        ModalAnswers answers;
        answers.press(answer);
        QCloseEvent close;
        if (closed)
            QApplication::sendEvent(openMenu(), &close);
        else
            click(forms::existing(window)->findChild<QWidget *>(window == "fargom" ? "Labesco" : "cmduscita"));
        QCOMPARE(answers.titles, QStringList{"USCITA MsgBox"});
        QCOMPARE(answers.texts, QStringList{"sei sicuro di voler uscire dal programma?"});
        QCOMPARE(trap.endings, answer == "OK" ? QList<int>{0} : QList<int>{});
        QCOMPARE(Modvaldoria::titolo, "USCITA MsgBox");
        QVERIFY(forms::existing(window)->isVisible());
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
        // Apostrophe and accents kept, blanks around dropped. (An empty name
        // asked again: tst_questionnaire and tst_summative, at their windows.)
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

    void noTopicNoLessonNoQuestions()
    {
        // Without a valid topic no lesson opens, and the questions are a fault
        // instead of the table of an earlier topic; so is an empty table.
        WorkFolder folder;
        Trap trap;
        openMenu();
        Modvaldoria::numargomento = 8;
        Modvaldoria::apridomande();
        QCOMPARE(Modvaldoria::rsdomande->table(), "domande2");
        for (const QVariant &code : {QVariant(), QVariant(6), QVariant(14), QVariant("x")}) {
            Modvaldoria::numargomento = code;
            Modvaldoria::mostraargomento();
            QVERIFY(expectFatal([] { Modvaldoria::apridomande(); }).contains("nessun argomento"));
        }
        for (const auto &layout : lessons::lessonLayouts())
            QVERIFY(!forms::isLoaded(layout.window()));
        QVERIFY(QSqlQuery(Modvaldoria::db->connection()).exec("DELETE FROM domande4"));
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
    answerBoxesOnStdout(20);
    QTimer::singleShot(0, [] { app::startUp(); });
    return app.exec();
}

TEST_MAIN_WITH_CHILD(tst_shell, "--startup-child", startupChild)

#include "tst_shell.moc"
