// The module loaded on demand (see ondemand.h): the charts, the default
// printer and the Italian voice, over the libraries that give them.

#include "ondemand.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextToSpeech>
#include <QDeadlineTimer>
#include <QMutex>
#include <QThread>
#include <QValueAxis>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

using namespace platform::ondemand;

QWidget *chartView(QWidget *parent, const QString &name, const QString &description)
{
    auto *v = new QChartView(new QChart, parent);
    v->setObjectName(name);
    v->setAccessibleName(description);
    v->setRenderHint(QPainter::Antialiasing);
    v->chart()->legend()->setAlignment(Qt::AlignBottom);
    return v;
}

// The view's chart without its series and axes, to be drawn anew.
QChart *emptied(QWidget *view, const QString &title)
{
    QChart *chart = static_cast<QChartView *>(view)->chart();
    chart->removeAllSeries();
    for (QAbstractAxis *axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    chart->setTitle(title);
    return chart;
}

// Whole counts on the value axis, and every category's name readable.
void drawBars(QWidget *view, const Bars &bars)
{
    QAbstractBarSeries *series = bars.across ? static_cast<QAbstractBarSeries *>(new QHorizontalBarSeries)
                                             : static_cast<QAbstractBarSeries *>(new QBarSeries);
    int largest = 0;
    for (const auto &[name, counts] : bars.sets) {
        auto *set = new QBarSet(name);
        for (int n : counts) {
            *set << n;
            largest = std::max(largest, n);
        }
        series->append(set);
    }
    QChart *chart = emptied(view, bars.title);
    chart->addSeries(series);
    chart->legend()->setVisible(bars.legend);
    auto *categories = new QBarCategoryAxis;
    categories->append(bars.categories);
    QFont small = categories->labelsFont();
    small.setPointSizeF(bars.categoryPoints);
    categories->setLabelsFont(small);
    chart->addAxis(categories, bars.across ? Qt::AlignLeft : Qt::AlignBottom);
    series->attachAxis(categories);
    auto *values = new QValueAxis;
    values->setLabelFormat(QStringLiteral("%d"));
    values->setRange(0, std::max(largest, 1));
    if (largest <= 10)
        values->setTickCount(std::max(largest, 1) + 1);
    else
        values->applyNiceNumbers();
    chart->addAxis(values, bars.across ? Qt::AlignBottom : Qt::AlignLeft);
    series->attachAxis(values);
}

void drawLines(QWidget *view, const Lines &lines)
{
    QChart *chart = emptied(view, lines.title);
    auto *days = new QDateTimeAxis;
    days->setFormat(QStringLiteral("dd/MM"));
    auto *share = new QValueAxis;
    share->setRange(0, 100);
    share->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(days, Qt::AlignBottom);
    chart->addAxis(share, Qt::AlignLeft);
    for (const auto &[name, points] : lines.lines) {
        auto *s = new QLineSeries;
        s->setName(name);
        s->setPointsVisible(true);
        s->append(points);
        chart->addSeries(s);
        s->attachAxis(days);
        s->attachAxis(share);
    }
    if (lines.from.isValid() && lines.to.isValid())
        days->setRange(lines.from, lines.to);
}

QImage chartPicture(QWidget *view)
{
    QImage image(1600, 900, QImage::Format_RGB32);
    image.fill(Qt::white);
    QChart *chart = static_cast<QChartView *>(view)->chart();
    const QSizeF before = chart->size();
    chart->resize(image.size());
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    chart->scene()->render(&p, QRectF(image.rect()), QRectF(QPointF(0, 0), QSizeF(image.size())));
    p.end();
    chart->resize(before);
    return image;
}

bool hasDefaultPrinter() { return !QPrinterInfo::defaultPrinter().isNull(); }

QPagedPaintDevice *defaultPrinter()
{
    auto *printer = new QPrinter(QPrinterInfo::defaultPrinter());
    printer->setDocName(QStringLiteral("Valdoria"));
    return printer;
}

// The desktop's speech synthesis, in Italian, on a thread of its own: the
// engine is made there, and every call is passed to it there. A speech
// service that never answers holds that thread alone; the voice is then let
// go without waiting for it.
class ItalianVoice : public Speech
{
public:
    ItalianVoice()
    {
        state_->owner = this;
        thread_->setObjectName(QStringLiteral("voce"));
        there_->moveToThread(thread_);
        thread_->start();
        // Once the caller has set `ready`: then on to the voice's thread.
        QMetaObject::invokeMethod(
            here_.get(),
            [state = state_, there = there_] {
                QMetaObject::invokeMethod(there, [state, there] { start(state, there); });
            },
            Qt::QueuedConnection);
    }
    ~ItalianVoice() override
    {
        {
            QMutexLocker hold(&state_->lock);
            state_->owner = nullptr; // nothing more comes back to this object
        }
        here_.reset();
        // The engine is let go on its own thread, and the thread given two
        // seconds to end; one held by a service that never answers is left
        // behind (the process may end first).
        QMetaObject::invokeMethod(there_, [state = std::exchange(state_, {}), there = there_,
                                           home = QThread::currentThread()] {
            state->tts.reset();
            there->moveToThread(home);
        });
        thread_->quit();
        if (!thread_->wait(QDeadlineTimer(2000)))
            return;
        delete there_;
        delete thread_;
    }
    void say(const QString &text) override
    {
        QMetaObject::invokeMethod(there_, [state = state_, text, turn = turn_] {
            state->turn = turn;
            state->begun = false;
            if (state->tts)
                state->tts->say(text);
        });
    }
    // What was being said ends unreported, even an end already on its way.
    void stop() override
    {
        QMetaObject::invokeMethod(there_, [state = state_, turn = ++turn_] {
            state->turn = turn;
            state->begun = false;
            if (state->tts)
                state->tts->stop();
        });
    }
    void setRate(double rate) override
    {
        QMetaObject::invokeMethod(there_, [state = state_, rate] {
            if (state->tts)
                state->tts->setRate(rate);
        });
    }

private:
    struct State
    {
        std::unique_ptr<QTextToSpeech> tts; // made, used and deleted on the voice's thread
        int turn = 0;                       // the voice's thread only: the turn of what is said
        bool begun = false;                 // the voice's thread only: it began to speak
        QMutex lock;
        ItalianVoice *owner = nullptr; // under `lock`; null once the voice is let go

        // Runs `call` on the owner's thread, if it is still there then.
        void report(std::function<void(ItalianVoice *)> call)
        {
            QMutexLocker hold(&lock);
            if (owner)
                QMetaObject::invokeMethod(owner->here_.get(), [o = owner, call] { call(o); });
        }
    };

    // On the voice's thread.
    static void start(const std::shared_ptr<State> &state, QObject *there)
    {
        NoSpeech why = NoSpeech::NoItalian;
        if (QTextToSpeech::availableEngines().isEmpty()) {
            why = NoSpeech::NoEngine;
        } else {
            state->tts = std::make_unique<QTextToSpeech>();
            if (state->tts->state() == QTextToSpeech::Error) {
                why = NoSpeech::NotStarting;
            } else {
                for (const QLocale &l : state->tts->availableLocales())
                    if (l.language() == QLocale::Italian) {
                        state->tts->setLocale(l.territory() == QLocale::Italy
                                                  ? l
                                                  : QLocale(QLocale::Italian, QLocale::Italy));
                        why = NoSpeech::None;
                        break;
                    }
            }
            if (why != NoSpeech::None)
                state->tts.reset();
        }
        if (state->tts)
            QObject::connect(state->tts.get(), &QTextToSpeech::stateChanged, there,
                             [st = state.get()](QTextToSpeech::State s) {
                                 if (s == QTextToSpeech::Speaking)
                                     st->begun = true;
                                 if (!(s == QTextToSpeech::Ready && st->begun) && s != QTextToSpeech::Error)
                                     return;
                                 st->begun = false;
                                 // An end from an earlier turn (stopped since) is dropped.
                                 st->report([turn = st->turn](ItalianVoice *v) {
                                     if (turn == v->turn_ && v->ended)
                                         v->ended();
                                 });
                             });
        state->report([why](ItalianVoice *v) {
            if (v->ready)
                v->ready(why);
        });
    }

    std::shared_ptr<State> state_ = std::make_shared<State>();
    std::unique_ptr<QObject> here_ = std::make_unique<QObject>(); // lives in the caller's thread
    QObject *there_ = new QObject;                                 // lives in the voice's thread
    QThread *thread_ = new QThread;
    int turn_ = 0; // the caller's thread: one more at each stop
};

Speech *italianVoice() { return new ItalianVoice; }

} // namespace

extern "C" Q_DECL_EXPORT const platform::ondemand::Functions *valdoria_ondemand()
{
    static const Functions table{FunctionsVersion,  chartView,      drawBars,    drawLines, chartPicture,
                                 hasDefaultPrinter, defaultPrinter, italianVoice};
    return &table;
}
