#include "controls.h"

#include "storage/datapath.h"
#include "form.h"
#include "largepictures.h"
#include "runtime.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleHints>
#include <QPainter>
#include <QPointer>
#include <QSet>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace platform {

namespace {

const QString LabelMime = QStringLiteral("application/x-valdoria-label");

// Screen readers see a click area as a button that can be pressed.
class ClickAreaAccessible : public QAccessibleWidget
{
public:
    explicit ClickAreaAccessible(QWidget *w) : QAccessibleWidget(w, QAccessible::Button)
    {
        addControllingSignal(QStringLiteral("Click()"));
    }
    QStringList actionNames() const override
    {
        return widget()->isEnabled() ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString &name) override
    {
        if (name == pressAction())
            static_cast<ClickArea *>(widget())->click();
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.disabled = !widget()->isEnabled();
        return s;
    }
};

// A label reads as its caption. One that can be picked up, or that receives a
// picked one, is a button to a screen reader: pressing it picks or puts down,
// as a click does. The role follows the label, whenever it is asked.
class LabelAccessible : public QAccessibleWidget
{
public:
    explicit LabelAccessible(QWidget *w) : QAccessibleWidget(w, QAccessible::StaticText) {}
    Label *label() const { return static_cast<Label *>(widget()); }
    bool movable() const { return label()->isDragSource() || label()->isDropTarget(); }
    QAccessible::Role role() const override { return movable() ? QAccessible::Button : QAccessible::StaticText; }
    // A label that shows a value says what it is and what it shows: "Valutazione:
    // BUONO"; the value alone is its accessible value.
    QString text(QAccessible::Text t) const override
    {
        const QString own = QAccessibleWidget::text(t);
        const QString shown = label()->text().simplified();
        if (t == QAccessible::Value && !movable())
            return shown;
        if (t != QAccessible::Name)
            return own;
        if (own.isEmpty())
            return label()->caption();
        return movable() || shown.isEmpty() ? own : own + QStringLiteral(": ") + shown;
    }
    QStringList actionNames() const override
    {
        return movable() && widget()->isEnabled() ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString &name) override
    {
        if (name == pressAction() && movable() && widget()->isEnabled())
            label()->activate();
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = label()->isDragSource();
        s.checked = Label::picked() == label();
        return s;
    }
};

// A picture that only decorates stays out of a screen reader's way.
class DecorationAccessible : public QAccessibleWidget
{
public:
    explicit DecorationAccessible(QWidget *w) : QAccessibleWidget(w, QAccessible::NoRole) {}
    QString text(QAccessible::Text) const override { return {}; }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.invisible = true;
        s.focusable = false;
        return s;
    }
};

QAccessibleInterface *accessibleFactory(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("platform::PictureBox") && object->property("decorative").toBool())
        return new DecorationAccessible(static_cast<QWidget *>(object));
    if (className == QLatin1String("platform::ClickArea"))
        return new ClickAreaAccessible(static_cast<QWidget *>(object));
    if (className == QLatin1String("platform::Label"))
        return new LabelAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

QPointer<Label> &pickedLabel()
{
    static QPointer<Label> label;
    return label;
}

const QColor PickedFrame(200, 0, 0);
// The keyboard's place on the drawn buttons of the lessons' backdrop.
const QColor FocusRing(255, 236, 64);
const QColor FocusFrame(0, 0, 160);
// The keyboard's place on every other control: a ring thick and dark enough to
// be seen on grey, on the pale boxes and on red, shown from the moment a window
// opens, not only after the first Tab.
constexpr int FocusWidth = 3;
// A box marked wrong carries a frame as well as its colour.
const QColor MarkFrame(0, 0, 0);
constexpr int MarkWidth = 4;
// The drawn buttons of a lesson that cannot be pressed now are veiled.
const QColor DisabledVeil(96, 96, 96, 150);

void drawFocusRing(QWidget *control)
{
    QPainter p(control);
    p.setPen(QPen(FocusFrame, FocusWidth));
    p.setBrush(Qt::NoBrush);
    const qreal half = FocusWidth / 2.0;
    p.drawRect(QRectF(control->rect()).adjusted(half, half, -half, -half));
}

void setupControl(QWidget *control, const QString &name, const TwRect &rect)
{
    control->setObjectName(name);
    place(control, rect);
}

} // namespace

void installFontSubstitutes()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    QFont::insertSubstitutions(SansSerif, {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(Serif, {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
    QAccessible::installFactory(accessibleFactory);
}

QFont designFont(const QString &face, double points, bool bold, bool italic)
{
    QFont f(face);
    f.setPixelSize(qRound(points * 96.0 / 72.0 * scale()));
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

void announce(QWidget *control)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent changed(control, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
    QAccessibleEvent alert(control, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void setBackColor(QWidget *control, const QColor &color)
{
    QPalette pal = control->palette();
    pal.setColor(QPalette::Window, color);
    pal.setColor(QPalette::Button, color);
    pal.setColor(QPalette::Base, color);
    control->setPalette(pal);
    control->setAutoFillBackground(true);
}

void setForeColor(QWidget *control, const QColor &color)
{
    QPalette pal = control->palette();
    pal.setColor(QPalette::WindowText, color);
    pal.setColor(QPalette::ButtonText, color);
    pal.setColor(QPalette::Text, color);
    control->setPalette(pal);
}

// ---------------------------------------------------------------- CommandButton

CommandButton::CommandButton(QWidget *parent, const QString &name, const QString &caption,
                             const TwRect &rect)
    : QPushButton(caption, parent)
{
    setupControl(this, name, rect);
    setFont(designFont(SansSerif, 8.25));
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, &CommandButton::Click);
}

void CommandButton::setWordWrap(bool on)
{
    wrap_ = on;
    update();
}

void CommandButton::paintEvent(QPaintEvent *event)
{
    if (!wrap_) {
        QPushButton::paintEvent(event);
        if (hasFocus())
            drawFocusRing(this);
        return;
    }
    // The button drawn without its caption, then the caption over it, wrapped.
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    p.drawControl(QStyle::CE_PushButton, option);
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.drawText(rect().adjusted(2, 1, -2, -1), Qt::AlignCenter | Qt::TextWordWrap, text());
    p.end();
    if (hasFocus())
        drawFocusRing(this);
}

bool CommandButton::isRepeat(const QMouseEvent *event) const
{
    return ignoreRepeat_ && clicked_
           && event->timestamp() - clickedAt_ < quint64(QGuiApplication::styleHints()->mouseDoubleClickInterval());
}

void CommandButton::mousePressEvent(QMouseEvent *event)
{
    if (isRepeat(event)) {
        event->accept();
        return;
    }
    QPushButton::mousePressEvent(event);
}

void CommandButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (ignoreRepeat_) {
        event->accept();
        return;
    }
    QPushButton::mouseDoubleClickEvent(event);
}

void CommandButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (isDown() && event->button() == Qt::LeftButton && hitButton(event->position().toPoint())) {
        clicked_ = true;
        clickedAt_ = event->timestamp();
    }
    QPushButton::mouseReleaseEvent(event);
}

void CommandButton::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        if (ignoreRepeat_ && event->isAutoRepeat())
            return;
        if (isEnabled())
            click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

// -------------------------------------------------------------------- ClickArea

ClickArea::ClickArea(QWidget *parent, const QString &name, const TwRect &rect,
                     const QString &accessibleName)
    : QWidget(parent)
{
    setupControl(this, name, rect);
    setAccessibleName(accessibleName);
    setToolTip(accessibleName);
    setAttribute(Qt::WA_TranslucentBackground);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void ClickArea::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void ClickArea::paintEvent(QPaintEvent *)
{
    if (!isEnabled()) {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(DisabledVeil);
        p.drawRoundedRect(QRectF(rect()), 6, 6);
        return;
    }
    if (!hasFocus())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(FocusRing, 3));
    p.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 6, 6);
}

void ClickArea::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void ClickArea::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

void ClickArea::mousePressEvent(QMouseEvent *event)
{
    pressed_ = event->button() == Qt::LeftButton;
}

void ClickArea::mouseReleaseEvent(QMouseEvent *event)
{
    const bool wasPressed = pressed_;
    pressed_ = false;
    if (wasPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        click();
}

void ClickArea::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange) {
        setCursor(isEnabled() ? Qt::PointingHandCursor : Qt::ArrowCursor);
        update();
    }
    QWidget::changeEvent(event);
}

// ------------------------------------------------------------------------ Label

Label::Label(QWidget *parent, const QString &name, const QString &caption, const TwRect &rect)
    : QLabel(parent)
{
    setupControl(this, name, rect);
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWordWrap(true);
    setFont(designFont(SansSerif, 8.25));
    setCaption(caption);
}

void Label::setCaption(const QString &caption)
{
    caption_ = caption;
    QString shown = caption;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setText(shown);
    // A reader following the label hears the value it shows now.
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

void Label::setTransparent(bool transparent)
{
    setAutoFillBackground(!transparent);
    setAttribute(Qt::WA_TranslucentBackground, transparent);
}

Label::DragRunner &Label::dragRunner()
{
    static DragRunner runner;
    return runner;
}

void Label::setDragRunner(DragRunner runner) { dragRunner() = std::move(runner); }

QMimeData *Label::encodeDrag(const Label *source)
{
    auto *data = new QMimeData;
    data->setData(LabelMime, source->objectName().toUtf8());
    return data;
}

Label *Label::decodeDrop(const QMimeData *data, const QWidget *window)
{
    if (!data || !data->hasFormat(LabelMime) || !window)
        return nullptr;
    return window->findChild<Label *>(QString::fromUtf8(data->data(LabelMime)));
}

void Label::mousePressEvent(QMouseEvent *event)
{
    pressed_ = event->button() == Qt::LeftButton;
    pressAt_ = event->position().toPoint();
}

void Label::mouseMoveEvent(QMouseEvent *event)
{
    if (!dragSource_ || !pressed_ || !(event->buttons() & Qt::LeftButton))
        return;
    if ((event->position().toPoint() - pressAt_).manhattanLength() < QApplication::startDragDistance())
        return;
    pressed_ = false;
    auto *drag = new QDrag(this);
    drag->setMimeData(encodeDrag(this));
    drag->setPixmap(grab());
    drag->setHotSpot(pressAt_);
    if (dragRunner())
        dragRunner()(drag);
    else
        drag->exec(Qt::MoveAction);
}

void Label::mouseReleaseEvent(QMouseEvent *event)
{
    const bool wasPressed = pressed_;
    pressed_ = false;
    if (wasPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit Click();
        activate();
    }
}

void Label::setDragSource(bool on)
{
    dragSource_ = on;
    if (!on && picked() == this)
        releasePicked();
    updateFocusPolicy();
}

void Label::setDropTarget(bool on)
{
    setAcceptDrops(on);
    updateFocusPolicy();
}

void Label::updateFocusPolicy()
{
    setFocusPolicy(dragSource_ || acceptDrops() ? Qt::StrongFocus : Qt::NoFocus);
    if (dragSource_ || acceptDrops())
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

Label *Label::picked() { return pickedLabel().data(); }

void Label::setPicked(Label *label)
{
    Label *before = pickedLabel().data();
    pickedLabel() = label;
    if (before)
        before->update();
    if (label)
        label->update();
}

void Label::releasePicked() { setPicked(nullptr); }

void Label::activate()
{
    if (!isEnabled())
        return;
    if (dragSource_) {
        setPicked(picked() == this ? nullptr : this);
        return;
    }
    Label *source = picked();
    if (acceptDrops() && source && source->window() == window())
        dropFrom(source);
}

void Label::dropFrom(Label *source)
{
    // However it came, a drop ends the pick.
    if (picked())
        releasePicked();
    emit DragDrop(source);
}

void Label::keyPressEvent(QKeyEvent *event)
{
    if (!dragSource_ && !acceptDrops()) {
        QLabel::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        activate();
        return;
    case Qt::Key_Escape:
        if (picked()) {
            releasePicked();
            return;
        }
        break;
    case Qt::Key_Left:
    case Qt::Key_Up:
        focusPreviousChild();
        return;
    case Qt::Key_Right:
    case Qt::Key_Down:
        focusNextChild();
        return;
    default:
        break;
    }
    QLabel::keyPressEvent(event);
}

void Label::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    const bool isPicked = picked() == this;
    if (!isPicked && !hasFocus() && !marked_)
        return;
    QPainter p(this);
    p.setBrush(Qt::NoBrush);
    if (marked_) {
        p.setPen(QPen(MarkFrame, MarkWidth));
        p.drawRect(QRectF(rect()).adjusted(MarkWidth / 2.0, MarkWidth / 2.0, -MarkWidth / 2.0, -MarkWidth / 2.0));
    }
    if (isPicked) {
        p.setPen(QPen(PickedFrame, 3));
        p.drawRect(rect().adjusted(1, 1, -2, -2));
    }
    if (hasFocus()) {
        const int in = isPicked || marked_ ? 4 : 0;
        p.setPen(QPen(FocusFrame, FocusWidth));
        const qreal half = FocusWidth / 2.0;
        p.drawRect(QRectF(rect()).adjusted(in + half, in + half, -in - half, -in - half));
    }
}

void Label::setMarked(bool on)
{
    if (marked_ == on)
        return;
    marked_ = on;
    update();
}

void Label::focusInEvent(QFocusEvent *event)
{
    QLabel::focusInEvent(event);
    update();
}

void Label::focusOutEvent(QFocusEvent *event)
{
    QLabel::focusOutEvent(event);
    update();
}

void Label::dragEnterEvent(QDragEnterEvent *event)
{
    if (acceptDrops() && decodeDrop(event->mimeData(), window()))
        event->acceptProposedAction();
}

void Label::dropEvent(QDropEvent *event)
{
    if (!acceptDrops())
        return;
    if (Label *source = decodeDrop(event->mimeData(), window())) {
        event->acceptProposedAction();
        dropFrom(source);
    }
}

// ------------------------------------------------------------------- PictureBox

PictureBox::PictureBox(QWidget *parent, const QString &name, const TwRect &rect, bool stretch)
    : QLabel(parent), stretch_(stretch)
{
    setupControl(this, name, rect);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setScaledContents(stretch);
    setAccessibleName(name);
}

void PictureBox::loadPicture(const QString &path)
{
    const QString file = storage::resolveDataPath(path);
    QImage image;
    QSize designSize;
    if (!file.isEmpty()) {
        // On a screen that scales the design up, the picture drawn large at build
        // time, when there is one; its design size is the large one's share.
        const QFileInfo normal(file);
        const QString large =
            normal.dir().filePath(QString::fromLatin1(LargePictureFolder) + QLatin1Char('/') + normal.fileName());
        const bool useLarge = scale() > 1.0 && QFileInfo::exists(large);
        QImageReader reader(useLarge ? large : file);
        reader.setDecideFormatFromContent(true);
        image = reader.read();
        designSize = useLarge ? image.size() / LargePictureFactor : image.size();
    }
    if (image.isNull())
        fatal(QStringLiteral("Manca l'immagine \"%1\", oppure il file non si può leggere "
                             "(cercata %2).")
                  .arg(path, storage::whereDataIsLookedFor()));
    path_ = path;
    setPixmap(QPixmap::fromImage(image));
    if (!stretch_) {
        const TwRect at = placement(this);
        place(this, {at.left, at.top, toTwips(designSize.width()), toTwips(designSize.height())});
    }
    // A picture of another size than its box (the design scaled) fills it, smoothly.
    setScaledContents(stretch_ || image.size() != size());
    if (!isDecorative())
        setAccessibleDescription(QStringLiteral("Immagine %1").arg(path.section(QLatin1Char('\\'), -1)));
}

void PictureBox::setDecorative(bool on)
{
    setProperty("decorative", on);
    if (on) {
        setAccessibleName({});
        setAccessibleDescription({});
    }
}

bool PictureBox::isDecorative() const { return property("decorative").toBool(); }

// --------------------------------------------------------------------- CheckBox

CheckBox::CheckBox(QWidget *parent, const QString &name, const QString &caption, const TwRect &rect)
    : QCheckBox(caption, parent)
{
    setupControl(this, name, rect);
    setFont(designFont(SansSerif, 8.25));
    connect(this, &QCheckBox::clicked, this, &CheckBox::Click);
}

// The whole cell takes the click, not only the small box drawn in it: a finger
// or a pen on a whiteboard seldom lands on 14 pixels.
bool CheckBox::hitButton(const QPoint &pos) const { return rect().contains(pos); }

void CheckBox::paintEvent(QPaintEvent *event)
{
    QCheckBox::paintEvent(event);
    if (hasFocus())
        drawFocusRing(this);
}

void CheckBox::setValue(int v)
{
    const bool on = v != 0;
    if (on == isChecked())
        return;
    {
        QSignalBlocker block(this);
        setChecked(on);
    }
    emit Click();
}

// ---------------------------------------------------------------------- TextBox

TextBox::TextBox(QWidget *parent, const QString &name, const TwRect &rect) : QLineEdit(parent)
{
    setupControl(this, name, rect);
    setFont(designFont(SansSerif, 8.25));
}

void TextBox::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    if (hasFocus())
        drawFocusRing(this);
}

// ---------------------------------------------------------------------- ListBox

ListBox::ListBox(QWidget *parent, const QString &name, const TwRect &rect) : QListWidget(parent)
{
    setupControl(this, name, rect);
    setFont(designFont(SansSerif, 8.25));
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideRight);
}

void ListBox::addRow(const QString &text)
{
    auto *item = new QListWidgetItem(text, this);
    item->setToolTip(text); // a column too narrow for its text shows it whole on hover
    if (rowHeight_ > 0)
        item->setSizeHint(QSize(0, scaled(rowHeight_)));
}

void ListBox::paintEvent(QPaintEvent *event)
{
    QListWidget::paintEvent(event);
    if (hasFocus())
        drawFocusRing(viewport());
}

QStringList ListBox::items() const
{
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out << item(i)->text();
    return out;
}

// ------------------------------------------------------------------------ Timer

namespace {
QSet<Timer *> &liveTimers()
{
    static QSet<Timer *> timers;
    return timers;
}
} // namespace

void stopAllTimers()
{
    for (Timer *t : std::as_const(liveTimers()))
        t->setEnabled(false);
}

Timer::Timer(QObject *parent, const QString &name, int intervalMs, bool enabled)
    : QObject(parent), interval_(intervalMs), enabled_(enabled)
{
    liveTimers().insert(this);
    setObjectName(name);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &Timer::Tick);
    apply();
}

Timer::~Timer() { liveTimers().remove(this); }

void Timer::setInterval(int ms)
{
    interval_ = ms;
    apply();
}

void Timer::setEnabled(bool on)
{
    enabled_ = on;
    apply();
}

void Timer::apply()
{
    if (enabled_ && interval_ > 0)
        timer_.start(interval_);
    else
        timer_.stop();
}

} // namespace platform
