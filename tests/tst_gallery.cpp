// Grabs every window as the pupil sees it at 800 x 600 into build/screens, so
// that each can be looked at; fails only if a window cannot be shown.

#include "testsupport.h"

#include "animation/fanimaz.h"
#include "assessment/fquest.h"
#include "lessons/lessonwindow.h"
#include "shell/fscelte.h"
#include "common/modvaldoria.h"

#include <QDir>

using namespace testing;

class tst_gallery : public QObject
{
    Q_OBJECT

    QString screens = QStringLiteral(VALDORIA_SCREENS_DIR);

    void save(QWidget *w, const QString &name)
    {
        QDir().mkpath(screens);
        const QImage img = w->grab(QRect(0, 0, 800, 600)).toImage();
        QVERIFY(!img.isNull());
        QVERIFY(img.save(screens + "/" + name + ".png"));
    }

private slots:
    void init() { freshProgram(); }

    void menu()
    {
        WorkFolder folder;
        Trap trap;
        try {
            auto *menu = platform::forms::get<shell::Fscelte>("Fscelte");
            menu->show();
            save(menu, "Fscelte");
        } catch (const platform::FatalError &e) {
            QFAIL(qPrintable(e.message));
        }
    }

    void lessons()
    {
        WorkFolder folder;
        platform::forms::get<shell::Fscelte>("Fscelte")->show();
        Trap trap;
        for (const auto &layout : lessons::lessonLayouts()) {
            try {
                auto *lesson = platform::forms::get<lessons::LessonWindow>(layout.window());
                lesson->show();
                for (int p = 1; p <= lesson->pages().count(); ++p) {
                    save(lesson, QStringLiteral("%1-%2").arg(layout.window()).arg(p, 2, 10, QLatin1Char('0')));
                    lesson->cmdAVANTI_Click();
                }
            } catch (const platform::FatalError &e) {
                QFAIL(qPrintable(e.message));
            }
            platform::forms::unload(layout.window());
        }
    }

    void questionnaire()
    {
        WorkFolder folder;
        Trap trap;
        try {
            auto *menu = platform::forms::get<shell::Fscelte>("Fscelte");
            menu->show();
            menu->Command1_Click(1);
            platform::forms::get<lessons::LessonWindow>("fargom")->cmdquest_Click();
            auto *q = platform::forms::get<assessment::FQuest>("FQuest");
            save(q, "FQuest-1-pronto");
            q->cmdesercitazione_Click();
            for (int i = 0; i < 7; ++i)
                (i % 2 ? q->Check2[i] : q->Check1[i])->setValue(1);
            save(q, "FQuest-2-esercizio");
            for (int i = 7; i < 10; ++i)
                q->Check1[i]->setValue(1);
            q->cmdRISULT_Click();
            save(q, "FQuest-3-risultato");
            ModalAnswers boxes;
            boxes.type("D'Amico Luca");
            q->cmdquestionario_Click();
            save(q, "FQuest-4-test");
            while (!q->cmdimage->isEnabled()) {
                for (int i = 0; i < 10; ++i)
                    q->Check1[i]->setValue(1);
                q->cmdRISULT_Click();
                if (q->cmdmostradomande->isEnabled())
                    q->cmdmostradomande_Click();
            }
            save(q, "FQuest-5-finito");
        } catch (const platform::FatalError &e) {
            QFAIL(qPrintable(e.message));
        }
    }

    void player()
    {
        WorkFolder folder;
        Trap trap;
        for (int seq = 1; seq <= 6; ++seq) {
            Modvaldoria::numanimazione = std::int16_t(seq);
            Modvaldoria::numargomento = seq + 6;
            try {
                auto *p = platform::forms::get<animation::Fanimaz>("Fanimaz");
                p->show();
                p->Timer1->setEnabled(false);
                for (int i = 0; i < 4; ++i)
                    p->Timer1->fire();
                p->Command1_Click();
                save(p, QStringLiteral("Fanimaz-%1").arg(seq));
            } catch (const platform::FatalError &e) {
                QFAIL(qPrintable(e.message));
            }
            platform::forms::unload("Fanimaz");
        }
    }
};

QTEST_MAIN(tst_gallery)
#include "tst_gallery.moc"
