#pragma once
// What the program needs only now and then — the printer, the teacher's
// charts, the voice that reads aloud — lives in a module of its own,
// libvaldoria_ondemand.so, loaded the first time one of them is asked for:
// the menu starts without loading the printing, chart and speech libraries.
// The module and the program share only this header: plain data in, widgets
// and pictures out, nothing of ours called back.

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

class QPagedPaintDevice;
class QWidget;

namespace platform::ondemand {

// Bars of whole counts: one set of bars per (name, counts), one count per
// category. `across`: the bars lie across, the categories' names beside them.
struct Bars
{
    QString title;
    QStringList categories;
    QList<std::pair<QString, QList<int>>> sets;
    bool across = false;
    bool legend = true;
    double categoryPoints = 7; // the categories' names, small enough to stand whole
};

// Lines of percentages over days: one line per (name, points), x the day's
// start in ms since the epoch; the axis runs from `from` to `to`.
struct Lines
{
    QString title;
    QList<std::pair<QString, QList<QPointF>>> lines;
    QDateTime from, to;
};

// The voice that reads aloud. It starts on a thread of its own (the desktop's
// speech service can take seconds to list its voices), so the window never
// waits: `ready` is called once it can speak, or with why not; what it is
// asked to say meanwhile waits for it. `ended` is called when a piece has been
// said (not when stopped on purpose).
enum class NoSpeech { None, NoEngine, NotStarting, NoItalian, NotAnswering };
struct Speech
{
    virtual ~Speech() = default;
    virtual void say(const QString &text) = 0;
    virtual void stop() = 0;
    virtual void setRate(double rate) = 0; // -1 .. 1
    std::function<void()> ended;
    std::function<void(NoSpeech)> ready;
};

// Raised whenever Functions or what it carries changes: a module of another
// build is refused rather than misread.
constexpr int FunctionsVersion = 2;

struct Functions
{
    int version;
    // A chart's view, empty, with its object and accessible names.
    QWidget *(*chartView)(QWidget *parent, const QString &name, const QString &description);
    void (*drawBars)(QWidget *view, const Bars &bars);
    void (*drawLines)(QWidget *view, const Lines &lines);
    // The chart drawn at a size fit for paper, whether or not it is on screen.
    QImage (*chartPicture)(QWidget *view);

    bool (*hasDefaultPrinter)();
    QPagedPaintDevice *(*defaultPrinter)(); // the caller deletes it

    // An Italian voice, starting; set its `ready` and `ended` at once.
    Speech *(*italianVoice)();
};

// The module's functions, loaded on the first call; null, with the reason in
// Italian in `why`, when the module cannot be found or loaded.
const Functions *functions(QString *why = nullptr);
// The module's file once loaded, else empty.
QString loadedFrom();
// Tests: look for the module only in `dirs` from now on (empty: where the
// program looks), as if nothing had been loaded yet.
void setPlaces(const QStringList &dirs);

} // namespace platform::ondemand

// The one symbol the module gives.
extern "C" const platform::ondemand::Functions *valdoria_ondemand();
