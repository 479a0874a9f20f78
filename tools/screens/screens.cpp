// Grabs every window as the pupil sees it into build/screens (the design's area,
// 800 x 600 scaled to the screen: give the offscreen platform a screen size to
// see another), so that each can be looked at; says so if a window cannot be shown.

#include "testsupport.h"

#include "animation/fanimaz.h"
#include "archives/archivewindow.h"
#include "archives/fandamento.h"
#include "assessment/fqimage.h"
#include "assessment/fquest.h"
#include "assessment/frisomma.h"
#include "assessment/fsommati.h"
#include "lessons/lessonwindow.h"
#include "shell/fscelte.h"
#include "common/modvaldoria.h"
#include "common/windows.h"

#include <QDateEdit>
#include <QDir>
#include <QTabWidget>
#include <QSqlQuery>

using namespace testing;

class WindowGallery : public QObject
{
    Q_OBJECT

    QString screens = QStringLiteral(VALDORIA_SCREENS_DIR);

    void save(QWidget *w, const QString &name)
    {
        QDir().mkpath(screens);
        const double s = platform::scale();
        const QImage img = w->grab(QRect(platform::designOrigin(), QSize(qRound(800 * s), qRound(600 * s)))).toImage();
        QVERIFY(!img.isNull());
        QVERIFY(img.save(screens + "/" + name + ".png"));
    }

private slots:
    void initTestCase() { platform::scaleDefaultFont(); }
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

    void labelling()
    {
        // Each topic's picture with half of its boxes filled and scored.
        WorkFolder folder;
        Trap trap;
        try {
            auto *menu = platform::forms::get<shell::Fscelte>("Fscelte");
            menu->show();
            for (int topic = 1; topic <= 6; ++topic) {
                menu->Command1_Click(topic);
                platform::forms::get<lessons::LessonWindow>(windows::lessonWindowOfCode(topic + 6))->cmdquest_Click();
                auto *q = platform::forms::get<assessment::FQuest>("FQuest");
                q->cmdesercitazione_Click();
                q->cmdimage_Click();
                auto *w = platform::forms::get<assessment::FQimage>("FQimage");
                save(w, QStringLiteral("FQimage-%1-vuota").arg(topic));
                for (int b = 0, n = 0; b < 10; ++b)
                    if (!w->atteso(b).isEmpty() && n++ % 2 == 0)
                        w->Label4_DragDrop(b, w->Label3[w->atteso(b).toInt() - 1]);
                platform::Label::releasePicked();
                w->Label3[1]->activate(); // a tile picked, not yet put down
                save(w, QStringLiteral("FQimage-%1-in-corso").arg(topic));
                platform::Label::releasePicked();
                w->cmdRISULT_Click();
                save(w, QStringLiteral("FQimage-%1-risultato").arg(topic));
                w->cmdscegliarg_Click();
            }
        } catch (const platform::FatalError &e) {
            QFAIL(qPrintable(e.message));
        }
    }

    void summative()
    {
        WorkFolder folder;
        Trap trap;
        try {
            auto *menu = platform::forms::get<shell::Fscelte>("Fscelte");
            menu->show();
            ModalAnswers boxes;
            boxes.type("D'Amico Luca");
            menu->sommativo_Click();
            auto *w = platform::forms::get<assessment::FSommati>("FSommati");
            for (int i = 0; i < 6; ++i)
                (i % 3 ? w->Check1[i] : w->Check2[i])->setValue(1);
            save(w, "FSommati-1-pagina");
            while (w->cmdAVANTI->isEnabled()) {
                for (int i = 0; i < 10; ++i)
                    (i % 4 ? w->Check1[i] : w->Check2[i])->setValue(1);
                w->cmdAVANTI_Click();
            }
            save(w, "FSommati-2-finito");
            w->cmdRISULT_Click();
            save(platform::forms::get<assessment::FRIsomma>("FRIsomma"), "FRIsomma");
        } catch (const platform::FatalError &e) {
            QFAIL(qPrintable(e.message));
        }
    }

    void archives()
    {
        WorkFolder folder;
        Trap trap;
        try {
            auto *menu = platform::forms::get<shell::Fscelte>("Fscelte");
            menu->show();
            QSqlQuery q(Modvaldoria::db->connection());
            const QStringList names{"Bianchi Marco", "D'Amico Luca", "Esposito Giulia", "Ferrari Sofia",
                                    "Niccolò Bruno", "Romano Alessandro", "Verdi Anna"};
            for (int i = 0; i < 27; ++i) {
                q.prepare("INSERT INTO studenti (\"cognome e nome\", argomento, punteggio, maxpunti, data) VALUES (?, ?, ?, ?, ?)");
                q.addBindValue(names[i % names.size()]);
                q.addBindValue(i % 5 == 4 ? "LA DISGREGAZIONE (immagine)" : QString("ARIA E CALORE - %1").arg(i % 4 + 1));
                q.addBindValue(i % 11);
                q.addBindValue(i % 5 == 4 ? 8 : 10);
                q.addBindValue("2026-12-0" + QString::number(i % 6 + 1));
                q.exec();
                q.prepare("INSERT INTO studsomm (\"cognome e nome\", \"punteggio totale\", conscere, comprendere, applicare, valutazione, data) VALUES (?, ?, ?, ?, ?, ?, ?)");
                q.addBindValue(names[i % names.size()]);
                q.addBindValue(60 + i);
                q.addBindValue(60 + i);
                q.addBindValue(77);
                q.addBindValue(83);
                q.addBindValue(i < 16 ? "SUFFICIENTE" : "BUONO");
                q.addBindValue("2026-11-2" + QString::number(i % 9 + 1));
                q.exec();
            }
            for (const QString which : {"frmRISUL", "FLIsomm"}) {
                auto *w = platform::forms::get<archives::ArchiveWindow>(which);
                w->show();
                save(w, which + "-1-aperto");
                w->cmdtutto_Click();
                save(w, which + "-2-elenco");
                w->Cmdcontinuo_Click();
                save(w, which + "-3-seguito");
                platform::forms::unload(which);
            }
            // The view of the class: its three pages, one pupil's over time.
            auto *v = platform::forms::get<archives::FAndamento>(windows::FAndamento);
            v->dtDAL->setDate(QDate(2026, 11, 1));
            v->dtAL->setDate(QDate(2026, 12, 31));
            v->txtALUNNO->setText(names.first());
            v->cmdAGGIORNA_Click();
            v->show();
            for (int page = 0; page < v->schede->count(); ++page) {
                v->schede->setCurrentIndex(page);
                save(v, QStringLiteral("FAndamento-%1").arg(page + 1));
            }
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

QTEST_MAIN(WindowGallery)
#include "screens.moc"
