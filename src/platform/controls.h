#pragma once
// The controls the windows are built of. Each carries its design name as
// objectName, is placed in twips and raises its event as a signal named after
// the event (Click, DragDrop; a timer's Tick), so that a window's handler reads
// cmdAVANTI_Click and is connected to cmdAVANTI's Click.

#include "design.h"
#include "twips.h"

#include <QCheckBox>
#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <functional>

class QDrag;

namespace platform {

// The design fonts by name and point size. "MS Sans Serif" and "Times New Roman"
// are mapped to faces with close metrics; sizes are in points at 96 dpi.
QFont designFont(const QString &face, double points, bool bold = false, bool italic = false);
// Installs the face substitutions once, before any window is built.
void installFontSubstitutes();

inline const QString SansSerif = QStringLiteral("MS Sans Serif");
inline const QString Serif = QStringLiteral("Times New Roman");

// Has a screen reader read `control` now, where the pupil's focus is not: the
// title of a lesson page the pupil has just turned to.
void announce(QWidget *control);

void setBackColor(QWidget *control, const QColor &color);
void setForeColor(QWidget *control, const QColor &color);

class CommandButton : public QPushButton
{
    Q_OBJECT
public:
    CommandButton(QWidget *parent, const QString &name, const QString &caption, const TwRect &rect);
    CommandButton(QWidget *parent, const Design &d) : CommandButton(parent, d.name, d.caption, d.rect) {}
    // Setting the button's value from code: runs its Click also while the button
    // or its window is hidden or disabled.
    void press() { emit Click(); }
    // A caption longer than the button breaks over lines instead of being cut.
    void setWordWrap(bool on);
    bool wordWrap() const { return wrap_; }
    // For a button that replaces what the window shows: a press within the
    // double-click time of the release that last clicked it (the second half
    // of a double click), or Enter held down, comes before the pupil has seen
    // the new content and is ignored. press() from code always counts.
    void setIgnoreRepeatPress(bool on) { ignoreRepeat_ = on; }
signals:
    void Click();
protected:
    // Enter presses the focused button, as Space does.
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool wrap_ = false;
    bool isRepeat(const QMouseEvent *event) const;
    bool ignoreRepeat_ = false;
    bool clicked_ = false;
    quint64 clickedAt_ = 0; // the event time of the release that clicked
};

// A caption-less label laid over a drawn button: it reacts to a click only while
// enabled. Screen readers see it as a button with the given name. It takes the
// keyboard focus (Tab), shows it with a frame over the drawn button, and Space
// or Enter press it.
class ClickArea : public QWidget
{
    Q_OBJECT
public:
    ClickArea(QWidget *parent, const QString &name, const TwRect &rect, const QString &accessibleName);
    void click() { if (isEnabled()) emit Click(); }
signals:
    void Click();
protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;
private:
    bool pressed_ = false;
};

class Label : public QLabel
{
    Q_OBJECT
public:
    Label(QWidget *parent, const QString &name, const QString &caption, const TwRect &rect);
    Label(QWidget *parent, const Design &d) : Label(parent, d.name, d.caption, d.rect) {}
    // The caption as the program set it; carriage returns break lines on screen.
    QString caption() const { return caption_; }
    void setCaption(const QString &caption);
    void setTransparent(bool transparent);
    // A thick frame round the label, beside its colour: the mark of a wrong answer.
    void setMarked(bool on);
    bool isMarked() const { return marked_; }

    // Drag and drop between labels: a source is dragged as soon as it is pressed
    // and moved; a target raises DragDrop with the label dropped on it.
    //
    // The same without dragging, for a trackpad, an unsteady hand or the
    // keyboard: a click, Space or Enter on a source picks it up (it is framed);
    // a click, Space or Enter on a target then puts it down there, exactly as a
    // drop does. Escape, or picking the same source again, lets it go. Sources
    // and targets take the keyboard focus; the arrow keys move it along.
    void setDragSource(bool on);
    void setDropTarget(bool on);
    bool isDragSource() const { return dragSource_; }
    bool isDropTarget() const { return acceptDrops(); }
    // What a drop of `source` on this label does (also used by tests).
    void dropFrom(Label *source);
    // What a click, Space or Enter does on a source or a target.
    void activate();
    // The source picked up and not yet put down, or nullptr.
    static Label *picked();
    static void releasePicked();

    static QMimeData *encodeDrag(const Label *source);
    static Label *decodeDrop(const QMimeData *data, const QWidget *window);

    // How a drag runs once it has started: the desktop's own drag loop. Tests
    // replace it to carry the drag where they want it; empty: the desktop's.
    using DragRunner = std::function<void(QDrag *)>;
    static void setDragRunner(DragRunner runner);

signals:
    void Click();
    void DragDrop(platform::Label *source);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    static DragRunner &dragRunner();
    static void setPicked(Label *label);
    void updateFocusPolicy();
    QString caption_;
    bool dragSource_ = false;
    bool marked_ = false;
    QPoint pressAt_;
    bool pressed_ = false;
};

// A picture box: loads a JPEG by data-folder path. Unscaled, it shows the picture
// at its own size and takes that size; scaled, the picture fills the frame.
class PictureBox : public QLabel
{
    Q_OBJECT
public:
    PictureBox(QWidget *parent, const QString &name, const TwRect &rect, bool stretch = false);
    PictureBox(QWidget *parent, const Design &d, bool stretch = false) : PictureBox(parent, d.name, d.rect, stretch) {}
    // `path` as the program writes it, e.g. "pervaldoria\\vento.jpg". A missing or
    // unreadable file is a run-time error.
    void loadPicture(const QString &path);
    QString pictureName() const { return path_; }
    // A picture that only decorates (a backdrop): a screen reader passes it by.
    void setDecorative(bool on);
    bool isDecorative() const;
private:
    bool stretch_;
    QString path_;
};

class CheckBox : public QCheckBox
{
    Q_OBJECT
public:
    CheckBox(QWidget *parent, const QString &name, const QString &caption, const TwRect &rect);
    CheckBox(QWidget *parent, const Design &d) : CheckBox(parent, d.name, d.caption, d.rect) {}
    int value() const { return isChecked() ? 1 : 0; }
    // A change of value from code raises Click like a click of the pupil's.
    void setValue(int value);
signals:
    void Click();
protected:
    bool hitButton(const QPoint &pos) const override;
    void paintEvent(QPaintEvent *event) override;
};

class TextBox : public QLineEdit
{
    Q_OBJECT
public:
    TextBox(QWidget *parent, const QString &name, const TwRect &rect);
    // The design caption is the box's initial text.
    TextBox(QWidget *parent, const Design &d) : TextBox(parent, d.name, d.rect) { setText(d.caption); }
protected:
    void paintEvent(QPaintEvent *event) override;
};

class ListBox : public QListWidget
{
    Q_OBJECT
public:
    ListBox(QWidget *parent, const QString &name, const TwRect &rect);
    ListBox(QWidget *parent, const Design &d) : ListBox(parent, d.name, d.rect) {}
    QStringList items() const;
    // Rows of one height, so that lists standing side by side line up.
    void setRowHeight(int pixels) { rowHeight_ = pixels; }
    void addRow(const QString &text);
protected:
    void paintEvent(QPaintEvent *event) override;
private:
    int rowHeight_ = 0;
};

// The window's timer: an interval of 0 stops it.
class Timer : public QObject
{
    Q_OBJECT
public:
    Timer(QObject *parent, const QString &name, int intervalMs, bool enabled = true);
    ~Timer() override;
    int interval() const { return interval_; }
    void setInterval(int ms);
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool on);
    // One tick now, as if the interval had elapsed (tests and benchmarks).
    void fire() { emit Tick(); }
signals:
    void Tick();
private:
    void apply();
    QTimer timer_;
    int interval_;
    bool enabled_;
};

// Stops every timer of every window (the run-time error path, before it
// reports).
void stopAllTimers();

} // namespace platform
