// Reading aloud: what each window would say, in order, and what is lit while
// it is said, through a voice that records instead of speaking; the voice
// stopped by a page turn; the pupil told once when there is no voice; and the
// real synthesis, heard through a file.

#include "testsupport.h"

#include "assessment/fqimage.h"
#include "assessment/fquest.h"
#include "common/windows.h"
#include "lessons/lessonwindow.h"
#include "platform/readaloud.h"
#include "shell/fscelte.h"

#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
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
    QString why, failsOnceStarted;
    bool hold = false;
} heard;

struct Recorder : platform::Voice
{
    QString unavailable() override { return heard.why; }
    void say(const QString &text) override
    {
        if (!heard.failsOnceStarted.isEmpty()) {
            QTimer::singleShot(0, this, [this] { emit failed(heard.failsOnceStarted); });
            return;
        }
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
        // So is one whose number is pressed; its box stays as it was, the square still ticks.
        click(q->Check1[7]);
        QCOMPARE(heard.said.last(), "otto: " + platform::spoken(q->Text1[7]->text()));
        QCOMPARE(q->Check1[7]->value(), 0);
        tick(q->Check1[7]);
        QCOMPARE(q->Check1[7]->value(), 1);
        // A number's release lost (to a box opened meanwhile) swallows no later tick.
        QTest::mousePress(q->Check1[4], Qt::LeftButton, {}, q->Check1[4]->rect().center());
        tick(q->Check1[2]);
        QCOMPARE(q->Check1[2]->value(), 1);
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

    void aVoiceFoundMissingOnceStartedIsToldOnce()
    {
        WorkFolder folder;
        Trap trap;
        auto *q = openQuestionnaire(1);
        auto *reader = q->findChild<platform::ReadAloud *>();
        heard.failsOnceStarted = "La lettura ad alta voce non è disponibile: manca la sintesi vocale italiana";
        ModalAnswers boxes;
        boxes.press("OK");
        click(q->cmdLEGGI);
        QVERIFY(reader->reading());
        QTRY_COMPARE(boxes.texts.size(), 1);
        QVERIFY(!reader->reading());
        QVERIFY(q->Text2->palette().color(QPalette::Base) != platform::ReadingMark); // the title no longer lit
    }

    // The real synthesis, through a speech service of the test's own whose
    // sound goes to a file (this needs no loudspeaker): the title and the
    // first sentence are spoken, one after the other, and make Italian speech
    // of a plausible length.
    void theRealVoiceSpeaks()
    {
        if (QStandardPaths::findExecutable("speech-dispatcher").isEmpty())
            QSKIP("no speech service installed (speech-dispatcher-espeak-ng)");
        QTemporaryDir sandbox;
        const QString home = sandbox.path(), sound = home + "/voce.raw";
        QDir(home).mkpath(".config/speech-dispatcher");
        QDir(home).mkpath("run");
        QFile::setPermissions(home + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        auto write = [](const QString &path, const QString &text) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(text.toUtf8());
        };
        write(home + "/.asoundrc", "pcm.!default { type file slave.pcm \"null\" file \"" + sound
                                       + "\" format \"raw\" }\n");
        write(home + "/.config/speech-dispatcher/speechd.conf",
              "AudioOutputMethod \"alsa\"\nAddModule \"espeak-ng\" \"sd_espeak-ng\" \"espeak-ng.conf\"\n"
              "DefaultModule espeak-ng\nTimeout 2\n");
        const QByteArray keep[] = {qgetenv("HOME"), qgetenv("XDG_RUNTIME_DIR"), qgetenv("XDG_CONFIG_HOME")};
        qputenv("HOME", QFile::encodeName(home));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home + "/run"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + "/.config"));
        auto restore = qScopeGuard([&] {
            qputenv("HOME", keep[0]);
            qputenv("XDG_RUNTIME_DIR", keep[1]);
            qputenv("XDG_CONFIG_HOME", keep[2]);
        });

        platform::setVoiceFactory({});
        WorkFolder folder;
        Trap trap;
        click(openMenu()->Command1[1]);
        auto *lesson = forms::get<lessons::LessonWindow>(windows::lessonWindowOfCode(7));
        auto *reader = lesson->findChild<platform::ReadAloud *>();
        platform::BoxScript boxes;
        boxes.answer({"OK"});
        click(lesson->cmdLEGGI);
        QVERIFY(reader->reading()); // at once: the voice starts on its own thread
        // The title said, the first sentence is lit; then the second.
        const QList<platform::Sentence> sentences = platform::sentences(lesson->Label1->caption());
        const QString second = lesson->Label1->caption().mid(sentences[1].from, sentences[1].length);
        QTRY_VERIFY_WITH_TIMEOUT(!boxes.texts.isEmpty()
                                     || lesson->Label1->text().contains("\">" + second.left(20).toHtmlEscaped()),
                                 30000);
        QVERIFY2(boxes.texts.isEmpty(), qPrintable(boxes.texts.value(0)));
        click(lesson->cmdLEGGI);
        QVERIFY(!reader->reading());

        // 16-bit samples: at least two seconds of them, and not silence.
        QFile captured(sound);
        QVERIFY2(captured.open(QIODevice::ReadOnly), "the voice made no sound");
        const QByteArray bytes = captured.readAll();
        const auto *samples = reinterpret_cast<const qint16 *>(bytes.constData());
        int loudest = 0;
        for (qsizetype i = 0; i < bytes.size() / 2; ++i)
            loudest = std::max(loudest, std::abs(int(samples[i])));
        QVERIFY2(bytes.size() > 2 * 2 * 16000, qPrintable(QString::number(bytes.size())));
        QVERIFY2(loudest > 2000, qPrintable(QString::number(loudest)));
        platform::setVoiceFactory({}); // the voice lets its service go
    }
};

QTEST_MAIN(tst_leggi)
#include "tst_leggi.moc"
