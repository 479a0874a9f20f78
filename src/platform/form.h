#pragma once
// Windows that exist at most once and are reached by name. Loading creates a
// window and runs its Form_Load (loading an existing one does nothing); Visible
// shows or hides it and keeps its state; unloading destroys it with its state;
// touching an unloaded window loads it again, hidden.

#include "twips.h"

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QKeySequence>
#include <QWidget>
#include <functional>

namespace platform {

class Form : public QWidget
{
    Q_OBJECT
public:
    explicit Form(const QString &name, QWidget *parent = nullptr);

    // Runs once, right after the window is created by forms::load().
    virtual void Form_Load() {}

    void setCaption(const QString &caption) { setWindowTitle(caption); }
    void setBackColor(const QColor &color);
    // A picture drawn at the design's top-left corner, under the controls; on a
    // screen larger than the design it is scaled with it and repeated round it.
    void setPicture(const QImage &picture);
    // Top = Left = 0, Width and Height = the screen's.
    void fillScreen();
    // The window's obvious way back, which Escape presses (while it is shown
    // and enabled). None by default.
    void setEscapeControl(QWidget *control) { escape_ = control; }
    // An action the layout has no button for: offered on the window's context
    // menu (right button, or the menu key) and on a key of its own.
    void offerAction(const QString &text, const QKeySequence &key, std::function<void()> action);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QImage picture_;
    QPixmap scaledPicture_; // the picture at the scale in force, made once
    QPointer<QWidget> escape_;
};

// Every window keeps its 800 x 600 design and draws it scaled to the screen:
// by the largest factor that fits, centred across the screen and from its top,
// unless a factor is set (`--scala N`, `[schermo] scala = N`); a set factor
// draws from the top-left corner, as the design was first drawn. 0 fits the
// screen. Set it before any window is built.
void setScale(double factor);
double scale();
// Where the design's top-left corner lands in a window that fills the screen.
QPoint designOrigin();
// A design rectangle as it lands on the screen.
QRect toScreen(const TwRect &rect);
// A length of the design (a row's height, a frame) as it is drawn.
int scaled(int pixels);
// The default font and the desktop's drawing of check boxes and scroll bars at
// the scaled size, so that message boxes, input boxes, the file box and every
// control with no design font of its own scale too; the desktop's focus frame
// drawn as the program's thick ring. Once, at start-up.
void scaleDefaultFont();

// Places a control at a design rectangle in twips and remembers it, so that the
// rectangle can be read back exactly (pixels lose the odd twips).
void place(QWidget *control, const TwRect &rect);
TwRect placement(const QWidget *control);

// The name of element `index` of a control array: "Command1(3)".
QString arrayName(const QString &base, int index);

namespace forms {

using Factory = std::function<Form *()>;

void registerForm(const QString &name, Factory factory);
bool isRegistered(const QString &name);

// Creates the window and runs its Form_Load if it does not exist; returns it.
// Touching a window (reading or writing any of its properties) goes through here.
Form *load(const QString &name);
template <class T> T *get(const QString &name) { return qobject_cast<T *>(load(name)); }

bool isLoaded(const QString &name);
// The window if it exists, without loading it.
Form *existing(const QString &name);
// Destroys the window with its state. Safe from the window's own handlers: the
// object goes once the current event is over; the name is free at once.
void unload(const QString &name);
// Load (if needed) and show.
void show(const QString &name);

// A control of another window, by the window's name and the control's design
// name; the window is loaded first if it is not (touching it loads it). A
// missing control is a fault of the program, reported as a run-time error.
QWidget *control(const QString &window, const QString &name);
// Presses a command button of another window from code, as setting its value
// does: its Click runs also while the button or the window is hidden.
void press(const QString &window, const QString &button);

// What a window's own close button does (the shell asks for confirmation).
void setCloseRequestHandler(std::function<void(Form *)> handler);

// Unloads every window and forgets the registrations' instances (tests).
void unloadAll();

} // namespace forms
} // namespace platform
