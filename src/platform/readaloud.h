#pragma once
// Reading a window aloud, for pupils who listen rather than decode: a list of
// pieces (a title, the sentences of a text, numbered statements) spoken one
// after another in Italian, each shown highlighted while it is read. The voice
// starts on the first press, never before; with no Italian voice the pupil is
// told once what is missing. Nothing speaks unless asked.

#include "controls.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace platform {

// What speaks. The real one is the desktop's speech synthesis; tests install
// one that records.
class Voice : public QObject
{
    Q_OBJECT
public:
    // Why it cannot speak, in Italian; empty when it can.
    virtual QString unavailable() = 0;
    virtual void say(const QString &text) = 0; // finished() follows
    virtual void stop() = 0;
    virtual void setRate(double rate) = 0; // -1 slowest .. 0 normal .. 1 fastest
    bool told = false; // the pupil knows it cannot speak
signals:
    void finished();
    // It could not speak after all (found once it had started): why, in Italian.
    void failed(const QString &why);
};
using VoiceFactory = std::function<std::unique_ptr<Voice>()>;
void setVoiceFactory(VoiceFactory factory); // empty: the real voice

// The speed in three steps, remembered for the user.
enum class Speed { Slower = -1, Normal = 0, Faster = 1 };
Speed readingSpeed();
void setReadingSpeed(Speed speed);

// The sentences of a text, split after . ! ? and at line breaks; blanks
// around them dropped. Offsets index into `text`.
struct Sentence
{
    int from, length;
};
QList<Sentence> sentences(const QString &text);

// How a word of the course is said, where the synthesis gets it wrong.
QString spoken(const QString &text);
// A statement's or a term's number as it is said before it: "uno" .. "dieci".
QString numberWord(int n);

// The light background behind what is being read.
inline const QColor ReadingMark(255, 240, 150);

struct Piece
{
    QString text;                      // what is said
    std::function<void(bool)> marked;  // shows the piece highlighted, or not (may be empty)
};

// The loudspeaker button and what it reads: pressed (or Ctrl+L on its window)
// it reads the pieces its window gives; pressed again, it stops.
class ReadAloud : public QObject
{
    Q_OBJECT
public:
    ReadAloud(QWidget *window, const TwRect &rect, std::function<QList<Piece>()> pieces);
    ~ReadAloud() override;
    CommandButton *button() const { return button_; }
    bool reading() const { return reading_; }
    // Goes on from piece `index` (a statement's number pressed while reading).
    void jumpTo(int index);
    void stop();
    void toggle();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void next();
    void cannotSpeak(const QString &why);
    void mark(int index, bool on);

    CommandButton *button_;
    std::function<QList<Piece>()> source_;
    QList<Piece> pieces_;
    int current_ = -1;
    bool reading_ = false;
};

// Highlights one sentence of a label's text (a light background behind it),
// or none with length 0; the label keeps its caption.
void highlight(Label *label, int from, int length);

} // namespace platform
