// The seven lessons walked as a pupil walks them: every page forward and back
// through the click areas, the states of the navigation, start again, text that
// fits its box, pictures that fit the layout and click areas over their buttons.

#include "testsupport.h"

#include "lessons/lessonwindow.h"
#include "storage/datapath.h"
#include "common/modvaldoria.h"

#include <QImageReader>

using namespace testing;
using lessons::LessonWindow;
using platform::TwRect;
namespace forms = platform::forms;

namespace {

// Every place the text box can have on page p.
QList<TwRect> possiblePlaces(const LessonWindow *w, int p)
{
    const auto &pages = w->pages();
    if (pages.page(p).place)
        return {*pages.page(p).place};
    QList<TwRect> out;
    int below = 0, above = 0;
    for (int q = p - 1; q >= 1 && !below; --q)
        if (pages.page(q).place)
            below = q;
    for (int q = p + 1; q <= pages.count() && !above; ++q)
        if (pages.page(q).place)
            above = q;
    out << (below ? *pages.page(below).place : w->layout().label1);
    if (above)
        out << *pages.page(above).place;
    return out;
}

// Page p as shown after a step forward or back, or as the lesson opens
// (`fresh`: back and start again are off).
void checkPage(LessonWindow *w, int p, bool back, TwRect *inForce, bool fresh = false)
{
    const auto &page = w->pages().page(p);
    const int last = w->pages().count();
    QVERIFY(w->isVisible());
    QCOMPARE(w->pagina(), p);
    QCOMPARE(w->Labeltit->caption(), page.title);
    QCOMPARE(w->Label1->caption(), page.text);
    QCOMPARE(w->Image1->isVisible(), p < last);
    if (p < last) {
        const QString file = back && !page.pictureBack.isEmpty() ? page.pictureBack : page.picture;
        QCOMPARE(w->Image1->pictureName(), "pervaldoria\\" + file);
    }
    // A place stays in force until another page sets one.
    if (page.place)
        *inForce = *page.place;
    QCOMPARE(platform::placement(w->Label1), *inForce);
    QCOMPARE(w->cmdanimazione->isVisible(), p == w->pages().animationPage());
    QCOMPARE(w->cmdAVANTI->isEnabled(), p < last);
    QCOMPARE(w->Cmdindietro->isEnabled(), !fresh);
    QCOMPARE(w->Cmdrivedi->isEnabled(), !fresh);
}

// The drawn button under a click area: the face-coloured region that the area's
// face-coloured pixels belong to. Returns the share of that region lying inside
// the area (0 when the area covers no button face).
double buttonInside(const QImage &img, const QRect &area, const QColor &face)
{
    QSet<QPoint> seen;
    QList<QPoint> todo;
    auto visit = [&](QPoint p) {
        const QColor c = img.rect().contains(p) ? img.pixelColor(p) : QColor();
        if (!seen.contains(p) && qAbs(c.red() - face.red()) + qAbs(c.green() - face.green()) + qAbs(c.blue() - face.blue()) < 16) {
            seen.insert(p);
            todo << p;
        }
    };
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            visit(QPoint(x, y));
    while (!todo.isEmpty()) {
        const QPoint p = todo.takeLast();
        for (const QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)})
            visit(p + d);
    }
    const auto inside = std::count_if(seen.cbegin(), seen.cend(), [&](QPoint p) { return area.contains(p); });
    return seen.isEmpty() ? 0 : double(inside) / seen.size();
}

} // namespace

class tst_lessons : public QObject
{
    Q_OBJECT
private slots:
    void init() { freshProgram(); }

    void everyLesson_data()
    {
        QTest::addColumn<QString>("window");
        for (const auto &layout : lessons::lessonLayouts())
            QTest::newRow(qPrintable(layout.window())) << layout.window();
    }

    void everyLesson()
    {
        QFETCH(QString, window);
        WorkFolder folder;
        Trap trap;
        auto *w = forms::get<LessonWindow>(window);
        w->show();
        const int last = w->pages().count();
        // As it opens, and as it starts again from the end page, the animation
        // page and the first page that moves the text.
        int moved = 0;
        for (int p = last; p >= 1; --p)
            moved = w->pages().page(p).place ? p : moved;
        for (int from : {1, last, w->pages().animationPage(), moved}) {
            while (w->pagina() < from)
                click(w->cmdAVANTI);
            click(w->Cmdrivedi); // off on a fresh page 1
            w = forms::get<LessonWindow>(window);
            TwRect first = w->layout().label1;
            checkPage(w, 1, false, &first, true);
        }
        TwRect inForce = w->layout().label1;
        for (int p = 2; p <= last; ++p) {
            click(w->cmdAVANTI);
            checkPage(w, p, false, &inForce);
        }
        click(w->cmdAVANTI); // disabled on the end page
        QCOMPARE(w->pagina(), last);
        for (int p = last - 1; p >= 1; --p) {
            click(w->Cmdindietro);
            checkPage(w, p, true, &inForce);
        }
        // Back once more on page 1 only disables back, which then does nothing.
        const QString text = w->Label1->caption();
        click(w->Cmdindietro);
        click(w->Cmdindietro);
        QCOMPARE(w->pagina(), 1);
        QVERIFY(!w->Cmdindietro->isEnabled());
        QVERIFY(w->cmdAVANTI->isEnabled());
        QCOMPARE(w->Label1->caption(), text);
        if (window == "farg7") {
            // The synthesis has no questionnaire: in its place a notice that does nothing.
            QVERIFY(!w->findChild<platform::ClickArea *>("cmdquest"));
            QCOMPARE(w->Label4->caption(), "Il questionario non c'è");
            click(w->Label4);
            QCOMPARE(w->pagina(), 1);
            QCOMPARE(Modvaldoria::numanimazione, 0);
        }
        everyPageFitsItsLayout(w);
    }

    void aMissingPictureStopsWithItsName()
    {
        WorkFolder folder;
        Trap trap;
        folder.removePicture("deflazio.jpg");
        auto *w = forms::get<LessonWindow>("farg2");
        const QString message = expectFatal([w] { w->cmdAVANTI_Click(); });
        QVERIFY2(message.contains("pervaldoria\\deflazio.jpg"), qPrintable(message));
    }

private:
    // Text fits its box and titles their line in every place the text can have;
    // pictures are JPEGs clear of the text and of the animation button; every
    // click area lies over its drawn button and has a name. The text box is moved
    // about, so this comes last.
    void everyPageFitsItsLayout(LessonWindow *w)
    {
        const QString window = w->objectName();
        // A disabled area veils its button; the buttons are compared unveiled.
        for (platform::ClickArea *area : w->findChildren<platform::ClickArea *>())
            area->setEnabled(true);
        const QImage shown = w->grab().toImage();
        for (platform::ClickArea *area : w->findChildren<platform::ClickArea *>()) {
            const double share = buttonInside(shown, area->geometry(), QColor(0xff, 0xe0, 0xc0));
            QVERIFY2(share > 0.9, qPrintable(QString("%1: %2% of its drawn button under it")
                                                 .arg(area->objectName()).arg(int(share * 100))));
            QVERIFY(!area->accessibleName().isEmpty());
        }
        for (int p = 1; p <= w->pages().count(); ++p) {
            const auto &page = w->pages().page(p);
            const int titleWidth = QFontMetrics(w->Labeltit->font()).horizontalAdvance(page.title);
            QVERIFY2(titleWidth < w->Labeltit->width(), qPrintable(page.title));
            for (const TwRect &place : possiblePlaces(w, p)) {
                platform::place(w->Label1, place);
                w->Label1->setCaption(page.text);
                const int needed = w->Label1->heightForWidth(w->Label1->width());
                QVERIFY2(needed <= w->Label1->height(), qPrintable(QString("%1 page %2 needs %3 px of %4")
                                                                       .arg(window).arg(p).arg(needed).arg(w->Label1->height())));
            }
            for (const QString &file : {page.picture, page.pictureBack}) {
                if (file.isEmpty() || p == w->pages().count())
                    continue;
                const QString path = storage::resolveDataPath("pervaldoria\\" + file);
                QVERIFY2(!path.isEmpty(), qPrintable(file));
                QImageReader reader(path);
                QCOMPARE(reader.format(), QByteArray("jpeg"));
                const QRect picture(w->Image1->pos(), reader.size());
                for (const TwRect &place : possiblePlaces(w, p))
                    QVERIFY2(!picture.intersects(place.px()), qPrintable(QString("%1 under the text on page %2").arg(file).arg(p)));
                if (p == w->pages().animationPage())
                    QVERIFY(!picture.intersects(w->cmdanimazione->geometry()));
            }
        }
    }
};

QTEST_MAIN(tst_lessons)
#include "tst_lessons.moc"
