#pragma once
// Message boxes and the input box. Titles default to the program's name.

#include "storage/result.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace platform {

inline const QString AppTitle = QStringLiteral("Valdoria");

enum class Buttons { Ok, OkCancel, YesNo, RetryGiveUp };
enum class Answer { Ok, Cancel, Yes, No, Retry, GiveUp };
// Which button Enter presses. A question whose first answer loses work (ending
// the program, deleting, giving a result up) makes the harmless one the default,
// so that an absent-minded Enter keeps everything.
enum class Default { First, Harmless };

// Shows `prompt` and waits for an answer. Closing the box counts as Cancel (or No).
Answer msgBox(const QString &prompt, Buttons buttons = Buttons::Ok, const QString &title = AppTitle,
              Default defaultButton = Default::First);

// Asks for a line of text; Cancel, or closing the box, gives the empty text
// (and sets *cancelled, when asked for, so a caller can tell the two apart).
QString inputBox(const QString &prompt, const QString &title = AppTitle, const QString &defaultText = {},
                 bool *cancelled = nullptr);

// Asks for a password; what is typed shows as dots. Cancel gives the empty text.
QString passwordBox(const QString &prompt, const QString &title = AppTitle);

// Stores a pupil's finished work. While storing fails, the pupil is told why
// and offered "Riprova" (the work stays in memory) until it is stored, or
// "Rinuncia", asked once more, gives it up. True when stored.
bool storeOrRetry(const std::function<storage::Status()> &store);

// Asks where to save a file, proposing `suggestedName` in the user's documents
// folder (the home folder when there is none); the empty text when the user
// gives up. The file gets the filter's suffix if none is typed.
QString saveFileBox(const QString &title, const QString &suggestedName, const QString &filter);

// A seam for tests: while a script runs, each box takes the next scripted
// answer instead of showing itself, and what it would have said is kept. A box
// with no answer left, or an answer naming a button the box lacks, is a fault
// reported to the script (the box then answers as if closed).
struct BoxAnswer
{
    QString button;               // "OK", "Annulla", "Sì", "No", "Salva"
    QString text;                 // typed into an input box, or the file a file box saves to
    QString *proposed = nullptr;  // gets the file a file box proposed
    std::function<void()> meanwhile; // what happens while the box is up (the disk freed)
};

class BoxScript
{
public:
    BoxScript();
    virtual ~BoxScript();
    BoxScript(const BoxScript &) = delete;
    BoxScript &operator=(const BoxScript &) = delete;

    void answer(const BoxAnswer &a) { answers_ << a; }
    int pending() const { return int(answers_.size()); }
    // What each box said: title and text (prompt), in order.
    QStringList titles, texts;
    QStringList faults;

    // Used by the boxes: the answer for a box offering `buttons`.
    BoxAnswer take(const QString &title, const QString &text, const QStringList &buttons, const QString &proposed = {});
    static BoxScript *running();

private:
    QList<BoxAnswer> answers_;
    BoxScript *outer_;
};

} // namespace platform
