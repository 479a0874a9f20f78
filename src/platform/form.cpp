#include "form.h"

#include "controls.h"
#include "runtime.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QProxyStyle>
#include <QScreen>

#include <algorithm>

namespace platform {

namespace {

struct Registry
{
    QHash<QString, forms::Factory> factories;
    QHash<QString, QPointer<Form>> loaded;
    std::function<void(Form *)> closeHandler;
};

Registry &registry()
{
    static Registry r;
    return r;
}

const char *const TwipsProperty = "twips";

double wantedScale = 0;

QSize screenSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(DesignWidth, DesignHeight);
}

} // namespace

void setScale(double factor) { wantedScale = factor > 0 ? factor : 0; }

double scale()
{
    if (wantedScale > 0)
        return wantedScale;
    const QSize screen = screenSize();
    return std::min(double(screen.width()) / DesignWidth, double(screen.height()) / DesignHeight);
}

QPoint designOrigin()
{
    if (wantedScale > 0)
        return {};
    return {std::max(0, (screenSize().width() - qRound(DesignWidth * scale())) / 2), 0};
}

int scaled(int pixels) { return qRound(pixels * scale()); }

QRect toScreen(const TwRect &rect)
{
    const QRect px = rect.px();
    const QPoint origin = designOrigin();
    const double s = scale();
    if (s == 1.0)
        return px.translated(origin);
    // Both edges are scaled, so that controls side by side stay side by side.
    const int left = qRound(px.left() * s), top = qRound(px.top() * s);
    return QRect(origin.x() + left, origin.y() + top, qRound((px.left() + px.width()) * s) - left,
                 qRound((px.top() + px.height()) * s) - top);
}

namespace {
// The desktop's own drawing (the box of a check box, a scroll bar) at the
// scale of the design too, so that a tick is as large as the text beside it;
// and its focus frame (tables, tabs) as thick and dark as the program's own ring.
class ScaledStyle : public QProxyStyle
{
public:
    explicit ScaledStyle(double factor) : factor_(factor) {}
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element != PE_FrameFocusRect) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        painter->save();
        painter->setPen(QPen(QColor(0, 0, 160), 3));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(option->rect).adjusted(1.5, 1.5, -1.5, -1.5));
        painter->restore();
    }
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        const int base = QProxyStyle::pixelMetric(metric, option, widget);
        switch (metric) {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
        case PM_ScrollBarExtent:
        case PM_CheckBoxLabelSpacing:
            return qRound(base * factor_);
        default:
            return base;
        }
    }

private:
    double factor_;
};
} // namespace

void scaleDefaultFont()
{
    const double s = scale();
    QApplication::setStyle(new ScaledStyle(s));
    if (s == 1.0)
        return;
    QFont f = QApplication::font();
    if (f.pixelSize() > 0)
        f.setPixelSize(qRound(f.pixelSize() * s));
    else
        f.setPointSizeF(f.pointSizeF() * s);
    QApplication::setFont(f);
}

Form::Form(const QString &name, QWidget *parent) : QWidget(parent)
{
    setObjectName(name);
    setAttribute(Qt::WA_DeleteOnClose, false);
    // The keyboard's place is shown from the moment the window opens, not only
    // after the first Tab.
    setAttribute(Qt::WA_KeyboardFocusChange, true);
    setBackColor(QColor(128, 128, 128));
}

void Form::setBackColor(const QColor &color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, color);
    setPalette(pal);
    setAutoFillBackground(true);
}

void Form::setPicture(const QImage &picture)
{
    picture_ = picture;
    scaledPicture_ = QPixmap();
    update();
}

void Form::fillScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize size = screen ? screen->geometry().size() : QSize(800, 600);
    // Top and Left place the window's frame, as Width and Height size it.
    move(0, 0);
    resize(size);
}

void Form::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (picture_.isNull())
        return;
    QPainter p(this);
    const double s = scale();
    const QPoint origin = designOrigin();
    if (s == 1.0 && origin.isNull()) {
        p.drawImage(0, 0, picture_);
        return;
    }
    const QSize size(qRound(picture_.width() * s), qRound(picture_.height() * s));
    if (scaledPicture_.size() != size)
        scaledPicture_ = QPixmap::fromImage(picture_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    // The stone goes on round the design, so that the window is stone to its edges.
    const QPoint offset((size.width() - origin.x() % size.width()) % size.width(), 0);
    p.drawTiledPixmap(rect(), scaledPicture_, offset);
}

void Form::offerAction(const QString &text, const QKeySequence &key, std::function<void()> action)
{
    auto *a = new QAction(text, this);
    a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
    connect(a, &QAction::triggered, this, [action = std::move(action)] { action(); });
    addAction(a);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void Form::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && escape_ && escape_->isVisibleTo(this) && escape_->isEnabled()) {
        if (auto *b = qobject_cast<CommandButton *>(escape_))
            b->click();
        else if (auto *a = qobject_cast<ClickArea *>(escape_))
            a->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Form::closeEvent(QCloseEvent *event)
{
    // The window manager's close button is one more exit control: the window is
    // never destroyed behind the program's back.
    event->ignore();
    if (registry().closeHandler)
        registry().closeHandler(this);
}

void place(QWidget *control, const TwRect &rect)
{
    control->setProperty(TwipsProperty, QRect(rect.left, rect.top, rect.width, rect.height));
    control->setGeometry(toScreen(rect));
}

TwRect placement(const QWidget *control)
{
    const QVariant stored = control->property(TwipsProperty);
    const QRect r = stored.isValid() ? stored.toRect() : control->geometry();
    return stored.isValid() ? TwRect{r.x(), r.y(), r.width(), r.height()}
                            : TwRect{toTwips(r.x()), toTwips(r.y()), toTwips(r.width()), toTwips(r.height())};
}

QString arrayName(const QString &base, int index)
{
    return QStringLiteral("%1(%2)").arg(base).arg(index);
}

namespace forms {

void registerForm(const QString &name, Factory factory)
{
    registry().factories.insert(name, std::move(factory));
}

bool isRegistered(const QString &name) { return registry().factories.contains(name); }

Form *existing(const QString &name)
{
    return registry().loaded.value(name);
}

bool isLoaded(const QString &name) { return existing(name) != nullptr; }

Form *load(const QString &name)
{
    if (Form *f = existing(name))
        return f;
    const auto factory = registry().factories.value(name);
    if (!factory)
        fatal(QStringLiteral("La finestra \"%1\" non esiste in questo programma.").arg(name));
    Form *f = factory();
    registry().loaded.insert(name, f);
    f->Form_Load();
    return f;
}

void unload(const QString &name)
{
    QPointer<Form> f = registry().loaded.take(name);
    if (!f)
        return;
    f->hide();
    f->deleteLater();
}

void show(const QString &name)
{
    if (Form *f = load(name)) {
        f->show();
        f->raise();
        f->activateWindow();
    }
}

QWidget *control(const QString &window, const QString &name)
{
    Form *f = load(window);
    QWidget *c = f ? f->findChild<QWidget *>(name) : nullptr;
    if (!c)
        fatal(QStringLiteral("La finestra \"%1\" non ha il controllo \"%2\".").arg(window, name));
    return c;
}

void press(const QString &window, const QString &button)
{
    auto *b = qobject_cast<CommandButton *>(control(window, button));
    if (!b)
        fatal(QStringLiteral("\"%1\" della finestra \"%2\" non è un pulsante.").arg(button, window));
    b->press();
}

void setCloseRequestHandler(std::function<void(Form *)> handler)
{
    registry().closeHandler = std::move(handler);
}

void unloadAll()
{
    const auto names = registry().loaded.keys();
    for (const QString &name : names) {
        QPointer<Form> f = registry().loaded.take(name);
        delete f.data();
    }
}

} // namespace forms
} // namespace platform
