// The seven lessons walked as a pupil walks them: every page forward and back
// through the click areas, the states of the navigation, start again, the way
// to the menu and back, text that fits its box and pictures that fit the layout.

#include "testsupport.h"

#include "lessons/lessonwindow.h"
#include "storage/datapath.h"
#include "shell/fscelte.h"
#include "common/modvaldoria.h"

#include <QImageReader>

using namespace testing;
using lessons::LessonWindow;
using platform::TwRect;
namespace forms = platform::forms;

namespace {

struct Expect
{
    int pages;
    int animationPage;
    int sequence;
};

// How long each lesson is and where its animation stands.
const QMap<QString, Expect> Lessons{
    {"fargom", {11, 5, 1}}, {"farg2", {8, 3, 2}}, {"farg3", {17, 14, 3}}, {"farg4", {8, 7, 4}},
    {"farg5", {12, 11, 5}}, {"farg6", {10, 3, 6}}, {"farg7", {9, 0, 0}},
};

LessonWindow *openLesson(const QString &name)
{
    auto *w = forms::get<LessonWindow>(name);
    w->show();
    return w;
}

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

void checkPage(LessonWindow *w, int p, bool back, TwRect *inForce)
{
    const auto &page = w->pages().page(p);
    const int last = w->pages().count();
    const Expect e = Lessons[w->objectName()];
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
    QCOMPARE(w->cmdanimazione->isVisible(), p == e.animationPage);
    if (p == e.animationPage)
        QCOMPARE(int(Modvaldoria::numanimazione), e.sequence);
    QCOMPARE(w->cmdAVANTI->isEnabled(), p < last);
    QVERIFY(w->Cmdindietro->isEnabled());
    QVERIFY(w->Cmdrivedi->isEnabled());
}

void lessonRows()
{
    QTest::addColumn<QString>("window");
    for (auto it = Lessons.cbegin(); it != Lessons.cend(); ++it)
        QTest::newRow(qPrintable(it.key())) << it.key();
}

// The drawn button under a click area: the face-coloured region that the area's
// face-coloured pixels belong to. Returns the share of that region lying inside
// the area (0 when the area covers no button face).
double buttonInside(const QImage &img, const QRect &area, const QColor &face)
{
    auto isFace = [&](int x, int y) {
        const QColor p = img.pixelColor(x, y);
        return qAbs(p.red() - face.red()) + qAbs(p.green() - face.green()) + qAbs(p.blue() - face.blue()) < 16;
    };
    QList<QPoint> todo;
    QSet<qint64> seen;
    auto key = [](int x, int y) { return qint64(y) << 32 | x; };
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (isFace(x, y)) {
                todo << QPoint(x, y);
                seen.insert(key(x, y));
            }
    if (todo.isEmpty())
        return 0;
    int inside = 0, all = 0;
    while (!todo.isEmpty()) {
        const QPoint p = todo.takeLast();
        ++all;
        inside += area.contains(p);
        for (const QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
            const QPoint n = p + d;
            if (img.rect().contains(n) && !seen.contains(key(n.x(), n.y())) && isFace(n.x(), n.y())) {
                seen.insert(key(n.x(), n.y()));
                todo << n;
            }
        }
    }
    return double(inside) / all;
}

} // namespace

class tst_lessons : public QObject
{
    Q_OBJECT
private slots:
    void init() { freshProgram(); }

    void walkEveryPage_data() { lessonRows(); }
    void walkEveryPage()
    {
        QFETCH(QString, window);
        WorkFolder folder;
        Trap trap;
        LessonWindow *w = openLesson(window);
        const Expect e = Lessons[window];
        QCOMPARE(w->pages().count(), e.pages);
        QCOMPARE(w->pages().animationPage(), e.animationPage);
        QCOMPARE(w->windowTitle(), w->pages().caption);
        QVERIFY(w->pages().page(e.pages).title.contains("FINE"));
        QVERIFY(w->pages().page(e.pages).text.startsWith(QString(4, QChar(13))));

        // Fresh page 1.
        QCOMPARE(w->pagina(), 1);
        QCOMPARE(w->Labeltit->caption(), w->pages().page(1).title);
        QCOMPARE(w->Image1->pictureName(), "pervaldoria\\" + w->pages().page(1).picture);
        QVERIFY(!w->Cmdindietro->isEnabled());
        QVERIFY(!w->Cmdrivedi->isEnabled());
        QVERIFY(w->cmdAVANTI->isEnabled());
        QVERIFY(!w->cmdanimazione->isVisible());

        TwRect inForce = w->layout().label1;
        for (int p = 2; p <= e.pages; ++p) {
            click(w->cmdAVANTI);
            checkPage(w, p, false, &inForce);
        }
        click(w->cmdAVANTI); // disabled on the end page
        QCOMPARE(w->pagina(), e.pages);
        for (int p = e.pages - 1; p >= 1; --p) {
            click(w->Cmdindietro);
            checkPage(w, p, true, &inForce);
        }
        // Back once more on page 1 only disables back.
        const QString text = w->Label1->caption();
        click(w->Cmdindietro);
        QCOMPARE(w->pagina(), 1);
        QVERIFY(!w->Cmdindietro->isEnabled());
        QVERIFY(w->Cmdrivedi->isEnabled());
        QVERIFY(w->cmdAVANTI->isEnabled());
        QCOMPARE(w->Label1->caption(), text);
        click(w->Cmdindietro);
        QCOMPARE(w->pagina(), 1);
    }

    void startAgainFromAnyPage_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("from");
        QTest::newRow("farg2 end page") << "farg2" << 8;
        QTest::newRow("farg3 page 9, text moved") << "farg3" << 9;
        QTest::newRow("fargom animation page") << "fargom" << 5;
    }
    void startAgainFromAnyPage()
    {
        QFETCH(QString, window);
        QFETCH(int, from);
        WorkFolder folder;
        Trap trap;
        LessonWindow *w = openLesson(window);
        while (w->pagina() < from)
            click(w->cmdAVANTI);
        click(w->Cmdrivedi);
        auto *fresh = forms::get<LessonWindow>(window);
        QVERIFY(fresh->isVisible());
        QCOMPARE(fresh->pagina(), 1);
        QCOMPARE(fresh->Labeltit->caption(), fresh->pages().page(1).title);
        QVERIFY(fresh->Image1->isVisible());
        QCOMPARE(platform::placement(fresh->Label1), fresh->layout().label1);
        QVERIFY(fresh->cmdAVANTI->isEnabled());
        QVERIFY(!fresh->Cmdindietro->isEnabled());
        QVERIFY(!fresh->Cmdrivedi->isEnabled());
        QVERIFY(!fresh->cmdanimazione->isVisible());
    }

    void menuAndBackStartsAtPageOne()
    {
        WorkFolder folder;
        Trap trap;
        auto *menu = forms::get<shell::Fscelte>("Fscelte");
        menu->show();
        click(menu->Command1[5]);
        auto *w = forms::get<LessonWindow>("farg5");
        for (int i = 0; i < 4; ++i)
            click(w->cmdAVANTI);
        QCOMPARE(w->pagina(), 5);
        click(w->cmdscegli);
        QVERIFY(menu->isVisible());
        QVERIFY(!forms::isLoaded("farg5"));
        click(menu->Command1[5]);
        w = forms::get<LessonWindow>("farg5");
        QVERIFY(w->isVisible());
        QCOMPARE(w->pagina(), 1);
        QCOMPARE(w->Image1->pictureName(), "pervaldoria\\GHIACC1.jpg");
    }

    void exitAsksFirst()
    {
        WorkFolder folder;
        Trap trap;
        LessonWindow *w = openLesson("fargom");
        ModalAnswers answers;
        answers.press("Annulla");
        answers.press("OK");
        click(w->cmduscita);
        QVERIFY(trap.endings.isEmpty());
        QVERIFY(w->isVisible());
        click(w->cmduscita);
        QCOMPARE(trap.endings, QList<int>{0});
        QCOMPARE(w->cmduscita->objectName(), "Labesco");
    }

    void synthesisHasNoQuestionnaireNorAnimation()
    {
        WorkFolder folder;
        Trap trap;
        LessonWindow *w = openLesson("farg7");
        QVERIFY(!w->findChild<platform::ClickArea *>("cmdquest"));
        QCOMPARE(w->Label4->caption(), "Il questionario non c'è");
        QCOMPARE(w->Label4->palette().color(QPalette::WindowText), QColor(255, 255, 192));
        click(w->Label4);
        QCOMPARE(w->pagina(), 1);
        for (int p = 2; p <= 9; ++p) {
            click(w->cmdAVANTI);
            QVERIFY(!w->cmdanimazione->isVisible());
        }
        QCOMPARE(Modvaldoria::numanimazione, 0);
    }

    void keysTurnPages()
    {
        WorkFolder folder;
        Trap trap;
        LessonWindow *w = openLesson("farg6");
        QTest::keyClick(w, Qt::Key_Right);
        QTest::keyClick(w, Qt::Key_PageDown);
        QCOMPARE(w->pagina(), 3);
        QTest::keyClick(w, Qt::Key_Left);
        QCOMPARE(w->pagina(), 2);
        QTest::keyClick(w, Qt::Key_PageUp);
        QTest::keyClick(w, Qt::Key_Left); // back on page 1 disables back
        QTest::keyClick(w, Qt::Key_Left); // which then does nothing
        QCOMPARE(w->pagina(), 1);
        QVERIFY(!w->Cmdindietro->isEnabled());
        for (int i = 0; i < 20; ++i)
            QTest::keyClick(w, Qt::Key_Right);
        QCOMPARE(w->pagina(), 10);
    }

    void aMissingPictureStopsWithItsName()
    {
        WorkFolder folder;
        Trap trap;
        folder.removePicture("deflazio.jpg");
        LessonWindow *w = openLesson("farg2");
        const QString message = expectFatal([w] { w->cmdAVANTI_Click(); });
        QVERIFY2(message.contains("pervaldoria\\deflazio.jpg"), qPrintable(message));
    }

    void textFitsItsBoxInEveryPlace_data() { lessonRows(); }
    void textFitsItsBoxInEveryPlace()
    {
        QFETCH(QString, window);
        WorkFolder folder;
        Trap trap;
        LessonWindow *w = openLesson(window);
        for (int p = 1; p <= w->pages().count(); ++p)
            for (const TwRect &place : possiblePlaces(w, p)) {
                platform::place(w->Label1, place);
                w->Label1->setCaption(w->pages().page(p).text);
                const int needed = w->Label1->heightForWidth(w->Label1->width());
                QVERIFY2(needed <= w->Label1->height(),
                         qPrintable(QString("%1 page %2 needs %3 px of %4 (box %5 x %6)")
                                        .arg(window).arg(p).arg(needed).arg(w->Label1->height())
                                        .arg(place.width).arg(place.height)));
                const int titleWidth = QFontMetrics(w->Labeltit->font()).horizontalAdvance(w->pages().page(p).title);
                QVERIFY2(titleWidth < w->Labeltit->width(), qPrintable(w->pages().page(p).title));
            }
    }

    void picturesFitBesideTheText_data() { lessonRows(); }
    void picturesFitBesideTheText()
    {
        QFETCH(QString, window);
        WorkFolder folder;
        Trap trap;
        LessonWindow *w = openLesson(window);
        for (int p = 1; p < w->pages().count(); ++p) {
            const auto &page = w->pages().page(p);
            for (const QString &file : {page.picture, page.pictureBack}) {
                if (file.isEmpty())
                    continue;
                const QString path = storage::resolveDataPath("pervaldoria\\" + file);
                QVERIFY2(!path.isEmpty(), qPrintable(file));
                QImageReader reader(path);
                QCOMPARE(reader.format(), QByteArray("jpeg"));
                const QSize size = reader.size();
                QVERIFY2(size.width() <= 210 && size.height() <= 160, qPrintable(file));
                const QRect picture(w->Image1->pos(), size);
                for (const TwRect &place : possiblePlaces(w, p))
                    QVERIFY2(!picture.intersects(place.px()), qPrintable(QString("%1 under the text on page %2").arg(file).arg(p)));
                if (p == w->pages().animationPage())
                    QVERIFY(!picture.intersects(w->cmdanimazione->geometry()));
            }
        }
    }

    void clickAreasLieOverTheDrawnButtons_data() { lessonRows(); }
    void clickAreasLieOverTheDrawnButtons()
    {
        QFETCH(QString, window);
        WorkFolder folder;
        Trap trap;
        LessonWindow *w = openLesson(window);
        const QImage shown = w->grab().toImage();
        const QColor face(0xff, 0xe0, 0xc0);
        for (platform::ClickArea *area : w->findChildren<platform::ClickArea *>()) {
            const double share = buttonInside(shown, area->geometry(), face);
            QVERIFY2(share > 0.9, qPrintable(QString("%1: %2% of its drawn button under it")
                                                 .arg(area->objectName()).arg(int(share * 100))));
            QVERIFY(!area->accessibleName().isEmpty());
        }
    }
};

QTEST_MAIN(tst_lessons)
#include "tst_lessons.moc"
