#include "lessonwindow.h"

#include "storage/datapath.h"
#include "common/modvaldoria.h"
#include "common/windows.h"

#include <QKeyEvent>

namespace lessons {

using platform::ClickArea;
using platform::TwRect;
namespace forms = platform::forms;

namespace {

const QColor TitleBack(255, 192, 128);
const QColor TitleText(128, 0, 0);
const QColor TextBack(255, 224, 192);
const QColor NoticeBack(128, 128, 128);
const QColor NoticeText(255, 255, 192);

const QString Backdrop = QStringLiteral("valdoria1.jpg");
// Under the page, clear of the design in every lesson.
const platform::TwRect LeggiPlace{1200, 7800, 1500, 495};

} // namespace

LessonWindow::LessonWindow(const LessonLayout &layout)
    : Form(layout.window()), layout_(layout), pages_(lessonPages(layout.window()))
{
    setCaption(pages_.caption);

    // Created bottom first: the backdrop lies under everything else.
    Image2 = new platform::PictureBox(this, QStringLiteral("Image2"), layout.image2);
    Image2->setDecorative(true);
    Image1 = new platform::PictureBox(this, QStringLiteral("Image1"), layout.image1);

    Label1 = new platform::Label(this, QStringLiteral("Label1"), {}, layout.label1);
    platform::setBackColor(Label1, TextBack);
    Label1->setFont(platform::designFont(platform::SansSerif, 12));
    if (layout.label2.width > 0) {
        Label2 = new platform::Label(this, QStringLiteral("Label2"), {}, layout.label2);
        platform::setBackColor(Label2, TextBack);
    }

    Labeltit = new platform::Label(this, QStringLiteral("Labeltit"), {}, layout.labeltit);
    platform::setBackColor(Labeltit, TitleBack);
    platform::setForeColor(Labeltit, TitleText);
    Labeltit->setFont(platform::designFont(platform::Serif, 14.25, true, true));
    Labeltit->setWordWrap(false);

    cmdanimazione = new platform::CommandButton(this, QStringLiteral("cmdanimazione"),
                                                QStringLiteral("GUARDO L'ANIMAZIONE"), layout.cmdanimazione);
    cmdanimazione->setFont(platform::designFont(platform::SansSerif, 8.25, true));
    connect(cmdanimazione, &platform::CommandButton::Click, this, &LessonWindow::cmdanimazione_Click);

    // Each area is named by the word drawn on its button, then what it does.
    const NavNames &n = layout.names;
    auto area = [this](const char *name, const TwRect &rect, const QString &what, void (LessonWindow::*handler)()) {
        auto *a = new ClickArea(this, QString::fromLatin1(name), rect, what);
        connect(a, &ClickArea::Click, this, handler);
        return a;
    };
    cmduscita = area(n.uscita, layout.uscita, QStringLiteral("ESCO dal programma"), &LessonWindow::cmduscita_Click);
    cmdscegli = area(n.scegli, layout.scegli, QStringLiteral("MENÙ, torno al menù"), &LessonWindow::cmdscegli_Click);
    if (layout.hasQuestionnaire()) {
        cmdquest = area(n.quest, layout.quest, QStringLiteral("QUESTIONARIO, vado al questionario"),
                        &LessonWindow::cmdquest_Click);
    } else {
        Label4 = new platform::Label(this, QStringLiteral("Label4"), QStringLiteral("Il questionario non c'è"),
                                     layout.quest);
        platform::setBackColor(Label4, NoticeBack);
        platform::setForeColor(Label4, NoticeText);
        Label4->setFont(platform::designFont(platform::SansSerif, 12));
    }
    Cmdrivedi = area(n.rivedi, layout.rivedi, QStringLiteral("DA CAPO, ricomincio la lezione"),
                     &LessonWindow::Cmdrivedi_Click);
    Cmdindietro = area(n.indietro, layout.indietro, QStringLiteral("INDIETRO, pagina precedente"),
                       &LessonWindow::Cmdindietro_Click);
    cmdAVANTI = area(n.avanti, layout.avanti, QStringLiteral("AVANTI, pagina successiva"), &LessonWindow::cmdAVANTI_Click);
    setEscapeControl(cmdscegli);
    // "Leggi", under the page: the title, then the text sentence by sentence,
    // each lit while it is read.
    leggi_ = new platform::ReadAloud(this, LeggiPlace, [this] {
        QList<platform::Piece> pieces{{Labeltit->caption(), {}}};
        for (const platform::Sentence &s : platform::sentences(Label1->caption()))
            pieces.append({Label1->caption().mid(s.from, s.length),
                           [this, s](bool on) { platform::highlight(Label1, s.from, on ? s.length : 0); }});
        return pieces;
    });
    cmdLEGGI = leggi_->button();
}

void LessonWindow::Form_Load()
{
    Image2->loadPicture(storage::dataFile(Backdrop));
    fillScreen();
    cmdanimazione->setVisible(false);
    Cmdrivedi->setEnabled(false);
    Cmdindietro->setEnabled(false);
    pagina_ = 1;
    for (int p = 1; p <= pages_.count(); ++p) {
        titoli[p] = pages_.page(p).title;
        testi[p] = pages_.page(p).text;
    }
    Labeltit->setCaption(titoli[1]);
    Label1->setCaption(testi[1]);
    showPicture(pages_.page(1).picture);
    cmdAVANTI->setFocus();
}

void LessonWindow::showPicture(const QString &file)
{
    Image1->loadPicture(storage::dataFile(file));
    Image1->setAccessibleName(pictureDescription(file));
}

void LessonWindow::enterPage(bool back)
{
    platform::announce(Labeltit);
    const Page &page = pages_.page(pagina_);
    const int last = pages_.count();
    if (pagina_ == last) {
        // The end page: no picture, nowhere further to go.
        if (page.place)
            platform::place(Label1, *page.place);
        cmdAVANTI->setEnabled(false);
        Image1->setVisible(false);
        cmdanimazione->setVisible(false);
        return;
    }
    if (back && pagina_ == last - 1)
        Image1->setVisible(true);
    showPicture(back && !page.pictureBack.isEmpty() ? page.pictureBack : page.picture);
    // A placement stays in force until another page sets one.
    if (page.place)
        platform::place(Label1, *page.place);
    cmdanimazione->setVisible(page.animation != 0);
    if (page.animation)
        Modvaldoria::numanimazione = std::int16_t(page.animation);
}

void LessonWindow::cmdAVANTI_Click()
{
    leggi_->stop();
    if (pagina_ >= pages_.count())
        return;
    ++pagina_;
    Cmdrivedi->setEnabled(true);
    Cmdindietro->setEnabled(true);
    Labeltit->setCaption(titoli[pagina_]);
    Label1->setCaption(testi[pagina_]);
    enterPage(false);
}

void LessonWindow::Cmdindietro_Click()
{
    leggi_->stop();
    --pagina_;
    if (pagina_ >= 1) {
        Cmdindietro->setEnabled(true);
        cmdAVANTI->setEnabled(true);
        Label1->setCaption(testi[pagina_]);
        Labeltit->setCaption(titoli[pagina_]);
        enterPage(true);
    } else {
        pagina_ = 1;
        Cmdindietro->setEnabled(false);
    }
}

void LessonWindow::Cmdrivedi_Click()
{
    const QString name = objectName();
    forms::unload(name);
    auto *fresh = forms::get<LessonWindow>(name);
    fresh->setVisible(true);
    fresh->cmdAVANTI->setEnabled(true);
}

void LessonWindow::cmdquest_Click()
{
    forms::load(windows::FQuest)->setVisible(true);
    const QString name = objectName();
    forms::unload(name);
    forms::load(name)->setVisible(false);
}

void LessonWindow::cmdscegli_Click()
{
    forms::load(windows::Fscelte)->setVisible(true);
    setVisible(false);
    forms::unload(objectName());
}

void LessonWindow::cmduscita_Click() { Modvaldoria::confermauscita(); }

void LessonWindow::cmdanimazione_Click()
{
    // The button goes once the animation is seen; the keyboard comes back on the
    // page's way forward, where the pupil goes on, never on the exit next to it.
    (cmdAVANTI->isEnabled() ? cmdAVANTI : cmdscegli)->setFocus();
    setVisible(false);
    forms::load(windows::Fanimaz)->setVisible(true);
    cmdanimazione->setVisible(false);
}

void LessonWindow::keyPressEvent(QKeyEvent *event)
{
    // Arrow keys and Page Up / Page Down turn the pages, as far as the click
    // areas allow.
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_PageDown:
        cmdAVANTI->click();
        break;
    case Qt::Key_Left:
    case Qt::Key_PageUp:
        Cmdindietro->click();
        break;
    default:
        Form::keyPressEvent(event);
    }
}

} // namespace lessons
