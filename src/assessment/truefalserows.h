#pragma once
// The ten rows of a set as the questionnaire and the summative test show them:
// a statement, its "V" box (captioned with the statement's number) and its "F"
// box. Ticking follows the box ticked last: ticking one clears the other, and
// the row's answer (rispdate) is 1 for "V" and 0 for "F", written on every
// click, also one that clears the box.

#include "platform/controls.h"
#include "platform/readaloud.h"
#include "platform/twips.h"

#include <QColor>
#include <array>

namespace assessment {

struct RowsLayout
{
    int textLeft, top, step, textWidth, textHeight; // Text1(i) at textLeft, top + step * i
    int trueLeft, trueWidth, falseLeft, falseWidth;   // Check1(i) and Check2(i) on the same line
    int boxHeight;
};

class TrueFalseRows : public QObject
{
public:
    static constexpr int Rows = 10;

    // Builds the rows on `window`, row by row, so that Tab goes from a row's "V"
    // to its "F" and on to the next row.
    TrueFalseRows(QWidget *window, const RowsLayout &layout, const QColor &textBack, const QColor &boxBack);

    std::array<platform::TextBox *, Rows> Text1{};
    std::array<platform::CheckBox *, Rows> Check1{};
    std::array<platform::CheckBox *, Rows> Check2{};
    std::array<platform::Label *, Rows> Mark{}; // the cross beside a wrong row

    // What a click on Check1(i) / Check2(i) does.
    void tickedTrue(int i);
    void tickedFalse(int i);
    // The rows left with neither box ticked; when there are any, the pupil is
    // told to complete them.
    int verifica() const;
    // Shows statement `text` in row i (and names it for a screen reader).
    void show(int i, const QString &text);
    void untick(int i);
    // Marks row i wrong (a cross beside it, "sbagliata" to a screen reader) or not.
    void markWrong(int i, bool wrong);
    bool isWrong(int i) const { return Mark[i] && !Mark[i]->isHidden(); }

    // The "Leggi" button of the window: the title in `title`, then each
    // statement with its number; a statement's text or number pressed while
    // reading is read next.
    platform::ReadAloud *leggi(QWidget *window, const platform::TwRect &rect, platform::TextBox *title);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    platform::ReadAloud *leggi_ = nullptr;
    bool numberPressed_ = false; // its release is the jump's, not a tick
    void describe(int i);
};

} // namespace assessment
