#include "readaloud.h"

#include "dialogs.h"
#include "form.h"
#include "ondemand.h"

#include <QAction>
#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QSettings>
#include <QTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <utility>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

const QString SpeedKey = QStringLiteral("lettura/velocita");
// How much slower or faster each step is, of the engine's range -1 .. 1.
constexpr double RateStep = 0.35;
// How long the speech service may take to start and list its voices.
constexpr int StartLimitMs = 15000;

// Whether the desktop's speech service answers, asked on its socket with a
// short wait: a service stuck on a machine without sound would otherwise hold
// the window for ever on its first word. No socket yet: it starts on demand.
bool speechServiceAnswers()
{
    QStringList sockets;
    if (const QString run = qEnvironmentVariable("XDG_RUNTIME_DIR"); !run.isEmpty())
        sockets << run + QStringLiteral("/speech-dispatcher/speechd.sock");
    sockets << QDir::homePath() + QStringLiteral("/.cache/speech-dispatcher/speechd.sock");
    for (const QString &path : std::as_const(sockets)) {
        if (!QFileInfo::exists(path))
            continue;
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (fd < 0)
            return false;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        std::strncpy(address.sun_path, name.constData(), sizeof(address.sun_path) - 1);
        bool answered = false;
        if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0) {
            const char ask[] = "SET SELF CLIENT_NAME valdoria:valdoria:prova\r\n";
            pollfd wait{fd, POLLIN, 0};
            char reply[64];
            answered = ::write(fd, ask, sizeof(ask) - 1) == ssize_t(sizeof(ask) - 1) && ::poll(&wait, 1, 1500) == 1
                       && ::read(fd, reply, sizeof(reply)) > 0;
        }
        ::close(fd);
        return answered;
    }
    return true;
}

// The desktop's speech synthesis with an Italian voice, started on the first
// reading only (the program starts no faster or slower for it) and on a
// thread of its own: what it is asked meanwhile waits for it.
class SpeechVoice : public Voice
{
public:
    QString unavailable() override
    {
        if (!tried_)
            start();
        return why_;
    }
    void say(const QString &text) override
    {
        if (starting_)
            waiting_ = text;
        else if (speech_)
            speech_->say(text);
    }
    void stop() override
    {
        waiting_.clear();
        if (speech_ && !starting_)
            speech_->stop();
    }
    void setRate(double rate) override
    {
        rate_ = rate;
        if (speech_ && !starting_)
            speech_->setRate(rate);
    }

private:
    // What the pupil is told, for each reason the voice cannot speak.
    static QString notAvailable(ondemand::NoSpeech no, const QString &fault = {})
    {
        const QString said = QStringLiteral("La lettura ad alta voce non è disponibile: ");
        const QString how = QStringLiteral(" La scuola può installarla con il pacchetto "
                                           "speech-dispatcher-espeak-ng (e qt6-speech-speechd-plugin).");
        switch (no) {
        case ondemand::NoSpeech::NotAnswering:
            return said + QStringLiteral("la sintesi vocale di questo computer non risponde (manca l'uscita audio?).")
                   + how;
        case ondemand::NoSpeech::NotStarting:
            return said + QStringLiteral("la sintesi vocale di questo computer non si avvia.") + how;
        case ondemand::NoSpeech::NoEngine:
        case ondemand::NoSpeech::NoItalian:
            return said + QStringLiteral("manca la sintesi vocale italiana su questo computer.") + how;
        case ondemand::NoSpeech::None:
            break;
        }
        return said + fault; // the program itself lacks a part
    }
    void start()
    {
        tried_ = true;
        QString fault;
        const ondemand::Functions *module = ondemand::functions(&fault);
        if (!module) {
            why_ = notAvailable(ondemand::NoSpeech::None, fault);
            return;
        }
        if (!speechServiceAnswers()) {
            why_ = notAvailable(ondemand::NoSpeech::NotAnswering);
            return;
        }
        starting_ = true;
        speech_.reset(module->italianVoice());
        // A service that takes the first words and never answers: given up.
        QTimer::singleShot(StartLimitMs, this, [this] {
            if (starting_) {
                const auto ready = speech_->ready; // a copy: the voice may be let go meanwhile
                ready(ondemand::NoSpeech::NotAnswering);
            }
        });
        speech_->ended = [this] { emit finished(); };
        speech_->ready = [this](ondemand::NoSpeech no) {
            if (!starting_)
                return; // answered after it was given up: it stays given up
            starting_ = false;
            if (no == ondemand::NoSpeech::None) {
                speech_->setRate(rate_);
                if (!waiting_.isEmpty())
                    speech_->say(std::exchange(waiting_, QString()));
                return;
            }
            why_ = notAvailable(no);
            waiting_.clear(); // the voice stays, silent: it is asked for nothing more
            emit failed(why_);
        };
    }

    bool tried_ = false, starting_ = false;
    double rate_ = 0;
    QString why_, waiting_; // what it was asked to say while starting
    std::unique_ptr<ondemand::Speech> speech_;
};

VoiceFactory &factory()
{
    static VoiceFactory f;
    return f;
}

std::unique_ptr<Voice> &instance()
{
    static std::unique_ptr<Voice> v;
    return v;
}

// One voice for the whole program, made on first use.
Voice &voice()
{
    if (!instance())
        instance() = factory() ? factory()() : std::make_unique<SpeechVoice>();
    return *instance();
}

QIcon loudspeaker()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(40, 40, 40));
    QPainterPath body;
    body.moveTo(4, 12);
    body.lineTo(10, 12);
    body.lineTo(17, 5);
    body.lineTo(17, 27);
    body.lineTo(10, 20);
    body.lineTo(4, 20);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(14, 10, 8, 12), -60 * 16, 120 * 16);
    p.drawArc(QRectF(14, 5, 14, 22), -60 * 16, 120 * 16);
    return QIcon(pixmap);
}

} // namespace

void setVoiceFactory(VoiceFactory f)
{
    factory() = std::move(f);
    instance().reset();
}

Speed readingSpeed()
{
    const int v = QSettings().value(SpeedKey, 0).toInt();
    return v < 0 ? Speed::Slower : v > 0 ? Speed::Faster : Speed::Normal;
}

void setReadingSpeed(Speed speed) { QSettings().setValue(SpeedKey, int(speed)); }

QList<Sentence> sentences(const QString &text)
{
    QList<Sentence> out;
    static const QRegularExpression end(QStringLiteral("[.!?]+(?=\\s|$)|[\\r\\n]+"));
    int from = 0;
    auto add = [&](int to) {
        while (from < to && text[from].isSpace())
            ++from;
        int last = to;
        while (last > from && text[last - 1].isSpace())
            --last;
        if (last > from)
            out.append({from, last - from});
        from = to;
    };
    for (auto it = end.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        add(int(m.capturedEnd()));
    }
    add(int(text.size()));
    return out;
}

QString spoken(const QString &text)
{
    // Said as an Italian listener expects; the synthesis spells these out or
    // reads them as English.
    static const QList<QPair<QRegularExpression, QString>> table{
        {QRegularExpression(QStringLiteral("\\bE'")), QStringLiteral("È")},
        {QRegularExpression(QStringLiteral("\\becc\\.")), QStringLiteral("eccetera")},
        {QRegularExpression(QStringLiteral("\\bes\\.")), QStringLiteral("per esempio")},
        {QRegularExpression(QStringLiteral("(\\d)\\s*km\\b")), QStringLiteral("\\1 chilometri")},
        {QRegularExpression(QStringLiteral("(\\d)\\s*°\\s*C\\b")), QStringLiteral("\\1 gradi")},
        {QRegularExpression(QStringLiteral("(\\d)\\s*%")), QStringLiteral("\\1 per cento")},
        {QRegularExpression(QStringLiteral("(\\d)\\s*m\\b")), QStringLiteral("\\1 metri")},
        {QRegularExpression(QStringLiteral("(\\d)\\s*cm\\b")), QStringLiteral("\\1 centimetri")},
    };
    QString out = text;
    for (const auto &[pattern, said] : table)
        out.replace(pattern, said);
    return out;
}

QString numberWord(int n)
{
    static const QStringList words{QStringLiteral("uno"),   QStringLiteral("due"),     QStringLiteral("tre"),
                                   QStringLiteral("quattro"), QStringLiteral("cinque"), QStringLiteral("sei"),
                                   QStringLiteral("sette"), QStringLiteral("otto"),    QStringLiteral("nove"),
                                   QStringLiteral("dieci")};
    return n >= 1 && n <= words.size() ? words[n - 1] : QString::number(n);
}

void highlight(Label *label, int from, int length)
{
    const QString caption = label->caption();
    if (length <= 0) {
        label->setTextFormat(Qt::PlainText);
        label->setCaption(caption);
        return;
    }
    auto html = [](const QString &part) {
        QString h = part.toHtmlEscaped();
        h.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
        h.replace(QLatin1Char('\r'), QStringLiteral("<br>"));
        h.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
        return h;
    };
    label->setTextFormat(Qt::RichText);
    label->setText(html(caption.left(from)) + QStringLiteral("<span style=\"background-color:%1\">").arg(ReadingMark.name())
                   + html(caption.mid(from, length)) + QStringLiteral("</span>") + html(caption.mid(from + length)));
}

ReadAloud::ReadAloud(QWidget *window, const TwRect &rect, std::function<QList<Piece>()> pieces)
    : QObject(window), source_(std::move(pieces))
{
    button_ = new CommandButton(window, QStringLiteral("cmdLEGGI"), QStringLiteral("Leggi"), rect);
    button_->setIcon(loudspeaker());
    button_->setIconSize(QSize(button_->height() * 3 / 5, button_->height() * 3 / 5)); // as large as the caption
    button_->setAccessibleName(QStringLiteral("Leggi ad alta voce"));
    button_->setToolTip(QStringLiteral("Leggi ad alta voce (Ctrl+L); con il tasto destro la velocità"));
    connect(button_, &CommandButton::Click, this, &ReadAloud::toggle);
    auto *shortcut = new QAction(button_);
    shortcut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    shortcut->setShortcutContext(Qt::WindowShortcut);
    window->addAction(shortcut);
    connect(shortcut, &QAction::triggered, this, &ReadAloud::toggle);
    button_->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (const auto &[caption, speed] : {std::pair{QStringLiteral("Lettura più lenta"), Speed::Slower},
                                         std::pair{QStringLiteral("Lettura normale"), Speed::Normal},
                                         std::pair{QStringLiteral("Lettura più veloce"), Speed::Faster}}) {
        auto *a = new QAction(caption, button_);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [speed] { setReadingSpeed(speed); });
        button_->addAction(a);
    }
    // Leaving the window, or its page changing under the voice, stops it.
    window->installEventFilter(this);
}

ReadAloud::~ReadAloud()
{
    if (reading_)
        voice().stop();
}

void ReadAloud::toggle()
{
    if (reading_) {
        stop();
        return;
    }
    if (const QString why = voice().unavailable(); !why.isEmpty()) {
        // Said once: the button stays, and says no more.
        if (!std::exchange(voice().told, true))
            msgBox(why);
        return;
    }
    pieces_ = source_();
    if (pieces_.isEmpty())
        return;
    reading_ = true;
    voice().setRate(RateStep * int(readingSpeed()));
    connect(&voice(), &Voice::finished, this, &ReadAloud::next, Qt::UniqueConnection);
    connect(&voice(), &Voice::failed, this, &ReadAloud::cannotSpeak, Qt::UniqueConnection);
    current_ = -1;
    next();
}

// The voice turned out unable to speak once started: told once, as when it is
// known at the press.
void ReadAloud::cannotSpeak(const QString &why)
{
    stop();
    if (!std::exchange(voice().told, true))
        msgBox(why);
}

void ReadAloud::next()
{
    if (!reading_)
        return;
    mark(current_, false);
    if (++current_ >= pieces_.size()) {
        stop();
        return;
    }
    mark(current_, true);
    voice().say(spoken(pieces_[current_].text));
}

void ReadAloud::jumpTo(int index)
{
    if (!reading_ || index < 0 || index >= pieces_.size())
        return;
    mark(current_, false);
    voice().stop();
    current_ = index - 1;
    next();
}

bool ReadAloud::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Hide && watched == parent())
        stop();
    return false;
}

void ReadAloud::stop()
{
    if (!reading_)
        return;
    reading_ = false;
    disconnect(&voice(), &Voice::finished, this, &ReadAloud::next);
    disconnect(&voice(), &Voice::failed, this, &ReadAloud::cannotSpeak);
    voice().stop();
    mark(current_, false);
    current_ = -1;
}

void ReadAloud::mark(int index, bool on)
{
    if (index >= 0 && index < pieces_.size() && pieces_[index].marked)
        pieces_[index].marked(on);
}

} // namespace platform
