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
#include <QValueAxis>

#include <algorithm>
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
    small.setPointSizeF(7);
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

// The desktop's speech synthesis, in Italian.
class ItalianVoice : public Speech
{
public:
    explicit ItalianVoice(std::unique_ptr<QTextToSpeech> tts) : tts_(std::move(tts))
    {
        QObject::connect(tts_.get(), &QTextToSpeech::stateChanged, tts_.get(), [this](QTextToSpeech::State s) {
            if (s != QTextToSpeech::Ready && s != QTextToSpeech::Error)
                return;
            if (ignoreEnd_)
                ignoreEnd_ = false;
            else if (ended)
                ended();
        });
    }
    void say(const QString &text) override { tts_->say(text); }
    // Stopped on purpose, the voice does not report the end of what it said.
    void stop() override
    {
        if (tts_->state() == QTextToSpeech::Speaking) {
            ignoreEnd_ = true;
            tts_->stop();
        }
    }
    void setRate(double rate) override { tts_->setRate(rate); }

private:
    std::unique_ptr<QTextToSpeech> tts_;
    bool ignoreEnd_ = false;
};

Speech *italianVoice(NoSpeech *why)
{
    if (QTextToSpeech::availableEngines().isEmpty()) {
        *why = NoSpeech::NoEngine;
        return nullptr;
    }
    auto tts = std::make_unique<QTextToSpeech>();
    if (tts->state() == QTextToSpeech::Error) {
        *why = NoSpeech::NotStarting;
        return nullptr;
    }
    for (const QLocale &l : tts->availableLocales())
        if (l.language() == QLocale::Italian) {
            tts->setLocale(l.territory() == QLocale::Italy ? l : QLocale(QLocale::Italian, QLocale::Italy));
            *why = NoSpeech::None;
            return new ItalianVoice(std::move(tts));
        }
    *why = NoSpeech::NoItalian;
    return nullptr;
}

} // namespace

extern "C" Q_DECL_EXPORT const platform::ondemand::Functions *valdoria_ondemand()
{
    static const Functions table{chartView,         drawBars,       drawLines,  chartPicture,
                                 hasDefaultPrinter, defaultPrinter, italianVoice};
    return &table;
}
