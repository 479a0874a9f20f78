// Reading aloud: what each window would say, in order, and what is lit while
// it is said, through a voice that records instead of speaking; the voice
// stopped by a page turn; the pupil told once when there is no voice; and the
// real synthesis where this machine has one.

#include "testsupport.h"

#include "assessment/fqimage.h"
#include "assessment/fquest.h"
#include "common/windows.h"
#include "lessons/lessonwindow.h"
#include "platform/readaloud.h"
#include "shell/fscelte.h"

#include <QProcess>
#include <QTimer>

using namespace testing;
namespace forms = platform::forms;

namespace {

// Says nothing: keeps what it was asked to say, what the watched label showed
// then, and ends each piece at once (or never, while `hold` is set).
struct Heard
{
    QStringList said, shown;
    QLabel *watched = nullptr;
    QString why;
    bool hold = false;
} heard;

struct Recorder : platform::Voice
{
    QString unavailable() override { return heard.why; }
    void say(const QString &text) override
    {
        heard.said << text;
        heard.shown << (heard.watched ? heard.watched->text() : QString());
        if (!heard.hold)
            QTimer::singleShot(0, this, &Voice::finished);
    }
    void stop() override {}
    void setRate(double) override {}
};

} // namespace

class tst_leggi : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        freshProgram();
        heard = {};
        platform::setVoiceFactory([] { return std::make_unique<Recorder>(); });
    }

    void aLessonPageSentenceBySentence()
    {
        WorkFolder folder;
        Trap trap;
        click(openMenu()->Command1[3]);
        auto *lesson = forms::get<lessons::LessonWindow>(windows::lessonWindowOfCode(9));
        click(lesson->cmdAVANTI);
        const QString text = lesson->Label1->caption();
        const QList<platform::Sentence> sentences = platform::sentences(text);
        QVERIFY(sentences.size() > 2);
        click(lesson->cmdLEGGI);
        heard.watched = lesson->Label1;
        QTRY_COMPARE(heard.said.size(), 1 + int(sentences.size()));
        QCOMPARE(heard.said[0], lesson->Labeltit->caption());
        for (int i = 0; i < sentences.size(); ++i) {
            const QString sentence = text.mid(sentences[i].from, sentences[i].length);
            QCOMPARE(heard.said[i + 1], platform::spoken(sentence));
            if (i > 0) // lit while it is said, and it alone
                QVERIFY2(heard.shown[i + 1].contains("\">" + sentence.left(20).toHtmlEscaped()),
                         qPrintable(heard.shown[i + 1]));
        }
        QTRY_VERIFY(!lesson->findChild<platform::ReadAloud *>()->reading());
        QCOMPARE(lesson->Label1->text(), QString(text).replace('\r', '\n'));
        // A page turned while reading stops the voice and unlights the text.
        heard.hold = true;
        click(lesson->cmdLEGGI);
        QVERIFY(lesson->findChild<platform::ReadAloud *>()->reading());
        click(lesson->cmdAVANTI);
        QVERIFY(!lesson->findChild<platform::ReadAloud *>()->reading());
        QVERIFY(!lesson->Label1->text().contains("<span"));
    }

    void aSetWithItsNumbersAndAJump()
    {
        WorkFolder folder;
        Trap trap;
        assessment::FQuest *q = openQuestionnaire(2);
        click(q->cmdesercitazione);
        click(q->cmdmostradomande);
        heard.hold = true;
        click(q->cmdLEGGI);
        QCOMPARE(heard.said, QStringList{q->Text2->text()});
        // A statement pressed while reading is read next.
        click(q->Text1[5]);
        QCOMPARE(heard.said.last(), "sei: " + platform::spoken(q->Text1[5]->text()));
        QCOMPARE(q->Text1[5]->palette().color(QPalette::Base), QColor(255, 240, 150));
        click(q->cmdLEGGI); // pressed again: silence
        QVERIFY(q->Text1[5]->palette().color(QPalette::Base) != QColor(255, 240, 150));
    }

    void withoutAVoiceThePupilIsToldOnce()
    {
        WorkFolder folder;
        Trap trap;
        auto *q = openQuestionnaire(1);
        heard.why = "La lettura ad alta voce non è disponibile: manca la sintesi vocale italiana";
        ModalAnswers boxes;
        boxes.press("OK");
        click(q->cmdLEGGI);
        click(q->cmdLEGGI);
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY(heard.said.isEmpty());
    }

    void theRealVoiceWhereThereIsOne()
    {
        // Only where the desktop's speech service speaks at all (a machine
        // with no audio output leaves it waiting for ever).
        QProcess probe;
        probe.start("spd-say", {"-l", "it", "-w", "prova"});
        if (!probe.waitForFinished(5000) || probe.exitCode() != 0) {
            probe.kill();
            probe.waitForFinished();
            QSKIP("the speech service does not speak on this machine (no audio output, or not installed)");
        }
        platform::setVoiceFactory({});
        WorkFolder folder;
        Trap trap;
        click(openMenu()->Command1[1]);
        auto *lesson = forms::get<lessons::LessonWindow>(windows::lessonWindowOfCode(7));
        auto *reader = lesson->findChild<platform::ReadAloud *>();
        platform::BoxScript boxes;
        boxes.answer({"OK"});
        click(lesson->cmdLEGGI);
        if (!boxes.texts.isEmpty())
            QSKIP(qPrintable("no Italian voice here: " + boxes.texts.first()));
        QVERIFY(reader->reading());
        QTRY_VERIFY_WITH_TIMEOUT(!reader->reading(), 60000);
    }
};

QTEST_MAIN(tst_leggi)
#include "tst_leggi.moc"
