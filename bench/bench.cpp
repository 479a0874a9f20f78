// Reports how fast the program does what a pupil waits for: start-up to the menu
// on screen, a durable append of a result, a page turn, a lesson opened from the
// menu, a frame of an animation read, decoded and shown. Prints figures only.

#include "testsupport.h"
#include "shown.h"
#include "pgserver.h"
#include "storage/resultsserver.h"

#include "animation/fanimaz.h"
#include "archives/archivewindow.h"
#include "archives/fandamento.h"
#include "platform/printer.h"
#include "platform/readaloud.h"
#include "assessment/fqimage.h"
#include "assessment/fquest.h"
#include "assessment/frisomma.h"
#include "assessment/fsommati.h"
#include "lessons/lessonwindow.h"
#include "storage/dao.h"
#include "shell/fscelte.h"
#include "common/modvaldoria.h"
#include "common/windows.h"
#include "app/startup.h"

#include <QElapsedTimer>
#include <QThread>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QDateEdit>

#include <algorithm>
#include <cstdio>

using namespace testing;
namespace forms = platform::forms;

namespace {

struct Stats
{
    double median, p95, best;
};

Stats stats(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[std::min<qsizetype>(v.size() - 1, qsizetype(v.size() * 0.95))], v.first()};
}

void report(const char *what, const Stats &s, const char *unit = "ms")
{
    std::printf("%-44s median %8.3f %s   p95 %8.3f %s   best %8.3f %s\n", what, s.median, unit, s.p95, unit, s.best,
                unit);
}

// Start-up to the painted menu, against a bare Qt window started the same
// way, taken in turns so that both see the same machine.
void startup()
{
    WorkFolder folder;
    const QString dir = QCoreApplication::applicationDirPath();
    auto launch = [&](const QString &program, QList<double> &times, QList<double> &memory, bool counted,
                      const QStringList &arguments = {}) {
        QProcess p;
        p.setWorkingDirectory(folder.path());
        QElapsedTimer t;
        t.start();
        p.start(dir + "/" + program, arguments);
        p.waitForReadyRead(10000);
        const double ms = t.nsecsElapsed() / 1e6;
        const QByteArray out = p.readAllStandardOutput();
        p.waitForFinished();
        if (!out.startsWith("shown") || !counted) // the first start warms the caches
            return;
        times << ms;
        memory << out.mid(6).trimmed().toDouble() / 1024.0;
    };
    QList<double> bare, bareMemory, captioned, captionedMemory, menu, menuMemory;
    for (int i = 0; i < 21; ++i) {
        launch("valdoria_barewindow", bare, bareMemory, i > 0);
        launch("valdoria_barewindow", captioned, captionedMemory, i > 0, {"--caption"});
        launch("valdoria_startup", menu, menuMemory, i > 0);
    }
    report("start-up: a bare Qt window painted", stats(bare));
    report("start-up: the same with one caption", stats(captioned));
    report("start-up to the menu painted", stats(menu));
    if (!bare.isEmpty() && !menu.isEmpty()) {
        std::sort(bare.begin(), bare.end());
        std::sort(menu.begin(), menu.end());
        std::printf("%-52s %8.2f x\n", "start-up: menu / bare window (medians)",
                    menu[menu.size() / 2] / bare[bare.size() / 2]);
    }
    report("resident memory at the menu", stats(menuMemory), "MB");
}

void durableAppend()
{
    WorkFolder folder;
    Trap trap;
    auto db = platform::must(storage::Database::open("pervaldoria\\valdoria.mdb"));
    QList<double> times;
    for (int i = 0; i < 200; ++i) {
        QElapsedTimer t;
        t.start();
        auto rs = platform::must(db->openRecordset("studenti"));
        rs->addNew();
        rs->setField("punteggio", i % 11);
        rs->setField("cognome e nome", QString("Alunno %1").arg(i));
        rs->setField("argomento", "IL VENTO.");
        rs->setField("maxpunti", 10);
        platform::must(rs->update());
        times << t.nsecsElapsed() / 1e6;
    }
    report("durable append of a result (200 rows table)", stats(times));
}

void lessonPages()
{
    WorkFolder folder;
    Trap trap;
    freshProgram();
    auto *menu = forms::get<shell::Fscelte>("Fscelte");
    menu->show();
    QList<double> opens, turns;
    for (int round = 0; round < 10; ++round)
        for (int topic = 1; topic <= 7; ++topic) {
            menu->show();
            QElapsedTimer t;
            t.start();
            menu->Command1[topic]->press();
            auto *w = forms::get<lessons::LessonWindow>(windows::lessonWindowOfCode(topic + 6));
            w->repaint();
            opens << t.nsecsElapsed() / 1e6;
            while (w->cmdAVANTI->isEnabled()) {
                t.restart();
                w->cmdAVANTI->click();
                w->repaint();
                turns << t.nsecsElapsed() / 1e6;
            }
            w->cmdscegli_Click();
            QApplication::processEvents();
        }
    report("lesson opened from the menu, painted", stats(opens));
    report("page turn, click to page painted", stats(turns));
}

// Reading aloud, through a voice that only notes the time it is asked to
// speak: from the press to that moment, and a page's sentences found and the
// first one lit.
struct TimedVoice : platform::Voice
{
    QString unavailable() override { return {}; }
    void say(const QString &) override { asked = clock.nsecsElapsed() / 1e6; }
    void stop() override {}
    void setRate(double) override {}
    static inline QElapsedTimer clock;
    static inline double asked = 0;
};

void readingAloud()
{
    WorkFolder folder;
    Trap trap;
    freshProgram();
    platform::setVoiceFactory([] { return std::make_unique<TimedVoice>(); });
    auto *menu = forms::get<shell::Fscelte>("Fscelte");
    menu->show();
    menu->Command1[3]->press();
    auto *w = forms::get<lessons::LessonWindow>(windows::lessonWindowOfCode(9));
    w->cmdAVANTI->click();
    QList<double> presses, splits;
    for (int round = 0; round < 20; ++round) {
        TimedVoice::clock.start();
        w->cmdLEGGI->press();
        presses << TimedVoice::asked;
        w->cmdLEGGI->press();
        QElapsedTimer t;
        t.start();
        const auto sentences = platform::sentences(w->Label1->caption());
        platform::highlight(w->Label1, sentences.first().from, sentences.first().length);
        w->Label1->repaint();
        splits << t.nsecsElapsed() / 1e6;
        platform::highlight(w->Label1, 0, 0);
    }
    report("Leggi pressed to the voice asked to speak", stats(presses));
    report("a page split into sentences, one lit, painted", stats(splits));
    platform::setVoiceFactory({});
}

void frames()
{
    WorkFolder folder;
    Trap trap;
    freshProgram();
    QList<double> times;
    double fastestFps = 0;
    for (int seq = 1; seq <= 6; ++seq) {
        Modvaldoria::numanimazione = std::int16_t(seq);
        Modvaldoria::numargomento = seq + 6;
        auto *p = forms::get<animation::Fanimaz>("Fanimaz");
        p->show();
        p->Timer1->setEnabled(false);
        for (int round = 0; round < 5; ++round) {
            p->Cmdanim_Click();
            for (int i = 0; i < p->numfotogrammi(); ++i) {
                QElapsedTimer t;
                t.start();
                p->Timer1_Timer();
                p->Image2->repaint();
                times << t.nsecsElapsed() / 1e6;
            }
        }
        // The fastest setting, as the pupil gets it: frames shown in one second.
        while (p->cmdmaxvel->isEnabled())
            p->cmdmaxvel_Click();
        p->Timer1->setEnabled(true);
        int shown = 0;
        QObject counter;
        QObject::connect(p->Timer1, &platform::Timer::Tick, &counter, [&] {
            ++shown;
            if (p->indanim() >= p->numfotogrammi())
                p->Cmdanim_Click();
        });
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 1000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        fastestFps = std::max(fastestFps, shown * 1000.0 / t.elapsed());
        forms::unload("Fanimaz");
        QApplication::processEvents();
    }
    report("animation frame read, decoded and shown", stats(times));
    std::printf("%-44s %8.0f frames a second\n", "animation at the fastest setting", fastestFps);
}

// The questionnaire: a set shown, a set scored and stored in the test; the
// labelling window opened with its scaled picture, and a number put on a box.
void assessmentWindows()
{
    WorkFolder folder;
    Trap trap;
    freshProgram();
    platform::setFatalHandler([](const QString &what) { throw platform::FatalError{what}; });
    auto *menu = forms::get<shell::Fscelte>("Fscelte");
    menu->show();
    QList<double> shows, stores, opens, drops;
    for (int round = 0; round < 20; ++round) {
        const int topic = round % 6 + 1;
        menu->Command1[topic]->press();
        forms::get<lessons::LessonWindow>(windows::lessonWindowOfCode(topic + 6))->cmdquest_Click();
        auto *q = forms::get<assessment::FQuest>("FQuest");
        q->show();
        q->cmdesercitazione_Click();
        // The test, under a name, every set answered.
        Modvaldoria::nomealunno = QString("Alunno %1").arg(round);
        Modvaldoria::modotest = 1;
        platform::must(Modvaldoria::rsdomande->moveFirst());
        Modvaldoria::caricarisposte();
        for (;;) {
            QElapsedTimer t;
            t.start();
            q->cmdmostradomande->press();
            q->repaint();
            shows << t.nsecsElapsed() / 1e6;
            for (int i = 0; i < 10; ++i)
                q->Check1[i]->setValue(1);
            t.restart();
            q->cmdRISULT->press();
            q->repaint();
            stores << t.nsecsElapsed() / 1e6;
            if (!q->cmdmostradomande->isEnabled())
                break;
        }
        QElapsedTimer t;
        t.start();
        q->cmdimage->press();
        auto *w = forms::get<assessment::FQimage>("FQimage");
        w->repaint();
        opens << t.nsecsElapsed() / 1e6;
        for (int b = 0; b < 10; ++b) {
            if (w->atteso(b).isEmpty())
                continue;
            t.restart();
            w->Label3[w->atteso(b).toInt() - 1]->activate();
            w->Label4[b]->activate();
            w->Label4[b]->repaint();
            w->Label3[w->atteso(b).toInt() - 1]->repaint();
            drops << t.nsecsElapsed() / 1e6;
        }
        w->cmdRISULT->press();
        w->cmdscegliarg->press();
        QApplication::processEvents();
    }
    report("MOSTRA DOMANDE to the set painted", stats(shows));
    report("RISULTATO in the test: row on disk, painted", stats(stores));
    report("labelling window opened, picture scaled", stats(opens));
    report("a number put on a box, painted", stats(drops));
}

// The summative test: the next page, and the last page to the stored row and
// the result card on screen.
void summative()
{
    WorkFolder folder;
    Trap trap;
    freshProgram();
    auto *menu = forms::get<shell::Fscelte>("Fscelte");
    menu->show();
    QList<double> pages, finish;
    for (int round = 0; round < 20; ++round) {
        platform::setFatalHandler([](const QString &what) { throw platform::FatalError{what}; });
        ModalAnswers boxes;
        boxes.type(QString("Alunno %1").arg(round));
        menu->sommativo->press();
        auto *w = forms::get<assessment::FSommati>("FSommati");
        w->repaint();
        for (;;) {
            for (int i = 0; i < 10; ++i)
                w->Check1[i]->setValue(1);
            QElapsedTimer t;
            t.start();
            w->cmdAVANTI->press();
            if (w->cmdAVANTI->isEnabled()) {
                w->repaint();
                pages << t.nsecsElapsed() / 1e6;
                continue;
            }
            w->cmdRISULT->press();
            auto *card = forms::get<assessment::FRIsomma>("FRIsomma");
            card->repaint();
            finish << t.nsecsElapsed() / 1e6;
            card->cmdscegliarg->press();
            break;
        }
        QApplication::processEvents();
    }
    report("DOMANDE SUCCESSIVE to the next page painted", stats(pages));
    report("last page to the row on disk and the card", stats(finish));
}

// Ten rounds on the questionnaire archive: the whole listing to its first
// screen (and `nexts` screens after it), with the memory it adds, then one
// pupil's rows by the name typed.
struct ArchiveTimes
{
    QList<double> firsts, nexts, selections, memory;
};

ArchiveTimes timeArchive(const QString &typed, int nexts)
{
    ArchiveTimes out;
    for (int round = 0; round < 10; ++round) {
        auto *w = forms::get<archives::ArchiveWindow>("frmRISUL");
        w->show();
        w->repaint();
        const long before = residentKb();
        QElapsedTimer t;
        t.start();
        w->cmdtutto->press();
        w->repaint();
        out.firsts << t.nsecsElapsed() / 1e6;
        out.memory << (residentKb() - before) / 1024.0;
        for (int i = 0; i < nexts; ++i) {
            t.restart();
            w->Cmdcontinuo->press();
            w->repaint();
            out.nexts << t.nsecsElapsed() / 1e6;
        }
        forms::unload("frmRISUL");
        QApplication::processEvents();
        w = forms::get<archives::ArchiveWindow>("frmRISUL");
        w->show();
        ModalAnswers boxes;
        boxes.type(typed);
        t.restart();
        w->cmdselezione->press();
        w->repaint();
        out.selections << t.nsecsElapsed() / 1e6;
        forms::unload("frmRISUL");
        QApplication::processEvents();
    }
    return out;
}

// The archives on a table of 100 000 rows: the whole listing to its first
// screen, the next screen, one pupil's 50 rows, the memory a listing adds, and
// 1000 rows printed to a PDF file.
void archivesAtScale()
{
    WorkFolder folder;
    Trap trap;
    freshProgram();
    auto *menu = forms::get<shell::Fscelte>("Fscelte");
    menu->show();
    {
        QSqlQuery q(Modvaldoria::db->connection());
        q.exec("BEGIN");
        q.prepare("INSERT INTO studenti (\"cognome e nome\", argomento, punteggio, maxpunti, data) VALUES (?, ?, ?, ?, ?)");
        for (int i = 0; i < 100000; ++i) {
            q.addBindValue(i % 2000 == 7 ? QString("Niccolò Bruno") : QString("Alunno %1").arg(i % 1999));
            q.addBindValue("ARIA E CALORE - 1");
            q.addBindValue(i % 11);
            q.addBindValue(10);
            q.addBindValue("2026-12-06");
            q.exec();
        }
        q.exec("COMMIT");
    }
    const ArchiveTimes times = timeArchive("niccolò bruno", 5);
    report("archive of 100 000 rows: first screen", stats(times.firsts));
    report("archive of 100 000 rows: next screen", stats(times.nexts));
    report("archive of 100 000 rows: one pupil's 50 rows", stats(times.selections));
    report("memory a listing of 100 000 rows adds", stats(times.memory), "MB");

    // 1000 rows to a PDF file.
    QTemporaryDir out;
    QList<double> prints;
    for (int round = 0; round < 5; ++round) {
        platform::PrintJob job;
        job.text("Nome");
        job.endLine();
        job.markHeading();
        for (int i = 0; i < 1000; ++i) {
            job.tab(1);
            job.text(QString("Alunno %1").arg(i));
            job.tab(23);
            job.text("ARIA E CALORE - 1");
            job.tab(47);
            job.text("7");
            job.tab(53);
            job.text("10");
            job.tab(60);
            job.text("06/12/2026");
        }
        QString error;
        QElapsedTimer t;
        t.start();
        job.savePdf(out.path() + "/elenco.pdf", &error);
        prints << t.nsecsElapsed() / 1e6;
    }
    report("1000 rows printed to a PDF file", stats(prints));
}

// The view of the class over a school year: 100 000 results and 1 000 000
// answers spread over 365 days; opened on its 30 days, then the period changed
// to the whole year and back.
void classView()
{
    WorkFolder folder;
    Trap trap;
    freshProgram();
    auto *menu = forms::get<shell::Fscelte>("Fscelte");
    menu->show();
    const QStringList titles = bankTitles("domande1");
    {
        QSqlQuery q(Modvaldoria::db->connection());
        q.exec("BEGIN");
        q.prepare("INSERT INTO risposte (\"cognome e nome\", prova, insieme, numero, risposta, giusta, data) "
                  "VALUES (?, ?, ?, ?, ?, ?, ?)");
        for (int i = 0; i < 1000000; ++i) {
            q.addBindValue(QString("Alunno %1").arg(i % 500));
            q.addBindValue(QString("domande%1").arg(1 + i % 6));
            q.addBindValue(titles[(i / 10) % titles.size()]);
            q.addBindValue(1 + i % 10);
            q.addBindValue(i % 2);
            q.addBindValue(int((i * 7) % 10 < 7));
            q.addBindValue(QDate::currentDate().addDays(-(i % 365)).toString(Qt::ISODate));
            q.exec();
        }
        q.prepare("INSERT INTO studenti (\"cognome e nome\", argomento, punteggio, maxpunti, data) VALUES (?, ?, ?, 10, ?)");
        for (int i = 0; i < 100000; ++i) {
            q.addBindValue(QString("Alunno %1").arg(i % 500));
            q.addBindValue(titles[i % titles.size()]);
            q.addBindValue(i % 11);
            q.addBindValue(QDate::currentDate().addDays(-(i % 365)).toString(Qt::ISODate));
            q.exec();
        }
        q.exec("COMMIT");
    }
    QList<double> opens, changes;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer t;
        t.start();
        menu->CMDandamento->press();
        auto *v = forms::get<archives::FAndamento>(windows::FAndamento);
        v->repaint();
        opens << t.nsecsElapsed() / 1e6;
        for (int days : {365, 30}) {
            t.restart();
            v->dtDAL->setDate(QDate::currentDate().addDays(-days));
            v->repaint();
            changes << t.nsecsElapsed() / 1e6;
        }
        v->cmdMENU->press();
        QApplication::processEvents();
    }
    report("class view on 1 000 000 answers: opened", stats(opens));
    report("class view: the period changed", stats(changes));
}

// Against a local PostgreSQL server: an append acknowledged, the whole listing's
// first screen on 100 000 rows, and one pupil's rows.
void onTheServer()
{
    PgServer server;
    if (!server.problem().isEmpty()) {
        std::printf("%-44s %s\n", "results server", qPrintable(server.problem()));
        return;
    }
    WorkFolder folder;
    Trap trap;
    freshProgram();
    platform::setFatalHandler([](const QString &what) { throw platform::FatalError{what}; });
    storage::setResultsServer(server.settings());
    auto *menu = forms::get<shell::Fscelte>("Fscelte");
    menu->show();
    auto store = [](int i) {
        QElapsedTimer t;
        t.start();
        auto rs = platform::must(Modvaldoria::db->openRecordset("studenti"));
        rs->addNew();
        rs->setField("cognome e nome", QString("Alunno %1").arg(i));
        rs->setField("argomento", "IL VENTO.");
        rs->setField("punteggio", i % 11);
        rs->setField("maxpunti", 10);
        platform::must(rs->update());
        return t.nsecsElapsed() / 1e6;
    };
    // The sender empties the queue only once the server holds the row.
    auto onServer = [] {
        QElapsedTimer t;
        t.start();
        while (Modvaldoria::db->pendingResults() > 0 && t.elapsed() < 30000)
            QThread::usleep(200);
        return t.nsecsElapsed() / 1e6;
    };
    QList<double> appends, arrivals, frozen;
    for (int i = 0; i < 100; ++i) {
        appends << store(i);
        arrivals << appends.last() + onServer();
    }
    server.freeze(true);
    for (int i = 0; i < 50; ++i)
        frozen << store(1000 + i);
    server.freeze(false);
    onServer();
    report("server: a result acknowledged", stats(appends));
    report("server: acknowledged to the row on the server", stats(arrivals));
    report("server frozen: a result acknowledged", stats(frozen));
    platform::must(Modvaldoria::db->setTeacherPassword(PgServer::teacherPassword()));
    server.psql("INSERT INTO studenti (uid, \"cognome e nome\", argomento, punteggio, maxpunti) "
                "SELECT 'b' || i, CASE WHEN i % 2000 = 7 THEN 'Niccolò Bruno' ELSE 'Alunno ' || (i % 1999) END, "
                "'ARIA E CALORE - 1', i % 11, 10 FROM generate_series(1, 100000) AS i");
    server.psql("ANALYZE studenti");
    const ArchiveTimes times = timeArchive("NICCOLÒ BRUNO", 0);
    report("server, 100 000 rows: first screen", stats(times.firsts));
    report("server, 100 000 rows: one pupil's 50 rows", stats(times.selections));
    forms::unloadAll();
    Modvaldoria::reset();
    storage::setResultsServer({});
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    platform::installFontSubstitutes();
    app::registerWindows();
    startup();
    if (app.arguments().contains("--startup"))
        return 0; // start-up alone: quick to repeat while working on it
    durableAppend();
    lessonPages();
    readingAloud();
    frames();
    assessmentWindows();
    summative();
    archivesAtScale();
    classView();
    onTheServer();
    return 0;
}
