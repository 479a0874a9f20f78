#include "truefalserows.h"

#include "common/modvaldoria.h"
#include "platform/dialogs.h"
#include "platform/form.h"

#include <QEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <utility>

namespace assessment {

namespace {
const QString WrongMark = QStringLiteral("\u2717");
constexpr int MarkSize = 360, MarkGap = 30;
const QString Incomplete = QStringLiteral("Non hai fornito TUTTE LE RISPOSTE.  Prima di continuare, controlla e "
                                          "completa le risposte.");
} // namespace

TrueFalseRows::TrueFalseRows(QWidget *window, const RowsLayout &l, const QColor &textBack, const QColor &boxBack)
{
    for (int i = 0; i < Rows; ++i) {
        const int top = l.top + l.step * i;
        Text1[i] = new platform::TextBox(window, platform::arrayName(QStringLiteral("Text1"), i),
                                         {l.textLeft, top, l.textWidth, l.textHeight});
        Text1[i]->setReadOnly(true);
        Text1[i]->setFocusPolicy(Qt::NoFocus);
        platform::setBackColor(Text1[i], textBack);
        Check1[i] = new platform::CheckBox(window, platform::arrayName(QStringLiteral("Check1"), i),
                                           QString::number(i + 1), {l.trueLeft, top, l.trueWidth, l.boxHeight});
        Check2[i] = new platform::CheckBox(window, platform::arrayName(QStringLiteral("Check2"), i), {},
                                           {l.falseLeft, top, l.falseWidth, l.boxHeight});
        platform::setBackColor(Check1[i], boxBack);
        platform::setBackColor(Check2[i], boxBack);
        // A wrong row is marked by a cross beside it as well as by its colour.
        Mark[i] = new platform::Label(window, platform::arrayName(QStringLiteral("Mark"), i), WrongMark,
                                      {l.textLeft - MarkGap - MarkSize, top, MarkSize, l.textHeight});
        Mark[i]->setFont(platform::designFont(platform::SansSerif, 12, true));
        Mark[i]->setAlignment(Qt::AlignCenter);
        platform::setBackColor(Mark[i], Qt::white);
        platform::setForeColor(Mark[i], Qt::black);
        Mark[i]->setVisible(false);
        describe(i);
    }
}

void TrueFalseRows::describe(int i)
{
    const QString n = QString::number(i + 1);
    Check1[i]->setAccessibleName(QStringLiteral("affermazione %1, vero").arg(n));
    Check2[i]->setAccessibleName(QStringLiteral("affermazione %1, falso").arg(n));
    Check1[i]->setAccessibleDescription(Text1[i]->text());
    Check2[i]->setAccessibleDescription(Text1[i]->text());
    Text1[i]->setAccessibleName(QStringLiteral("affermazione %1").arg(n)
                                + (isWrong(i) ? QStringLiteral(", sbagliata") : QString()));
}

void TrueFalseRows::markWrong(int i, bool wrong)
{
    Mark[i]->setVisible(wrong);
    describe(i);
}

void TrueFalseRows::tickedTrue(int i)
{
    if (Check1[i]->value() == 1)
        Check2[i]->setValue(0);
    Modvaldoria::rispdate[i + 1] = 1;
}

void TrueFalseRows::tickedFalse(int i)
{
    if (Check2[i]->value() == 1)
        Check1[i]->setValue(0);
    Modvaldoria::rispdate[i + 1] = 0;
}

int TrueFalseRows::verifica() const
{
    int unanswered = 0;
    for (int i = 0; i < Rows; ++i)
        if (Check1[i]->value() == 0 && Check2[i]->value() == 0)
            ++unanswered;
    if (unanswered > 0)
        platform::msgBox(Incomplete);
    return unanswered;
}

void TrueFalseRows::show(int i, const QString &text)
{
    Text1[i]->setText(text);
    Text1[i]->setCursorPosition(0);
    describe(i);
}

platform::ReadAloud *TrueFalseRows::leggi(QWidget *window, const platform::TwRect &rect, platform::TextBox *title)
{
    auto marker = [](QWidget *w) {
        return [w](bool on) {
            // A light background behind what is read, the row's own colour again after.
            if (on)
                w->setProperty("valdoria-colore", w->palette().color(QPalette::Base));
            platform::setBackColor(w, on ? platform::ReadingMark : w->property("valdoria-colore").value<QColor>());
        };
    };
    leggi_ = new platform::ReadAloud(window, rect, [this, title, marker] {
        QList<platform::Piece> pieces{{title->text(), marker(title)}};
        for (int i = 0; i < Rows; ++i)
            if (!Text1[i]->text().isEmpty())
                pieces.append({platform::numberWord(i + 1) + QStringLiteral(": ") + Text1[i]->text(), marker(Text1[i])});
        return pieces;
    });
    for (int i = 0; i < Rows; ++i) {
        Text1[i]->installEventFilter(this);
        Check1[i]->installEventFilter(this);
    }
    return leggi_;
}

namespace {
// Whether a point of a "V" box falls on its number, beside the square.
bool onNumber(QCheckBox *box, const QPoint &at)
{
    QStyleOptionButton option;
    option.initFrom(box);
    return at.x() > box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box).right();
}
} // namespace

// While reading, a statement pressed (its text, or its number beside the "V"
// square) is read next; the number then does not tick its box, the square does.
bool TrueFalseRows::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::MouseButtonRelease)
        return false;
    for (int i = 0; i < Rows; ++i) {
        if (watched == Text1[i] && type == QEvent::MouseButtonPress && leggi_->reading()) {
            leggi_->jumpTo(i + 1);
        } else if (watched == Check1[i]) {
            if (type == QEvent::MouseButtonRelease)
                return std::exchange(numberPressed_, false);
            // Set anew on every press: a release lost to a box that opened
            // meanwhile must not swallow a later tick.
            numberPressed_ =
                leggi_->reading() && onNumber(Check1[i], static_cast<QMouseEvent *>(event)->position().toPoint());
            if (numberPressed_)
                leggi_->jumpTo(i + 1);
            return numberPressed_;
        }
    }
    return false;
}

void TrueFalseRows::untick(int i)
{
    Check1[i]->setValue(0);
    Check2[i]->setValue(0);
}

} // namespace assessment
